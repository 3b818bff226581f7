#include "PagePainter.h"

// The letter page (four guide lines, 14 cells a row) and the digit page
// (12 square cells a row).
PagePaintResult paintLetterPage(Graphics &, const StartupData &, const WorksheetSettings &, qint64,
                                const PageCanvas &)
{
    return {};
}
