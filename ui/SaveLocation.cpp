#include "SaveLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString &lastFolder()
{
    static QString folder;
    return folder;
}

QString firstExisting(std::initializer_list<QStandardPaths::StandardLocation> places)
{
    for (QStandardPaths::StandardLocation place : places) {
        const QString dir = QStandardPaths::writableLocation(place);
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            return dir;
    }
    return QDir::homePath();
}

} // namespace

namespace SaveLocation {

QString folder()
{
    if (lastFolder().isEmpty() || !QFileInfo(lastFolder()).isDir())
        return firstExisting({QStandardPaths::PicturesLocation, QStandardPaths::DocumentsLocation});
    return lastFolder();
}

QString suggest(const QString &name)
{
    return QDir(folder()).filePath(name);
}

void rememberFile(const QString &path)
{
    lastFolder() = QFileInfo(path).absolutePath();
}

void rememberFolder(const QString &dir)
{
    lastFolder() = QDir(dir).absolutePath();
}

QString typedExtension(const QString &fileName, const QStringList &offered)
{
    const QString name = QFileInfo(fileName).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const QString ext = name.mid(dot + 1).toLower();
    return offered.contains(ext) ? ext : QString();
}

} // namespace SaveLocation
