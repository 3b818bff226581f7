#pragma once

#include "CenterLines.h"
#include "CharacterFacts.h"
#include "PrivateFontCollection.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

constexpr int CellMargin = 10;

// Everything loaded once at start and read by every drawing: the character
// list, the direction table, the private fonts, the point/pixel factors and
// the picture folder. Nothing here changes after loading.
struct StartupData
{
    QString CharFontFamily;
    QString SegmentFontFamily;
    // One line: the 6763 supported characters in ascending code point.
    QString SupportedChars;
    // "char|digits" lines, and the same as a look-up by character.
    QStringList DirectionTable;
    QHash<QString, QString> directionByChar;
    PrivateFontCollection PrivateFonts;
    // Every stroke's centre line, for checking strokes the learner writes.
    ::CenterLines CenterLines;
    // Readings, radical, structure and stroke names of every character.
    CharacterFactsTable Facts;
    // Application font id of the pinyin button font (family "PinYinok"),
    // -1 when it is not registered.
    int PinyinFontHandle = -1;
    double PointsPerPixel = 0.75;
    double PixelsPerPoint = 96.0 / 72.0;
    QString TempPicDir;

    // A character is supported when it occurs in the list's text; only the
    // first character of ch is looked at, and the empty string is not one.
    bool isSupported(const QString &ch) const;
    // The direction codes of a character, empty when it has none.
    QString directionCodes(const QString &ch) const;
    // The whole set of supported characters, in order.
    QString allSupported() const { return SupportedChars.trimmed(); }

    // Releases the fonts and tables, in the order the main window closes them.
    void release();
};

// What loadStartupData loads; a program takes only what it uses (the
// exporter needs the tables and the character font, not the pinyin font).
enum StartupPart : unsigned {
    StartupTables = 1,         // the character list and the direction table
    StartupCharFont = 2,       // the whole-character stroke font
    StartupSegmentFont = 4,    // the segment font of the animation
    StartupNumberFont = 8,     // the letter font of stroke numbers
    StartupPinyinFont = 16,    // the pinyin buttons' font, registered with Qt
    StartupPictureFolder = 32, // the picture folder under TEMP
    StartupCenterLines = 64,   // the strokes' centre lines of writing practice
    StartupFacts = 128,        // readings, radicals, structures and stroke names
    StartupEverything = 255,
};

// Loads the embedded tables, centre lines and fonts asked for, computes the
// factors from the screen resolution dpi, and creates the picture folder under
// TEMP (or the system temporary folder when TEMP is not set). The pinyin font
// is registered with the application's font database, so only the GUI thread
// may ask for it.
void loadStartupData(StartupData &data, double dpi, unsigned parts = StartupEverything);

// Another set of data's fonts (only those of fontParts that data has), with
// data's tables, factors and picture folder: for one worker thread to draw
// with while data's own fonts stay with the GUI thread. Make and release it
// on the GUI thread.
std::unique_ptr<StartupData> copyForWorker(const StartupData &data,
                                           unsigned fontParts = StartupCharFont | StartupNumberFont);
