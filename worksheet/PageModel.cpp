#include "PageModel.h"

#include "StartupData.h"
#include "StrokeSheet.h"
#include "Worksheet.h"

#include <QHash>

#include <algorithm>

namespace {

struct Clamped
{
    int r;
    int t;
};
Clamped clamped(const WorksheetRows &rows)
{
    return {std::clamp(rows.rowsPerChar, 1, WorksheetRowsPerPage),
            std::clamp(rows.tracingRows, 0, WorksheetRowsPerPage)};
}

int strokeRowsOf(const WorksheetRows &rows, qint64 i)
{
    return i < rows.strokeRows.size() ? std::max(0, rows.strokeRows[i]) : 0;
}

bool anyStrokeRows(const WorksheetRows &rows)
{
    const qsizetype n = std::min<qsizetype>(rows.strokeRows.size(), std::max(0, rows.textLength));
    return std::any_of(rows.strokeRows.cbegin(), rows.strokeRows.cbegin() + n, [](int s) { return s > 0; });
}

// The stroke count of a character in the stroke font, read once per
// character and font: a save run asks for the same text page after page,
// and every keystroke in the text box for all of it again. Each thread
// keeps its own, as each thread draws with fonts of its own.
int strokeCountOf(const StartupData &data, QChar c)
{
    thread_local quint64 generation = 0;
    thread_local QString family;
    thread_local QHash<QChar, int> counts;
    if (generation != data.PrivateFonts.generation() || family != data.CharFontFamily) {
        counts.clear();
        generation = data.PrivateFonts.generation();
        family = data.CharFontFamily;
    }
    auto it = counts.constFind(c);
    if (it == counts.constEnd())
        it = counts.insert(c, SheetGlyph(data.PrivateFonts, data.CharFontFamily, QString(c)).strokeCount());
    return *it;
}

// The pinyin row of each character: 0 or 1.
int pinyinRowsOf(const WorksheetRows &rows)
{
    return rows.pinyinRows ? 1 : 0;
}

qint64 streamRows(const WorksheetRows &rows)
{
    if (rows.textLength <= 0)
        return 0;
    qint64 all = qint64(rows.textLength) * (clamped(rows).r + pinyinRowsOf(rows));
    for (int i = 0; i < rows.textLength && i < rows.strokeRows.size(); ++i)
        all += strokeRowsOf(rows, i);
    return all;
}

} // namespace

int worksheetPageCount(const WorksheetRows &rows)
{
    return int((streamRows(rows) + WorksheetRowsPerPage - 1) / WorksheetRowsPerPage);
}

QList<PageBlock> worksheetPageBlocks(const WorksheetRows &rows, qint64 page)
{
    QList<PageBlock> blocks;
    const auto [r, t] = clamped(rows);
    const int py = pinyinRowsOf(rows);
    const int length = rows.textLength;
    if (length <= 0 || page < 1 || page > worksheetPageCount(rows))
        return blocks;
    const qint64 done = (page - 1) * WorksheetRowsPerPage; // rows on earlier pages
    // The character holding the page's first row, and how many of its rows
    // earlier pages showed.
    qint64 index = 0;
    qint64 skipped = 0;
    if (!anyStrokeRows(rows)) {
        index = done / (py + r);
        skipped = done % (py + r);
    } else {
        qint64 start = 0;
        while (index < length && start + strokeRowsOf(rows, index) + py + r <= done)
            start += strokeRowsOf(rows, index++) + py + r;
        skipped = done - start;
    }
    int rowsLeft = WorksheetRowsPerPage;
    for (; rowsLeft > 0 && index < length; ++index, skipped = 0) {
        const int s = strokeRowsOf(rows, index);
        const int h = s + py;                          // rows before the practice rows
        const int a = int(skipped);                    // first row of the character shown here
        const int b = a + std::min(h + r - a, rowsLeft); // one past the last
        PageBlock blk;
        blk.charIndex = int(index);
        blk.rows = b - a;
        blk.strokeRows = std::max(0, std::min(b, s) - a);
        blk.firstStrokeRow = blk.strokeRows > 0 ? a : 0;
        blk.pinyinRows = std::max(0, std::min(b, h) - std::max(a, s));
        // The practice rows here: pa .. pb - 1 of the character's r.
        const int pa = std::max(a, h) - h;
        const int pb = b - h;
        blk.tracingRows = std::max(0, std::min(t, pb) - pa);
        blk.continuation = pa > 0;
        rowsLeft -= blk.rows;
        blocks.append(blk);
    }
    return blocks;
}

int worksheetPageCount(int textLength, int rowsPerChar)
{
    return worksheetPageCount(WorksheetRows{textLength, rowsPerChar, 0, {}});
}

QList<PageBlock> worksheetPageBlocks(int textLength, int rowsPerChar, int tracingRows, qint64 page)
{
    return worksheetPageBlocks(WorksheetRows{textLength, rowsPerChar, tracingRows, {}}, page);
}

int strokeOrderRowCount(int strokes)
{
    return strokes < 1 ? 0 : (strokes + CharCellsPerRow - 1) / CharCellsPerRow;
}

WorksheetRows worksheetRows(const StartupData &data, const WorksheetSettings &s)
{
    WorksheetRows rows{int(s.text.size()), s.rowsPerChar, s.tracingRows, {},
                       s.pinyinRows && s.kind == WorksheetKind::Chinese};
    if (!s.strokeOrderRows || s.kind != WorksheetKind::Chinese)
        return rows;
    rows.strokeRows.reserve(s.text.size());
    for (QChar c : s.text)
        rows.strokeRows.append(strokeOrderRowCount(strokeCountOf(data, c)));
    return rows;
}

int worksheetPageCount(const StartupData &data, const WorksheetSettings &s)
{
    return worksheetPageCount(worksheetRows(data, s));
}
