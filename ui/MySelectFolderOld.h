#pragma once

#include <QString>

class QWidget;

// Qt's own folder dialog, owned by owner, with the given title, opening at
// initial when given. Returns the chosen folder ending in "/", or empty
// when cancelled.
QString SelectFolderOld(QWidget *owner, const QString &title, const QString &initial);
