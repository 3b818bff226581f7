#pragma once

#include "Dialogs.h"

#include <QPageRanges>
#include <QPrinter>
#include <QStringList>

// Records what the windows ask and answers from prepared values; never blocks.
class FakeDialogs : public Dialogs
{
public:
    FakeDialogs() { Dialogs::setInstance(this); }
    ~FakeDialogs() override { Dialogs::setInstance(nullptr); }

    void message(QWidget *, const QString &text) override { messages << text; }
    bool question(QWidget *, const QString &text, const QString &caption) override
    {
        questions << caption + QLatin1Char('|') + text;
        return answerOk;
    }
    QString saveFileName(QWidget *, const QString &filter, const QString &suggested) override
    {
        filters << filter;
        suggestions << suggested;
        return saveName;
    }
    QString chooseFolder(QWidget *, const QString &start, bool native, const QString &title) override
    {
        folderStarts << start;
        folderTitles << title;
        lastNative = native;
        return folder;
    }
    bool chooseColor(QWidget *, QColor &color) override
    {
        colorStarts << color;
        if (!colorOk)
            return false;
        color = nextColor;
        return true;
    }

    // Prints into printFile as PDF with the prepared range, copies and order.
    bool print(QWidget *, QPrinter &printer, int pageCount) override
    {
        printPageCounts << pageCount;
        printTitles << printer.docName();
        if (!printOk)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printFile);
        printer.setPrintRange(printFrom > 0 ? QPrinter::PageRange : QPrinter::AllPages);
        printer.setFromTo(printFrom, printTo);
        if (!printRanges.isEmpty()) {
            QPageRanges ranges;
            for (const QString &part : printRanges.split(QLatin1Char(',')))
                ranges.addRange(part.section(QLatin1Char('-'), 0, 0).toInt(),
                                part.section(QLatin1Char('-'), -1).toInt());
            printer.setPageRanges(ranges);
        }
        printer.setCopyCount(printCopies);
        printer.setCollateCopies(printCollate);
        printer.setPageOrder(printLastFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
        return true;
    }

    QStringList printTitles;
    QList<int> printPageCounts;
    bool printOk = true;
    QString printFile;
    QString printRanges; // "1,3-4": pages as a list
    int printFrom = 0, printTo = 0, printCopies = 1;
    bool printCollate = true, printLastFirst = false;

    QStringList messages, questions, filters, suggestions, folderStarts, folderTitles;
    QList<QColor> colorStarts;
    bool answerOk = false;
    bool lastNative = false;
    bool colorOk = true;
    QColor nextColor = Qt::red;
    QString saveName, folder;
};
