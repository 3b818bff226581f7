#pragma once

#include "Worksheet.h"

#include <QChar>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

class QPagedPaintDevice;
struct StartupData;

// What the pages are written as: one picture per page, or one vector PDF.
enum class PageFormat { Bmp, Jpeg, Png, Pdf };

QString pageFormatExtension(PageFormat format); // ".bmp", ".jpg", ".png", ".pdf"
QString pageFormatMimeType(PageFormat format);  // "image/bmp" ... "application/pdf"
bool isPictureFormat(PageFormat format);        // not Pdf

enum class PageStatus {
    Written,
    NoStrokeData, // stopped at a character the stroke font cannot draw
    TooLarge,     // the picture could not be allocated
    WriteFailed,  // no encoder, or the file could not be written
    Stopped,      // the run was asked to stop before this page
};

struct PageResult
{
    PageStatus status = PageStatus::Written;
    QString error;  // the system's reason for TooLarge and WriteFailed
    QChar stopChar; // for NoStrokeData
    bool ok() const { return status == PageStatus::Written; }
};

// The message shown when a page cannot be drawn.
QString noStrokeDataText();
// "第 3 页：…" — the page and why it failed, for messages.
QString pageFailureText(qint64 page, const PageResult &result);

// The A4 page of a paint device in points, and the points per device pixel.
QSizeF devicePagePoints(const QPaintDevice &device);

// Renders page `page` into out at dpi (96, 300 or 600): drawn straight into
// an opaque white picture for BMP and JPEG, a transparent one for PNG, its
// resolution recorded. out is drawn over when it already is a page picture
// of that size and format, and released first otherwise.
PageResult renderPagePicture(const StartupData &data, const WorksheetSettings &s, qint64 page,
                             PageFormat format, int dpi, QImage &out);

// Renders page `page` and writes it to fileName (a temporary name renamed
// into place, so no truncated file is ever left under that name).
PageResult writePagePicture(const StartupData &data, const WorksheetSettings &s, qint64 page,
                            PageFormat format, int dpi, const QString &fileName);

// folder + "/" + page + extension: 1.jpg, 2.jpg, …
QString pageFileName(const QString &folder, qint64 page, PageFormat format);

// The pages 1..n of a copybook.
QList<qint64> allPages(const StartupData &data, const WorksheetSettings &s);

// Called after each page: pages done so far and the total.
using PageProgress = std::function<void(int done, int total)>;
// Asked before each page: true ends the run there (the page under way is
// finished first). May be called from the thread doing the run.
using StopRequested = std::function<bool()>;

struct SaveSummary
{
    int written = 0;
    int failed = 0;
    qint64 firstFailedPage = 0;
    PageResult firstFailure;
    bool noStrokeData = false; // some page stopped at a character without strokes
    QStringList files;         // the files written, in page order
    int total = 0;             // pages the run was asked for
    bool stopped = false;      // asked to stop before the last page
    bool onePiece = false;     // one file for all pages (PDF): stopped means none
    bool ok() const { return failed == 0 && !stopped; }
    // "保存完毕！" when every page was written; when stopped, what was
    // written; otherwise how many were not, and the first with its reason.
    QString message() const;
};

// Page pictures that may exist at once, in bytes: at 600 dpi two pages of
// 139 MB, so a save stays within 400 MB.
constexpr qint64 PagePictureBudget = qint64(300) << 20;
// Page pictures a save keeps in flight at dpi: one being drawn and one per
// core being encoded, as many as the budget holds (at least one).
int pagesInFlight(int dpi, int cores);

// Writes each page as a picture into folder (pages named as pageFileName).
// The pages are drawn on the calling thread and encoded on helper threads,
// as many at a time as pagesInFlight allows; the first failure reported is
// the earliest page's.
SaveSummary savePagePictures(const StartupData &data, const WorksheetSettings &s,
                             const QList<qint64> &pages, PageFormat format, int dpi,
                             const QString &folder, const PageProgress &progress = {},
                             const StopRequested &stop = {});

// Paints the pages with vector glyphs and lines onto a paged device (PDF
// writer, printer) already set to A4 portrait without margins, one page
// per sheet, starting on the device's current page. Stops at the first page
// that cannot be drawn and returns it in *failedPage.
PageResult paintVectorPages(QPagedPaintDevice &device, const StartupData &data,
                            const WorksheetSettings &s, const QList<qint64> &pages,
                            qint64 *failedPage = nullptr, const PageProgress &progress = {},
                            const StopRequested &stop = {});

// Draws each page on a one-pixel surface of pagePt points: the first page
// that would stop at a character without strokes (Written when none does;
// Stopped when stop asked first).
PageResult firstUndrawablePage(const StartupData &data, const WorksheetSettings &s,
                               const QList<qint64> &pages, const QSizeF &pagePt,
                               qint64 *failedPage = nullptr, const StopRequested &stop = {});

// Writes the pages as one A4 PDF with title as its document title. Nothing
// is left under fileName unless every page was drawn (a stopped run leaves
// none either).
SaveSummary writeWorksheetPdf(const StartupData &data, const WorksheetSettings &s,
                              const QList<qint64> &pages, const QString &fileName,
                              const QString &title, const PageProgress &progress = {},
                              const StopRequested &stop = {});
