#include "PageWriter.h"

#include "Bitmap.h"
#include "Graphics.h"
#include "ImageEncoder.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "StartupData.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/mman.h>

QString pageFormatExtension(PageFormat format)
{
    switch (format) {
    case PageFormat::Bmp: return QStringLiteral(".bmp");
    case PageFormat::Png: return QStringLiteral(".png");
    case PageFormat::Pdf: return QStringLiteral(".pdf");
    default: return QStringLiteral(".jpg");
    }
}

QString pageFormatMimeType(PageFormat format)
{
    switch (format) {
    case PageFormat::Bmp: return QStringLiteral("image/bmp");
    case PageFormat::Png: return QStringLiteral("image/png");
    case PageFormat::Pdf: return QStringLiteral("application/pdf");
    default: return QStringLiteral("image/jpeg");
    }
}

bool isPictureFormat(PageFormat format)
{
    return format != PageFormat::Pdf;
}

QString noStrokeDataText()
{
    return QStringLiteral("暂时不能读取笔画数据！");
}

QString pageFailureText(qint64 page, const PageResult &r)
{
    QString why;
    switch (r.status) {
    case PageStatus::NoStrokeData:
        // The code too: a space or half an emoji does not show by itself.
        why = QStringLiteral("字符“%1”(U+%2)%3")
                  .arg(r.stopChar.isSurrogate() ? QChar(0xFFFD) : r.stopChar)
                  .arg(r.stopChar.unicode(), 4, 16, QLatin1Char('0'))
                  .arg(noStrokeDataText());
        break;
    case PageStatus::TooLarge:
        why = QStringLiteral("内存不足，不能生成这一页的图片（%1）").arg(r.error);
        break;
    case PageStatus::WriteFailed:
        why = QStringLiteral("不能写入文件（%1）").arg(r.error);
        break;
    case PageStatus::Stopped:
        why = QStringLiteral("已停止");
        break;
    case PageStatus::Written:
        break;
    }
    return QStringLiteral("第 %1 页：%2").arg(page).arg(why);
}

QSizeF devicePagePoints(const QPaintDevice &device)
{
    const double dpiX = device.logicalDpiX() > 0 ? device.logicalDpiX() : 72;
    const double dpiY = device.logicalDpiY() > 0 ? device.logicalDpiY() : 72;
    return QSizeF(device.width() * 72.0 / dpiX, device.height() * 72.0 / dpiY);
}

namespace {

// A page picture on huge pages where the system offers them: faulting in a
// 35 MB picture 4 KB at a time costs more than drawing the whole page.
QImage allocatePagePicture(QSize size, QImage::Format format)
{
    if (!pictureSizeAllowed(size.width(), size.height()))
        return QImage();
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const size_t bytes = size_t(bytesPerLine) * size_t(size.height());
    void *memory = nullptr;
    if (posix_memalign(&memory, size_t(2) << 20, bytes) != 0)
        return QImage();
#ifdef MADV_HUGEPAGE
    madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return QImage(static_cast<uchar *>(memory), size.width(), size.height(), bytesPerLine, format,
                  [](void *p) { std::free(p); }, memory);
}

} // namespace

PageResult renderPagePicture(const StartupData &data, const WorksheetSettings &s, qint64 page,
                             PageFormat format, int dpi, QImage &out)
{
    PageResult r;
    const QSize px = a4PicturePixels(dpi);
    const double ppp = picturePointsPerPixel(dpi);
    const bool transparent = format == PageFormat::Png;
    const QImage::Format pixels = transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    // A page picture handed in is drawn over: fresh memory of this size
    // costs more to fault in than the whole drawing.
    if (out.size() != px || out.format() != pixels || !out.isDetached()) {
        out = QImage(); // never two pages at once
        out = allocatePagePicture(px, pixels);
    }
    if (out.isNull()) {
        r.status = PageStatus::TooLarge;
        r.error = QStringLiteral("%1 × %2").arg(px.width()).arg(px.height());
        return r;
    }
    out.fill(transparent ? Qt::transparent : Qt::white);
    setBitmapDpi(out, dpi);
    PagePaintResult painted;
    {
        Graphics g(out, dpi);
        g.setPageUnit(PageUnit::Point);
        g.setAntialiasing(true);
        const PageCanvas canvas{QSizeF(px.width() * ppp, px.height() * ppp), PageOutput::Picture};
        painted = paintWorksheetPage(g, data, s, page, canvas);
    }
    if (!painted.complete) {
        out = QImage();
        r.status = PageStatus::NoStrokeData;
        r.stopChar = painted.stopChar;
    }
    return r;
}

namespace {

PageResult encodePicture(const QImage &image, PageFormat format, const QString &fileName)
{
    PageResult r;
    ImageEncoder encoder;
    QString error;
    if (!findImageEncoder(pageFormatMimeType(format), &encoder)) {
        r.status = PageStatus::WriteFailed;
        r.error = QStringLiteral("no encoder for %1").arg(pageFormatMimeType(format));
    } else if (!saveImage(image, fileName, encoder, &error)) {
        r.status = PageStatus::WriteFailed;
        r.error = error;
    }
    return r;
}

} // namespace

PageResult writePagePicture(const StartupData &data, const WorksheetSettings &s, qint64 page,
                            PageFormat format, int dpi, const QString &fileName)
{
    QImage image;
    const PageResult r = renderPagePicture(data, s, page, format, dpi, image);
    return r.ok() ? encodePicture(image, format, fileName) : r;
}

QString pageFileName(const QString &folder, qint64 page, PageFormat format)
{
    QString dir = QDir::fromNativeSeparators(folder);
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QString::number(page) + pageFormatExtension(format);
}

QList<qint64> allPages(const StartupData &data, const WorksheetSettings &s)
{
    QList<qint64> pages;
    const int n = worksheetPageCount(data, s);
    for (int p = 1; p <= n; ++p)
        pages.append(p);
    return pages;
}

QString SaveSummary::message() const
{
    if (ok())
        return QStringLiteral("保存完毕！");
    if (stopped && onePiece)
        return QStringLiteral("已停止：没有保存 PDF");
    if (stopped) {
        QString m = QStringLiteral("已停止：已保存 %1 页，共 %2 页").arg(written).arg(total);
        if (failed > 0)
            m += QStringLiteral("\n有 %1 页没有保存。%2")
                     .arg(failed)
                     .arg(pageFailureText(firstFailedPage, firstFailure));
        return m;
    }
    return QStringLiteral("有 %1 页没有保存（已保存 %2 页）。\n%3")
        .arg(failed)
        .arg(written)
        .arg(pageFailureText(firstFailedPage, firstFailure));
}

namespace {

// Counts a page's outcome; the files written are listed at the end of the
// run, in page order.
void record(SaveSummary &sum, qint64 page, const PageResult &r)
{
    if (r.ok()) {
        ++sum.written;
        return;
    }
    // Pages finish out of order: the earliest failure is the one named.
    if (sum.failed++ == 0 || page < sum.firstFailedPage) {
        sum.firstFailedPage = page;
        sum.firstFailure = r;
    }
    if (r.status == PageStatus::NoStrokeData)
        sum.noStrokeData = true;
}

} // namespace

int pagesInFlight(int dpi, int cores)
{
    const QSize px = a4PicturePixels(dpi);
    const qint64 bytes = qint64(px.width()) * px.height() * 4;
    const qint64 fit = bytes > 0 ? PagePictureBudget / bytes : 1;
    return int(std::clamp<qint64>(fit, 1, qint64(std::max(1, cores)) + 1));
}

SaveSummary savePagePictures(const StartupData &data, const WorksheetSettings &s,
                             const QList<qint64> &pages, PageFormat format, int dpi,
                             const QString &folder, const PageProgress &progress,
                             const StopRequested &stop)
{
    SaveSummary sum;
    const int total = int(pages.size());
    sum.total = total;
    // Pages are drawn here, where the fonts live, and encoded by helpers on
    // the other cores; a page picture is reused once its file is written,
    // and no more pictures exist than the budget holds.
    const int pictures = pagesInFlight(dpi, QThread::idealThreadCount());
    const int encoders = std::max(1, std::min(QThread::idealThreadCount(), pictures - 1));

    struct Job
    {
        int index;
        QImage image;
    };
    std::mutex lock;
    std::condition_variable changed;
    std::deque<Job> queue;      // drawn, waiting for an encoder
    std::vector<QImage> spares; // encoded, to be drawn over
    std::vector<int> finished;  // indexes whose results are in, not yet recorded
    std::vector<PageResult> results(static_cast<size_t>(total));
    int live = 0;    // pictures that exist
    int started = 0; // pages 0 .. started - 1 were drawn, in order
    bool closing = false;

    auto encodeLoop = [&] {
        std::unique_lock<std::mutex> guard(lock);
        for (;;) {
            changed.wait(guard, [&] { return closing || !queue.empty(); });
            if (queue.empty())
                return;
            Job job = std::move(queue.front());
            queue.pop_front();
            guard.unlock();
            const PageResult r =
                encodePicture(job.image, format, pageFileName(folder, pages[job.index], format));
            guard.lock();
            results[size_t(job.index)] = r;
            finished.push_back(job.index);
            spares.push_back(std::move(job.image));
            changed.notify_all();
        }
    };
    std::vector<std::thread> helpers;
    if (pictures > 1)
        for (int i = 0; i < encoders; ++i)
            helpers.emplace_back(encodeLoop);

    // Counts page i's outcome (in results) on this thread and reports it.
    auto report = [&](int i) {
        record(sum, pages[i], results[size_t(i)]);
        if (progress)
            progress(sum.written + sum.failed, total);
    };
    // Reports what the encoders have finished.
    auto collect = [&](std::unique_lock<std::mutex> &guard) {
        std::vector<int> done;
        done.swap(finished);
        guard.unlock();
        for (int i : done)
            report(i);
        guard.lock();
    };

    for (int i = 0; i < total; ++i) {
        if (stop && stop()) {
            sum.stopped = true;
            break;
        }
        QImage image;
        {
            std::unique_lock<std::mutex> guard(lock);
            if (pictures > 1)
                changed.wait(guard, [&] { return !spares.empty() || live < pictures || !finished.empty(); });
            collect(guard);
            if (!spares.empty()) {
                image = std::move(spares.back());
                spares.pop_back();
            } else if (live < pictures) {
                ++live;
            } else {
                --i; // only results came in: wait again
                continue;
            }
        }
        started = i + 1;
        const PageResult drawn = renderPagePicture(data, s, pages[i], format, dpi, image);
        if (!drawn.ok()) {
            std::unique_lock<std::mutex> guard(lock);
            if (image.isNull())
                --live;
            else
                spares.push_back(std::move(image));
            guard.unlock();
            results[size_t(i)] = drawn;
            report(i);
            continue;
        }
        if (pictures == 1) {
            results[size_t(i)] = encodePicture(image, format, pageFileName(folder, pages[i], format));
            report(i);
            continue;
        }
        std::lock_guard<std::mutex> guard(lock);
        queue.push_back(Job{i, std::move(image)});
        changed.notify_all();
    }
    {
        std::unique_lock<std::mutex> guard(lock);
        closing = true;
        changed.notify_all();
    }
    for (std::thread &t : helpers)
        t.join();
    {
        std::unique_lock<std::mutex> guard(lock);
        collect(guard);
    }
    // The files in page order, whatever order the encoders finished in.
    for (int i = 0; i < started; ++i)
        if (results[size_t(i)].ok())
            sum.files.append(pageFileName(folder, pages[i], format));
    return sum;
}

// Finds a page that would stop at a character without strokes before
// anything goes to a printer or file.
PageResult firstUndrawablePage(const StartupData &data, const WorksheetSettings &s,
                               const QList<qint64> &pages, const QSizeF &pagePt, qint64 *failed,
                               const StopRequested &stop)
{
    QImage probe(1, 1, QImage::Format_RGB32);
    for (qint64 page : pages) {
        if (stop && stop()) {
            PageResult r;
            r.status = PageStatus::Stopped;
            if (failed)
                *failed = page;
            return r;
        }
        Graphics g(probe, 72);
        g.setPageUnit(PageUnit::Point);
        const PagePaintResult painted =
            paintWorksheetPage(g, data, s, page, PageCanvas{pagePt, PageOutput::Picture});
        if (!painted.complete) {
            if (failed)
                *failed = page;
            PageResult r;
            r.status = PageStatus::NoStrokeData;
            r.stopChar = painted.stopChar;
            return r;
        }
    }
    return {};
}

PageResult paintVectorPages(QPagedPaintDevice &device, const StartupData &data,
                            const WorksheetSettings &s, const QList<qint64> &pages,
                            qint64 *failedPage, const PageProgress &progress,
                            const StopRequested &stop)
{
    const QSizeF pagePt = devicePagePoints(device);
    // The check stops as the drawing does: the drawing only starts if the
    // check went through every page.
    PageResult r = firstUndrawablePage(data, s, pages, pagePt, failedPage, stop);
    if (!r.ok())
        return r;
    Graphics g(&device, device.logicalDpiX());
    if (!g.isActive()) {
        r.status = PageStatus::WriteFailed;
        r.error = QStringLiteral("the output could not be opened");
        if (failedPage)
            *failedPage = pages.value(0);
        return r;
    }
    g.setPageUnit(PageUnit::Point);
    g.setAntialiasing(true);
    for (int i = 0; i < pages.size(); ++i) {
        if (stop && stop()) {
            r.status = PageStatus::Stopped;
            if (failedPage)
                *failedPage = pages[i];
            return r;
        }
        if (i > 0 && !device.newPage()) {
            r.status = PageStatus::WriteFailed;
            r.error = QStringLiteral("no new page");
            if (failedPage)
                *failedPage = pages[i];
            return r;
        }
        g.resetTransform();
        paintWorksheetPage(g, data, s, pages[i], PageCanvas{pagePt, PageOutput::Picture});
        if (progress)
            progress(i + 1, int(pages.size()));
    }
    return r;
}

SaveSummary writeWorksheetPdf(const StartupData &data, const WorksheetSettings &s,
                              const QList<qint64> &pages, const QString &fileName,
                              const QString &title, const PageProgress &progress,
                              const StopRequested &stop)
{
    SaveSummary sum;
    sum.total = int(pages.size());
    sum.onePiece = true;
    QSaveFile file(fileName);
    PageResult r;
    qint64 failedPage = pages.value(0);
    if (!file.open(QIODevice::WriteOnly)) {
        r.status = PageStatus::WriteFailed;
        r.error = file.errorString();
    } else {
        {
            QPdfWriter pdf(&file);
            pdf.setTitle(title);
            pdf.setCreator(QStringLiteral("Kelvora"));
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(0, 0, 0, 0)));
            r = paintVectorPages(pdf, data, s, pages, &failedPage, progress, stop);
        } // the painter ends here and the document is complete
        if (!r.ok()) {
            file.cancelWriting();
        } else if (!file.commit()) {
            r.status = PageStatus::WriteFailed;
            r.error = file.errorString();
        }
    }
    if (r.ok()) {
        sum.written = int(pages.size());
        sum.files.append(fileName);
    } else if (r.status == PageStatus::Stopped) {
        sum.stopped = true;
    } else {
        // The file is one piece: nothing of it was written.
        sum.failed = int(pages.size());
        sum.firstFailedPage = failedPage;
        sum.firstFailure = r;
        sum.noStrokeData = r.status == PageStatus::NoStrokeData;
    }
    return sum;
}
