#include "QtDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {
Dialogs *g_override = nullptr;
}

Dialogs &Dialogs::instance()
{
    static QtDialogs real;
    return g_override ? *g_override : real;
}

void Dialogs::setInstance(Dialogs *dialogs)
{
    g_override = dialogs;
}

void QtDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

bool QtDialogs::question(QWidget *parent, const QString &text, const QString &caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &filter, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QString(), suggested, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::chooseFolder(QWidget *parent, const QString &startFolder, bool native,
                                const QString &title)
{
    QFileDialog::Options opts = QFileDialog::ShowDirsOnly;
    if (!native)
        opts |= QFileDialog::DontUseNativeDialog;
    return QFileDialog::getExistingDirectory(parent, native ? QString() : title, startFolder, opts);
}

bool QtDialogs::chooseColor(QWidget *parent, QColor &color)
{
    const QColor chosen = QColorDialog::getColor(color, parent);
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

bool QtDialogs::print(QWidget *parent, QPrinter &printer, int pageCount)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, qMax(1, pageCount));
    dialog.setFromTo(1, qMax(1, pageCount));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}
