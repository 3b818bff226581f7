#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct StartupData;

// A pasted text split into what a sheet can draw and what it leaves out,
// for the quiet note beside the page count. Line breaks are separators, not
// content: they are dropped without a word.
struct FilteredText
{
    QString kept;
    QStringList left; // each left-out character once (an emoji whole), in text order; no spaces
    int leftCount = 0; // every left-out character, repeats and spaces included
    int spaces = 0;    // spaces and tabs left out
    bool anyLeft() const { return leftCount > 0; }
    // "已略去：H i ! 和 1 个空格"; at most `shown` characters are named, then
    // "等 N 个". Empty when nothing was left out.
    QString note(int shown = 10) const;
};

// Keeps the characters keep() accepts; characters outside the Basic
// Multilingual Plane are never kept.
FilteredText filterText(const QString &text, const std::function<bool(QChar)> &keep);
// Keeps the supported characters, the ones every sheet can draw.
FilteredText drawableCharacters(const StartupData &data, const QString &text);
