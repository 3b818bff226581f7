#pragma once

#include <QString>

// Where the save dialogs open: the folder something was last saved to, at
// first the user's Pictures folder (else Documents, else home).
namespace SaveLocation {

QString folder();
// folder() + "/" + name: the dialog opens there with the name filled in.
QString suggest(const QString &name);
// Remembers the folder of a file just written, or a folder written into.
void rememberFile(const QString &path);
void rememberFolder(const QString &folder);

// The extension typed at the end of a file name, lower case and without the
// dot, when it is one of offered ("png"); empty otherwise.
QString typedExtension(const QString &fileName, const QStringList &offered);

} // namespace SaveLocation
