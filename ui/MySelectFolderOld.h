#pragma once

#include <QString>

class QWidget;

// Qt's own folder dialog, owned by owner, opening at initial when given.
// Returns the chosen folder ending in "/", or empty when cancelled.
QString SelectFolderOld(QWidget *owner, const QString &initial);
