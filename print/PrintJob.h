#pragma once

#include "PageWriter.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QMarginsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>

class Graphics;
class QPageLayout;
class QPagedPaintDevice;
class QTemporaryDir;
struct StartupData;

enum class PageSet { All, Odd, Even };

// What the user chose in the print dialog, and how the pages are made.
struct PrintRequest
{
    int fromPage = 0; // 0: from the first page
    int toPage = 0;   // 0: to the last page
    QList<qint64> pages; // a list of pages ("1,3-5"): used instead of from/to
    PageSet pageSet = PageSet::All; // by page number: odd pages are 1, 3, 5 …
    int copies = 1;
    bool collate = true;        // 1 2 3, 1 2 3 rather than 1 1, 2 2, 3 3
    bool lastPageFirst = false;
    bool duplex = false;        // each collated copy starts on a new sheet of paper
    PageFormat format = PageFormat::Jpeg; // Pdf prints the vector pages
    int dpi = 300;
    QString tempRoot; // where the run's private folder goes; empty: TEMP
};

// The pages in the order the sheets come out, copies included. Pages past
// the end of the worksheet are dropped; an empty list when nothing is left.
// A 0 is a blank back side: on a two-sided print a copy with an odd number
// of pages ends with one, so the next copy starts on its own sheet.
//
// This is the only place pages, page set, order and copies are chosen, for
// a printer and for a file alike. A CUPS printer would otherwise apply the
// dialog's page ranges, page set and copies a second time to the sheets it
// is sent (Qt passes them on as job options) while a PDF file ignores them.
QList<qint64> printSheetOrder(int pageCount, const PrintRequest &request);

// What a print dialog left on the printer.
struct PrintChoice
{
    QList<qint64> pages; // the chosen pages in order; empty: all
    int copies = 1;
    bool collate = true;
    bool lastPageFirst = false;
    bool duplex = false;
    QStringList jobOptions; // CUPS job options, name and value in turn
};
// The request for that choice (pages, page set, copies, order; the formats
// are left as they are).
PrintRequest printRequestFor(const PrintChoice &choice, PrintRequest request = {});
// The job options a printer is sent with, once the sheets are chosen here:
// those that select pages or copies again are left out.
QStringList jobOptionsForSheets(const QStringList &jobOptions);

// The edges of a page layout the printer cannot reach (its minimum
// margins), in device pixels at dpi.
QMarginsF unprintableMargins(const QPageLayout &layout, double dpi);

// Where a sheet's picture goes: fitted to the sheet with its aspect ratio
// kept and centred, then scaled down just enough to lie inside the
// printable area (sheet less the printer's margins), centred in it.
// All in device pixels.
QRectF sheetPictureBox(QSizeF sheet, const QMarginsF &unprintable, QSizeF picture);

struct PrintResult
{
    enum class Status { Printed, NothingToPrint, PageFailed, PrinterFailed, Stopped };
    Status status = Status::Printed;
    int sheets = 0;
    qint64 failedPage = 0;
    PageResult page; // why failedPage could not be made
    QString error;   // the printer's reason
    bool ok() const { return status == Status::Printed; }
    // What to tell the user when the run did not print.
    QString message() const;
};

// A print run in two steps. prepare() makes every chosen page and can stop
// between pages; it may run on any thread that has fonts of its own. Then
// the sheets are laid out on the device one at a time, on the thread that
// owns the device: begin(), printSheet(0 … sheetCount() − 1), end(). Nothing
// reaches the device before prepare() has made every page, so a run stopped
// while preparing prints nothing.
class PrintRun
{
public:
    explicit PrintRun(const PrintRequest &request);
    ~PrintRun(); // ends an unfinished job and removes the private folder
    PrintRun(const PrintRun &) = delete;
    PrintRun &operator=(const PrintRun &) = delete;

    // Picture formats: every chosen page rendered into a folder made for
    // this run. Vector pages: each drawn once on a probe, so that a page
    // that cannot be drawn is found before the printer sees anything.
    PrintResult prepare(const StartupData &data, const WorksheetSettings &s,
                        const PageProgress &progress = {}, const StopRequested &stop = {});
    int sheetCount() const { return int(m_sheets.size()); }

    // Opens the job; false (and why in *failure) when the device refuses.
    bool begin(QPagedPaintDevice &device, PrintResult *failure);
    // Sheet i's picture read back (picture formats; nothing for vector
    // pages). Any thread may read, so the next sheet can be read while
    // this one is laid out.
    struct SheetPicture
    {
        QImage image;
        QString error; // why it could not be read
    };
    SheetPicture readSheet(int i) const;
    // Lays out sheet i (in order, from 0) fitted and centred: its picture
    // (read here unless given), or the vector page drawn with data's fonts.
    bool printSheet(const StartupData &data, const WorksheetSettings &s, int i, PrintResult *failure,
                    const SheetPicture *picture = nullptr);
    // Closes the job and hands it over.
    PrintResult end();

private:
    PrintRequest m_request;
    QList<qint64> m_sheets;
    std::unique_ptr<QTemporaryDir> m_folder;
    QPagedPaintDevice *m_device = nullptr;
    QSizeF m_sheetPixels;
    QMarginsF m_unprintable; // device pixels the printer cannot reach
    QRectF m_box;            // where a whole sheet's page goes
    QPainter m_painter;                  // picture sheets
    std::unique_ptr<Graphics> m_vector;  // vector sheets
    int m_printed = 0;
};

// Prints the chosen pages of the worksheet onto a paged device that the
// caller has set up (A4 portrait, whole page, job title). Picture formats:
// every chosen page is rendered into a private folder made for this run
// first; if any page cannot be made, nothing is printed. Then each picture
// is read back alone and laid out on its sheet, fitted and centred, so at
// most one page picture exists at a time. The folder is removed at the end.
PrintResult printWorksheet(QPagedPaintDevice &device, const StartupData &data,
                           const WorksheetSettings &s, const PrintRequest &request,
                           const PageProgress &progress = {}, const StopRequested &stop = {});
