#pragma once

#include <QByteArray>
#include <QString>

// Embedded data files, looked up by name without regard to case
// ("KT6763", "kt6763" and "Kt6763" are the same resource).
namespace EmbeddedResource {
QByteArray bytes(const QString &name);
bool exists(const QString &name);
QString path(const QString &name);
}
