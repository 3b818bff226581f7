#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

struct StartupData;
struct WorksheetSettings;

// The copybook as one stream of rows: character i (from 0) takes its
// stroke-order rows s_i (none unless they are asked for), then its pinyin
// row (when asked for), then r practice rows, the first min(t, r) of them
// tracing rows; page p (from 1) shows stream rows (p - 1) * 15 .. 15p - 1.

// How the characters of a text take rows.
struct WorksheetRows
{
    int textLength = 0;
    int rowsPerChar = 3;  // practice rows, clamped to 1..15
    int tracingRows = 1;  // clamped to 0..15
    QList<int> strokeRows; // per character; missing entries and an empty list: none
    // A row of pinyin lines right above each character's first practice
    // row, the one with the model: the reading belongs to the character,
    // and a band over every row would halve the characters a page holds.
    bool pinyinRows = false;
};

// One character's share of one page. Its stroke-order rows come first, then
// its tracing rows, then its plain rows.
struct PageBlock
{
    int charIndex = 0;     // 0-based position in the text
    int rows = 0;          // rows of this character on this page (cut at the page end)
    int tracingRows = 0;   // tracing rows among them, after the stroke-order rows
    bool continuation = false; // its practice rows began on an earlier page: no model cell
    int strokeRows = 0;     // stroke-order rows at the top of the block
    int firstStrokeRow = 0; // which of the character's stroke-order rows is the first here
    int pinyinRows = 0;     // 1: its pinyin row follows the stroke-order rows here
    bool operator==(const PageBlock &o) const
    {
        return charIndex == o.charIndex && rows == o.rows && tracingRows == o.tracingRows
               && continuation == o.continuation && strokeRows == o.strokeRows
               && firstStrokeRow == o.firstStrokeRow && pinyinRows == o.pinyinRows;
    }
};

// Pages: Ceil(all rows / 15); 0 for an empty text.
int worksheetPageCount(const WorksheetRows &rows);
// The blocks of page `page`, top to bottom. Pages below 1 or past the end
// hold none.
QList<PageBlock> worksheetPageBlocks(const WorksheetRows &rows, qint64 page);

// The same without stroke-order rows: Ceil(n * r / 15) pages.
int worksheetPageCount(int textLength, int rowsPerChar);
QList<PageBlock> worksheetPageBlocks(int textLength, int rowsPerChar, int tracingRows, qint64 page);

// Stroke-order rows of a character of n strokes, one cell per stroke:
// Ceil(n / 12); none for a character without strokes.
int strokeOrderRowCount(int strokes);

// The rows of a copybook as its settings and the stroke font make them:
// the stroke counts come from the font the cells are drawn with. The one
// source of page counts, page contents and the page selector's bound.
WorksheetRows worksheetRows(const StartupData &data, const WorksheetSettings &s);
int worksheetPageCount(const StartupData &data, const WorksheetSettings &s);
