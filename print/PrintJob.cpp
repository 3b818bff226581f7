#include "PrintJob.h"

#include "PageModel.h"
#include "StartupData.h"

#include <QDir>
#include <QImageReader>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>

QList<qint64> printSheetOrder(int pageCount, const PrintRequest &request)
{
    QList<qint64> pages;
    if (!request.pages.isEmpty()) {
        for (qint64 p : request.pages)
            if (p >= 1 && p <= pageCount)
                pages.append(p);
    } else {
        const qint64 from = std::max<qint64>(1, request.fromPage);
        const qint64 to = request.toPage > 0 ? std::min<qint64>(request.toPage, pageCount) : pageCount;
        for (qint64 p = from; p <= to; ++p)
            pages.append(p);
    }
    if (request.lastPageFirst)
        std::reverse(pages.begin(), pages.end());
    const int copies = std::clamp(request.copies, 1, 999);
    QList<qint64> sheets;
    if (request.collate) {
        for (int c = 0; c < copies; ++c)
            sheets += pages;
    } else {
        for (qint64 p : pages)
            for (int c = 0; c < copies; ++c)
                sheets.append(p);
    }
    return sheets;
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
    }
    return QString();
}

namespace {

// A page picture read back whole: a 600 dpi page is larger than the image
// reader's default allocation limit, which would otherwise give a blank sheet.
QImage readPagePicture(const QString &fileName, QString *error)
{
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

PrintResult printWorksheet(QPagedPaintDevice &device, const StartupData &data,
                           const WorksheetSettings &s, const PrintRequest &request,
                           const PageProgress &progress)
{
    PrintResult result;
    const int n = worksheetPageCount(data, s);
    const QList<qint64> sheets = printSheetOrder(n, request);
    if (sheets.isEmpty()) {
        result.status = PrintResult::Status::NothingToPrint;
        return result;
    }

    if (!isPictureFormat(request.format)) {
        const PageResult r = paintVectorPages(device, data, s, sheets, &result.failedPage, progress);
        if (!r.ok()) {
            result.page = r;
            result.status = r.status == PageStatus::NoStrokeData ? PrintResult::Status::PageFailed
                                                                  : PrintResult::Status::PrinterFailed;
            result.error = r.error;
            return result;
        }
        result.sheets = int(sheets.size());
        return result;
    }

    // Every chosen page is made before the printer sees anything, in a
    // folder of this run only (no page of another user or run can slip in).
    QTemporaryDir folder(tempRootFolder(request.tempRoot) + QStringLiteral("/kelvora-print-XXXXXX"));
    if (!folder.isValid()) {
        result.status = PrintResult::Status::PageFailed;
        result.failedPage = sheets.first();
        result.page.status = PageStatus::WriteFailed;
        result.page.error = folder.errorString();
        return result;
    }
    QList<qint64> pages = sheets;
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    const SaveSummary made =
        savePagePictures(data, s, pages, request.format, request.dpi, folder.path(), progress);
    if (!made.ok()) {
        result.status = PrintResult::Status::PageFailed;
        result.failedPage = made.firstFailedPage;
        result.page = made.firstFailure;
        return result;
    }

    QPainter painter;
    if (!painter.begin(&device)) {
        result.status = PrintResult::Status::PrinterFailed;
        result.error = QStringLiteral("打印机不能开始打印");
        return result;
    }
    const QRectF sheet(0, 0, device.width(), device.height());
    for (int i = 0; i < sheets.size(); ++i) {
        if (i > 0)
            device.newPage();
        QString error;
        const QImage picture =
            readPagePicture(pageFileName(folder.path(), sheets[i], request.format), &error);
        if (picture.isNull()) {
            painter.end();
            result.status = PrintResult::Status::PrinterFailed;
            result.failedPage = sheets[i];
            result.error = QStringLiteral("第 %1 页的图片读不出来（%2）").arg(sheets[i]).arg(error);
            return result;
        }
        // Fitted to the A4 sheet, aspect kept, centred.
        QSizeF fit = QSizeF(picture.size()).scaled(sheet.size(), Qt::KeepAspectRatio);
        const QRectF box(sheet.center() - QPointF(fit.width() / 2, fit.height() / 2), fit);
        painter.drawImage(box, picture);
        ++result.sheets;
    }
    if (!painter.end()) {
        result.status = PrintResult::Status::PrinterFailed;
        result.error = QStringLiteral("打印机没有接受打印任务");
    }
    return result;
}
