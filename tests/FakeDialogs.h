#pragma once

#include "Dialogs.h"

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
    QString saveFileName(QWidget *, const QString &filter) override
    {
        filters << filter;
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

    QStringList messages, questions, filters, folderStarts, folderTitles;
    QList<QColor> colorStarts;
    bool answerOk = false;
    bool lastNative = false;
    bool colorOk = true;
    QColor nextColor = Qt::red;
    QString saveName, folder;
};
