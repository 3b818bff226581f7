#include "MySelectFolderOld.h"

#include "Dialogs.h"

QString SelectFolderOld(QWidget *owner, const QString &title, const QString &initial)
{
    QString folder = Dialogs::instance().chooseFolder(owner, initial, false, title);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
