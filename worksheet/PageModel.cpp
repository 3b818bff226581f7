#include "PageModel.h"

#include "Worksheet.h"

#include <algorithm>

int worksheetPageCount(int textLength, int rowsPerChar)
{
    if (textLength <= 0)
        return 0;
    const qint64 r = std::clamp(rowsPerChar, 1, WorksheetRowsPerPage);
    return int((qint64(textLength) * r + WorksheetRowsPerPage - 1) / WorksheetRowsPerPage);
}

QList<PageBlock> worksheetPageBlocks(int textLength, int rowsPerChar, int tracingRows, qint64 page)
{
    QList<PageBlock> blocks;
    const int r = std::clamp(rowsPerChar, 1, WorksheetRowsPerPage);
    const int t = std::clamp(tracingRows, 0, WorksheetRowsPerPage);
    if (textLength <= 0 || page < 1 || page > worksheetPageCount(textLength, r))
        return blocks;
    const qint64 done = (page - 1) * WorksheetRowsPerPage; // rows on earlier pages
    qint64 index = done / r;
    const int split = int(done % r);
    int rowsLeft = WorksheetRowsPerPage;
    for (bool first = true; rowsLeft > 0 && index < textLength; first = false, ++index) {
        PageBlock b;
        b.charIndex = int(index);
        b.continuation = first && split > 0;
        const int rows = b.continuation ? r - split : r;
        const int tracing = std::min(rows, b.continuation ? std::max(0, t - split) : t);
        b.rows = std::min(rows, rowsLeft);
        b.tracingRows = std::min(tracing, b.rows);
        rowsLeft -= b.rows;
        blocks.append(b);
    }
    return blocks;
}
