#pragma once

#include "Dialogs.h"

// The real dialogs, on Qt's widgets.
class QtDialogs : public Dialogs
{
public:
    void message(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text, const QString &caption) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &suggested) override;
    QString chooseFolder(QWidget *parent, const QString &startFolder, bool native,
                         const QString &title) override;
    bool chooseColor(QWidget *parent, QColor &color) override;
    bool print(QWidget *parent, QPrinter &printer, int pageCount) override;
};
