#pragma once

#include "PageWriter.h"

#include <QList>
#include <QString>

class QPagedPaintDevice;
struct StartupData;

// What the user chose in the print dialog, and how the pages are made.
struct PrintRequest
{
    int fromPage = 0; // 0: from the first page
    int toPage = 0;   // 0: to the last page
    QList<qint64> pages; // a list of pages ("1,3-5"): used instead of from/to
    int copies = 1;
    bool collate = true;        // 1 2 3, 1 2 3 rather than 1 1, 2 2, 3 3
    bool lastPageFirst = false;
    PageFormat format = PageFormat::Jpeg; // Pdf prints the vector pages
    int dpi = 300;
    QString tempRoot; // where the run's private folder goes; empty: TEMP
};

// The pages in the order the sheets come out, copies included. Pages past
// the end of the worksheet are dropped; an empty list when nothing is left.
QList<qint64> printSheetOrder(int pageCount, const PrintRequest &request);

struct PrintResult
{
    enum class Status { Printed, NothingToPrint, PageFailed, PrinterFailed };
    Status status = Status::Printed;
    int sheets = 0;
    qint64 failedPage = 0;
    PageResult page; // why failedPage could not be made
    QString error;   // the printer's reason
    bool ok() const { return status == Status::Printed; }
    // What to tell the user when the run did not print.
    QString message() const;
};

// Prints the chosen pages of the worksheet onto a paged device that the
// caller has set up (A4 portrait, whole page, job title). Picture formats:
// every chosen page is rendered into a private folder made for this run
// first; if any page cannot be made, nothing is printed. Then each picture
// is read back alone and laid out on its sheet, fitted and centred, so at
// most one page picture exists at a time. The folder is removed at the end.
PrintResult printWorksheet(QPagedPaintDevice &device, const StartupData &data,
                           const WorksheetSettings &s, const PrintRequest &request,
                           const PageProgress &progress = {});
