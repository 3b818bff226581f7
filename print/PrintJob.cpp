#include "PrintJob.h"

#include "Graphics.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "StartupData.h"

#include <QDir>
#include <QImageReader>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <mutex>

QList<qint64> printSheetOrder(int pageCount, const PrintRequest &request)
{
    QList<qint64> pages;
    const auto take = [&](qint64 p) {
        const bool wanted = request.pageSet == PageSet::All
                            || (p % 2 == 1) == (request.pageSet == PageSet::Odd);
        if (p >= 1 && p <= pageCount && wanted)
            pages.append(p);
    };
    if (!request.pages.isEmpty()) {
        for (qint64 p : request.pages)
            take(p);
    } else {
        const qint64 from = std::max<qint64>(1, request.fromPage);
        const qint64 to = request.toPage > 0 ? std::min<qint64>(request.toPage, pageCount) : pageCount;
        for (qint64 p = from; p <= to; ++p)
            take(p);
    }
    if (request.lastPageFirst)
        std::reverse(pages.begin(), pages.end());
    const int copies = std::clamp(request.copies, 1, 999);
    QList<qint64> sheets;
    if (request.collate) {
        for (int c = 0; c < copies; ++c) {
            if (c > 0 && request.duplex && sheets.size() % 2 == 1)
                sheets.append(0);
            sheets += pages;
        }
    } else {
        for (qint64 p : pages)
            for (int c = 0; c < copies; ++c)
                sheets.append(p);
    }
    return sheets;
}

namespace {
// Job options that would choose pages or copies a second time.
bool selectsSheets(const QString &name)
{
    static const QStringList names = {
        QStringLiteral("page-ranges"), QStringLiteral("page-set"), QStringLiteral("copies"),
        QStringLiteral("collate"), QStringLiteral("multiple-document-handling"),
        QStringLiteral("outputorder"), QStringLiteral("output-order"), QStringLiteral("page-order")};
    return names.contains(name, Qt::CaseInsensitive);
}
} // namespace

PrintRequest printRequestFor(const PrintChoice &choice, PrintRequest request)
{
    request.fromPage = 0;
    request.toPage = 0;
    request.pages = choice.pages;
    request.pageSet = PageSet::All;
    for (qsizetype i = 0; i + 1 < choice.jobOptions.size(); i += 2)
        if (choice.jobOptions[i] == QLatin1String("page-set")) {
            if (choice.jobOptions[i + 1] == QLatin1String("odd"))
                request.pageSet = PageSet::Odd;
            else if (choice.jobOptions[i + 1] == QLatin1String("even"))
                request.pageSet = PageSet::Even;
        }
    // Qt's dialog counts odd and even from the first chosen page, as if only
    // the chosen pages were sent: from an even first page it swaps the two.
    // Here they are page numbers, so swap them back.
    if (!choice.pages.isEmpty() && choice.pages.first() % 2 == 0 && request.pageSet != PageSet::All)
        request.pageSet = request.pageSet == PageSet::Odd ? PageSet::Even : PageSet::Odd;
    request.copies = choice.copies;
    request.collate = choice.collate;
    request.lastPageFirst = choice.lastPageFirst;
    request.duplex = choice.duplex;
    return request;
}

QStringList jobOptionsForSheets(const QStringList &jobOptions)
{
    QStringList kept;
    for (qsizetype i = 0; i + 1 < jobOptions.size(); i += 2)
        if (!selectsSheets(jobOptions[i]))
            kept << jobOptions[i] << jobOptions[i + 1];
    return kept;
}

QMarginsF unprintableMargins(const QPageLayout &layout, double dpi)
{
    QPageLayout printable = layout;
    printable.setMode(QPageLayout::StandardMode);
    printable.setMargins(layout.minimumMargins());
    // Millimetres: Qt rounds rectangles in points to whole points.
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    const QRectF reach = printable.paintRect(QPageLayout::Millimeter);
    const double k = dpi / 25.4;
    return QMarginsF((reach.left() - full.left()) * k, (reach.top() - full.top()) * k,
                     (full.right() - reach.right()) * k, (full.bottom() - reach.bottom()) * k);
}

QRectF sheetPictureBox(QSizeF sheet, const QMarginsF &unprintable, QSizeF picture)
{
    if (sheet.isEmpty() || picture.isEmpty())
        return QRectF();
    const QMarginsF m(std::max(0.0, unprintable.left()), std::max(0.0, unprintable.top()),
                      std::max(0.0, unprintable.right()), std::max(0.0, unprintable.bottom()));
    QRectF printable = QRectF(QPointF(0, 0), sheet).marginsRemoved(m);
    if (printable.width() <= 0 || printable.height() <= 0)
        printable = QRectF(QPointF(0, 0), sheet); // margins that leave nothing: the whole sheet
    QSizeF fit = picture.scaled(sheet, Qt::KeepAspectRatio);
    if (fit.width() > printable.width() || fit.height() > printable.height())
        fit = fit.scaled(printable.size(), Qt::KeepAspectRatio);
    // Centred on the sheet when that keeps it inside the printable area,
    // otherwise in the printable area.
    QRectF box(QPointF(0, 0), fit);
    box.moveCenter(QRectF(QPointF(0, 0), sheet).center());
    if (!printable.contains(box))
        box.moveCenter(printable.center());
    return box;
}

QString PrintResult::message() const
{
    switch (status) {
    case Status::Printed:
        return QString();
    case Status::NothingToPrint:
        return QStringLiteral("所选的页不在字帖之内，没有打印。");
    case Status::PageFailed:
        return QStringLiteral("没有打印：%1").arg(pageFailureText(failedPage, page));
    case Status::PrinterFailed:
        return QStringLiteral("打印失败：%1").arg(error);
    case Status::Stopped:
        return QStringLiteral("已停止：没有打印");
    }
    return QString();
}

namespace {

// A page picture read back whole: a 600 dpi page is larger than the image
// reader's default allocation limit, which would otherwise give a blank sheet.
QImage readPagePicture(const QString &fileName, QString *error)
{
    // The limit is the whole program's: one reader at a time changes it.
    static std::mutex lock;
    const std::lock_guard<std::mutex> locked(lock);
    const int oldLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1024);
    QImageReader reader(fileName);
    QImage image = reader.read();
    QImageReader::setAllocationLimit(oldLimit);
    if (image.isNull())
        *error = reader.errorString();
    return image;
}

QString tempRootFolder(const QString &given)
{
    if (!given.isEmpty())
        return given;
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? QDir::tempPath() : QDir::fromNativeSeparators(temp);
}

} // namespace

PrintRun::PrintRun(const PrintRequest &request) : m_request(request) {}

PrintRun::~PrintRun()
{
    m_vector.reset();
    if (m_painter.isActive())
        m_painter.end();
}

PrintResult PrintRun::prepare(const StartupData &data, const WorksheetSettings &s,
                              const PageProgress &progress, const StopRequested &stop)
{
    PrintResult result;
    m_sheets = printSheetOrder(worksheetPageCount(data, s), m_request);
    if (m_sheets.isEmpty()) {
        result.status = PrintResult::Status::NothingToPrint;
        return result;
    }
    QList<qint64> pages = m_sheets;
    pages.removeAll(0); // blank backs
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());

    if (!isPictureFormat(m_request.format)) {
        const QSizeF a4(210 / 25.4 * 72, 297 / 25.4 * 72);
        const PageResult r = firstUndrawablePage(data, s, pages, a4, &result.failedPage, stop);
        if (r.status == PageStatus::Stopped) {
            result.status = PrintResult::Status::Stopped;
        } else if (!r.ok()) {
            result.status = PrintResult::Status::PageFailed;
            result.page = r;
        }
        if (progress && result.ok())
            progress(int(pages.size()), int(pages.size()));
        return result;
    }

    // Every chosen page is made before the printer sees anything, in a
    // folder of this run only (no page of another user or run can slip in).
    m_folder = std::make_unique<QTemporaryDir>(tempRootFolder(m_request.tempRoot)
                                               + QStringLiteral("/kelvora-print-XXXXXX"));
    if (!m_folder->isValid()) {
        result.status = PrintResult::Status::PageFailed;
        result.failedPage = m_sheets.first();
        result.page.status = PageStatus::WriteFailed;
        result.page.error = m_folder->errorString();
        return result;
    }
    const SaveSummary made = savePagePictures(data, s, pages, m_request.format, m_request.dpi,
                                              m_folder->path(), progress, stop);
    if (made.stopped) {
        result.status = PrintResult::Status::Stopped;
    } else if (!made.ok()) {
        result.status = PrintResult::Status::PageFailed;
        result.failedPage = made.firstFailedPage;
        result.page = made.firstFailure;
    }
    return result;
}

bool PrintRun::begin(QPagedPaintDevice &device, PrintResult *failure)
{
    m_device = &device;
    m_printed = 0;
    // The sheet in device pixels and the part of it the printer can reach.
    const double dpi = device.logicalDpiX() > 0 ? device.logicalDpiX() : 72;
    m_sheetPixels = QSizeF(device.width(), device.height());
    m_unprintable = unprintableMargins(device.pageLayout(), dpi);
    m_box = sheetPictureBox(m_sheetPixels, m_unprintable, m_sheetPixels);
    bool started = false;
    if (isPictureFormat(m_request.format)) {
        started = m_painter.begin(&device);
    } else {
        // The vector page is laid out on the whole sheet and drawn scaled
        // into the box: a smaller resolution for the same page points.
        const double scale = m_sheetPixels.width() > 0 ? m_box.width() / m_sheetPixels.width() : 1;
        m_vector = std::make_unique<Graphics>(&device, dpi * scale);
        started = m_vector->isActive();
        if (started) {
            m_vector->setPageUnit(PageUnit::Point);
            m_vector->setAntialiasing(true);
        } else {
            m_vector.reset();
        }
    }
    if (!started) {
        failure->status = PrintResult::Status::PrinterFailed;
        failure->error = QStringLiteral("打印机不能开始打印");
    }
    return started;
}

PrintRun::SheetPicture PrintRun::readSheet(int i) const
{
    SheetPicture p;
    if (isPictureFormat(m_request.format) && m_folder && m_sheets.value(i) > 0)
        p.image = readPagePicture(pageFileName(m_folder->path(), m_sheets.value(i), m_request.format),
                                  &p.error);
    return p;
}

bool PrintRun::printSheet(const StartupData &data, const WorksheetSettings &s, int i,
                          PrintResult *failure, const SheetPicture *given)
{
    const qint64 page = m_sheets.value(i);
    if (i > 0 && !m_device->newPage()) {
        failure->status = PrintResult::Status::PrinterFailed;
        failure->failedPage = page;
        failure->error = QStringLiteral("no new page");
        return false;
    }
    if (page == 0) { // a blank back side
        ++m_printed;
        return true;
    }
    if (m_vector) {
        // The page's drawing resets its transforms: the shift into the box
        // goes in as the surface's origin.
        m_vector->setDeviceOrigin(-m_box.topLeft().toPoint());
        m_vector->resetTransform();
        const PagePaintResult painted = paintWorksheetPage(
            *m_vector, data, s, page, PageCanvas{devicePagePoints(*m_device), PageOutput::Picture});
        if (!painted.complete) {
            failure->status = PrintResult::Status::PageFailed;
            failure->failedPage = page;
            failure->page.status = PageStatus::NoStrokeData;
            failure->page.stopChar = painted.stopChar;
            return false;
        }
        ++m_printed;
        return true;
    }
    const SheetPicture read = given ? SheetPicture() : readSheet(i);
    const SheetPicture &sheetPicture = given ? *given : read;
    const QImage &picture = sheetPicture.image;
    if (picture.isNull()) {
        failure->status = PrintResult::Status::PrinterFailed;
        failure->failedPage = page;
        failure->error = QStringLiteral("第 %1 页的图片读不出来（%2）").arg(page).arg(sheetPicture.error);
        return false;
    }
    // Fitted to the A4 sheet, aspect kept, centred, inside what the printer reaches.
    m_painter.drawImage(sheetPictureBox(m_sheetPixels, m_unprintable, picture.size()), picture);
    ++m_printed;
    return true;
}

PrintResult PrintRun::end()
{
    PrintResult result;
    result.sheets = m_printed;
    m_vector.reset();
    if (m_painter.isActive() && !m_painter.end()) {
        result.status = PrintResult::Status::PrinterFailed;
        result.error = QStringLiteral("打印机没有接受打印任务");
    }
    m_folder.reset();
    return result;
}

PrintResult printWorksheet(QPagedPaintDevice &device, const StartupData &data,
                           const WorksheetSettings &s, const PrintRequest &request,
                           const PageProgress &progress, const StopRequested &stop)
{
    PrintRun run(request);
    PrintResult result = run.prepare(data, s, progress, stop);
    if (!result.ok() || !run.begin(device, &result))
        return result;
    for (int i = 0; i < run.sheetCount(); ++i)
        if (!run.printSheet(data, s, i, &result)) {
            run.end();
            return result;
        }
    return run.end();
}
