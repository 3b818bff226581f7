#pragma once

#include <QList>
#include <QtGlobal>

// The copybook as one stream of rows: character i (from 0) takes rows
// i*r .. i*r + r - 1, its first min(t, r) rows being tracing rows; page p
// (from 1) shows stream rows (p - 1) * 15 .. 15p - 1.

// One character's share of one page.
struct PageBlock
{
    int charIndex = 0;     // 0-based position in the text
    int rows = 0;          // rows of this character on this page (cut at the page end)
    int tracingRows = 0;   // the first tracingRows of them are tracing rows
    bool continuation = false; // begun on an earlier page: no model cell
    bool operator==(const PageBlock &o) const
    {
        return charIndex == o.charIndex && rows == o.rows && tracingRows == o.tracingRows
               && continuation == o.continuation;
    }
};

// Pages of a text of textLength characters at r rows each: Ceil(n * r / 15);
// 0 for an empty text.
int worksheetPageCount(int textLength, int rowsPerChar);

// The blocks of page `page`, top to bottom. Pages below 1 or past the end
// hold none. r is clamped to 1..15, t to 0..15.
QList<PageBlock> worksheetPageBlocks(int textLength, int rowsPerChar, int tracingRows, qint64 page);
