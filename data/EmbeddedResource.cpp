#include "EmbeddedResource.h"

#include <QFile>

static void initKelvoraResources()
{
    // The resources live in the data library; registering them again is harmless.
    static const bool done = [] {
        Q_INIT_RESOURCE(kelvora);
        return true;
    }();
    Q_UNUSED(done);
}

namespace EmbeddedResource {

QString path(const QString &name)
{
    return QStringLiteral(":/kelvora/") + name.toLower();
}

bool exists(const QString &name)
{
    initKelvoraResources();
    return QFile::exists(path(name));
}

QByteArray bytes(const QString &name)
{
    initKelvoraResources();
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace EmbeddedResource
