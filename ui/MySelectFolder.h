#pragma once

#include <QString>

class QWidget;

// The folder chosen last by any command that asks for a folder; the next
// chooser starts there. Empty until the first choice.
extern QString LastFolder;

// The platform's own folder picker, owned by owner, starting at initial
// when that folder still exists. Returns the chosen folder ending in "/",
// or empty when cancelled.
QString SelectFolder(QWidget *owner, const QString &initial);

// Asks for a folder for the calling window, starting at LastFolder: the
// platform's picker, or Qt's own dialog when native dialogs are turned off
// (Qt::AA_DontUseNativeDialogs). A chosen folder (ending in "/") becomes
// LastFolder; empty when cancelled, and LastFolder stays.
QString ChooseFolder(QWidget *caller);
