#include "MySelectFolder.h"

#include "Dialogs.h"
#include "MySelectFolderOld.h"

#include <QCoreApplication>
#include <QFileInfo>

QString LastFolder;

QString SelectFolder(QWidget *owner, const QString &initial)
{
    // A folder that no longer exists is not offered.
    const QString start = !initial.isEmpty() && QFileInfo(initial).isDir() ? initial : QString();
    QString folder = Dialogs::instance().chooseFolder(owner, start, true);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString ChooseFolder(QWidget *caller)
{
    const QString folder = QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs)
                               ? SelectFolderOld(caller, QStringLiteral("选择文件夹"), LastFolder)
                               : SelectFolder(caller, LastFolder);
    if (!folder.isEmpty())
        LastFolder = folder;
    return folder;
}
