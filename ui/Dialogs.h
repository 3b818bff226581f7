#pragma once

#include <QColor>
#include <QString>

class QPrinter;
class QWidget;

// Every modal dialog the windows open goes through here, so tests can put
// their own answers in place and never block.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A plain message box with an OK button, captioned with the application title.
    virtual void message(QWidget *parent, const QString &text) = 0;
    // OK / Cancel with Cancel as the default; true for OK.
    virtual bool question(QWidget *parent, const QString &text, const QString &caption) = 0;
    // A file name to save to, empty when cancelled; the dialog opens on
    // suggested (a folder and a name filled in) when one is given.
    virtual QString saveFileName(QWidget *parent, const QString &filter, const QString &suggested = QString()) = 0;
    // A folder, empty when cancelled; native picks the platform's dialog,
    // which keeps its own title.
    virtual QString chooseFolder(QWidget *parent, const QString &startFolder, bool native,
                                 const QString &title = QString()) = 0;
    // Lets the user pick a colour starting at color; true when confirmed.
    virtual bool chooseColor(QWidget *parent, QColor &color) = 0;

    // The print dialog on printer, offering pages 1..pageCount; true when
    // the user chose to print (printer, range, copies and order are then
    // set on printer). Cancels when not replaced.
    virtual bool print(QWidget *parent, QPrinter &printer, int pageCount)
    {
        (void)parent, (void)printer, (void)pageCount;
        return false;
    }

    static Dialogs &instance();
    // Replaces the dialogs (nullptr restores Qt's); the caller keeps ownership.
    static void setInstance(Dialogs *dialogs);
};
