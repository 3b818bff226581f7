#include "WorksheetRuns.h"

#include "Dialogs.h"
#include "MySelectFolder.h"
#include "PageModel.h"
#include "PrintJob.h"

#include <QApplication>
#include <QPageRanges>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>

namespace {

void say(QWidget *owner, const QString &text)
{
    Dialogs::instance().message(owner, text);
}

void report(QWidget *owner, const SaveSummary &sum)
{
    if (sum.noStrokeData)
        say(owner, noStrokeDataText());
    say(owner, sum.message());
}

QString askPdfName(QWidget *owner)
{
    QString file = Dialogs::instance().saveFileName(owner, QStringLiteral("PDF (*.pdf)"));
    if (file.isEmpty())
        return file;
    if (QFileInfo(file).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        file += QStringLiteral(".pdf");
    if (QFileInfo::exists(file)
        && !Dialogs::instance().question(owner,
                                         QStringLiteral("文件“%1”已经存在，要替换它吗？")
                                             .arg(QFileInfo(file).fileName()),
                                         QStringLiteral("提示信息")))
        return QString();
    return file;
}

} // namespace

void runWorksheetSave(QWidget *owner, const StartupData &data, const WorksheetSettings &s,
                      PageFormat format, int dpi, const QString &title)
{
    if (s.text.isEmpty())
        return;
    SaveSummary sum;
    if (format == PageFormat::Pdf) {
        const QString file = askPdfName(owner);
        if (file.isEmpty())
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sum = writeWorksheetPdf(data, s, allPages(data, s), file, title);
    } else {
        const QString folder = ChooseFolder(owner);
        if (folder.isEmpty())
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sum = savePagePictures(data, s, allPages(data, s), format, dpi, folder);
    }
    QApplication::restoreOverrideCursor();
    report(owner, sum);
}

void runWorksheetPrint(QWidget *owner, const StartupData &data, const WorksheetSettings &s,
                       PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                       QWidget *saveGroup)
{
    if (s.text.isEmpty())
        return;
    printButton->setEnabled(false);
    saveGroup->setEnabled(false);
    const int n = worksheetPageCount(data, s);

    // The dialog comes first: nothing is drawn until the user has chosen.
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
    printer.setFullPage(true);
    printer.setFromTo(1, n);
    if (Dialogs::instance().print(owner, printer, n)) {
        PrintRequest request;
        if (printer.printRange() == QPrinter::PageRange) {
            request.fromPage = printer.fromPage();
            request.toPage = printer.toPage();
            // "1,3-5" as well as "from … to".
            for (const QPageRanges::Range &r : printer.pageRanges().toRangeList())
                for (qint64 p = r.from; p <= r.to && p <= n; ++p)
                    request.pages.append(p);
        }
        request.copies = printer.copyCount();
        request.collate = printer.collateCopies();
        request.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
        request.format = format;
        request.dpi = dpi;
        // The run lays out the copies and the order itself.
        printer.setCopyCount(1);
        printer.setPageOrder(QPrinter::FirstPageFirst);
        printer.setDocName(title);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const PrintResult result = printWorksheet(printer, data, s, request);
        QApplication::restoreOverrideCursor();
        if (result.status == PrintResult::Status::PageFailed
            && result.page.status == PageStatus::NoStrokeData)
            say(owner, noStrokeDataText());
        if (!result.ok())
            say(owner, result.message());
        else if (printer.printerState() == QPrinter::Error)
            say(owner, QStringLiteral("打印失败：打印机报告了错误。"));
    }
    printButton->setEnabled(true);
    saveGroup->setEnabled(true);
}
