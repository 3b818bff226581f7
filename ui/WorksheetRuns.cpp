#include "WorksheetRuns.h"

#include "Dialogs.h"
#include "SaveLocation.h"
#include "MySelectFolder.h"
#include "PageModel.h"
#include "PrintJob.h"
#include "PrintQueue.h"
#include "StartupData.h"
#include "WorkProgress.h"

#include <QDir>
#include <QMainWindow>
#include <QPageRanges>
#include <QFileInfo>
#include <QPointer>
#include <QPrintEngine>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// Where Qt keeps a CUPS printer's job options (its private PPK_CupsOptions):
// name and value in turn, as the print dialog left them.
constexpr auto JobOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// What the print dialog left on printer, for a worksheet of n pages.
PrintChoice printChoiceOf(QPrinter &printer, int n)
{
    PrintChoice choice;
    if (printer.printRange() == QPrinter::PageRange) {
        // "1,3-5" as well as "from … to".
        for (const QPageRanges::Range &r : printer.pageRanges().toRangeList())
            for (qint64 p = r.from; p <= r.to && p <= n; ++p)
                choice.pages.append(p);
        if (choice.pages.isEmpty() && printer.fromPage() > 0) // past the end
            choice.pages.append(printer.fromPage());
    }
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    choice.lastPageFirst = printer.pageOrder() == QPrinter::LastPageFirst;
    choice.duplex = printer.duplex() != QPrinter::DuplexNone;
    choice.jobOptions = printer.printEngine()->property(JobOptionsKey).toStringList();
    return choice;
}

// The run lays out pages, copies and order itself, for a printer and a file
// alike; the printer is told to print each sheet it is sent once, in the
// order sent. Returns the job options that are left.
QStringList sendEachSheetOnce(QPrinter &printer)
{
    const QStringList options =
        jobOptionsForSheets(printer.printEngine()->property(JobOptionsKey).toStringList());
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setPageOrder(QPrinter::FirstPageFirst);
    printer.printEngine()->setProperty(JobOptionsKey, options);
    // Two-sided printing stays the printer's: the run leaves a blank back
    // between copies where one is needed.
    QStringList sent = options;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        sent << QStringLiteral("sides") << QStringLiteral("one-sided");
        break;
    case QPrinter::DuplexShortSide:
        sent << QStringLiteral("sides") << QStringLiteral("two-sided-short-edge");
        break;
    default:
        sent << QStringLiteral("sides") << QStringLiteral("two-sided-long-edge");
        break;
    }
    return sent;
}

// The CUPS queue a printer prints to; empty when it writes a file.
QString printQueueOf(const QPrinter &printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.outputFileName().isEmpty())
        return QString();
    return printer.printerName();
}

QString askPdfName(QWidget *owner, const QString &title)
{
    // Opens where something was saved last, named after the copybook.
    QString file = Dialogs::instance().saveFileName(owner, QStringLiteral("PDF (*.pdf)"),
                                                    SaveLocation::suggest(title + QStringLiteral(".pdf")));
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

// One save or print run of a tab. The worker thread draws with its own
// copy of the fonts, made and released here on the GUI thread; it reports
// through events queued to this object, which the destructor outwaits.
class WorksheetRun : public QObject
{
public:
    WorksheetRun(QWidget *tab, const StartupData &data, const WorksheetSettings &s,
                 const QString &title, QPushButton *printButton, QWidget *saveGroup)
        : QObject(tab), m_tab(tab), m_data(data), m_settings(s),
          m_printButton(printButton), m_saveGroup(saveGroup)
    {
        setObjectName(QStringLiteral("worksheetRun"));
        m_printButton->setEnabled(false);
        m_saveGroup->setEnabled(false);
        m_progress = new WorkProgress(title, tab->window());
        connect(m_progress, &WorkProgress::stopRequested, this, [this] { m_stop = true; });
    }

    ~WorksheetRun() override
    {
        // The program is closing (or the tab going): stop where the worker
        // is, and hand a print that already reached the printer over whole.
        m_stop = true;
        if (m_worker.joinable())
            m_worker.join();
        if (m_job && m_printing) {
            PrintResult failure;
            while (m_sheet < m_job->sheetCount() && m_job->printSheet(*m_fonts, m_settings, m_sheet, &failure))
                ++m_sheet;
            handOver(m_job->end());
        }
        m_fonts.reset();
        delete m_progress;
        enableButtons();
    }

    void savePictures(PageFormat format, int dpi, const QString &folder)
    {
        const QList<qint64> pages = allPages(m_data, m_settings);
        start(QStringLiteral("正在保存图片"), int(pages.size()), [=, this] {
            const SaveSummary sum = savePagePictures(*m_fonts, m_settings, pages, format, dpi, folder,
                                                     progressCallback(), stopCallback());
            post([this, sum, folder] { saved(sum, folder); });
        });
    }

    void savePdf(const QString &file, const QString &title)
    {
        const QList<qint64> pages = allPages(m_data, m_settings);
        start(QStringLiteral("正在保存 PDF"), int(pages.size()), [=, this] {
            const SaveSummary sum = writeWorksheetPdf(*m_fonts, m_settings, pages, file, title,
                                                      progressCallback(), stopCallback());
            post([this, sum, file] { saved(sum, file); });
        });
    }

    // queue: the CUPS queue the job goes to (empty when printing to a
    // file); the printer then writes the job into a spool file of this run,
    // handed to the queue here, so that a refusal is seen and reported.
    void print(std::unique_ptr<QPrinter> printer, const PrintRequest &request, const QString &queue,
               const QStringList &jobOptions)
    {
        m_printer = std::move(printer);
        m_queue = queue;
        m_jobOptions = jobOptions;
        if (!m_queue.isEmpty()) {
            m_spool = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kelvora-job-XXXXXX"));
            // Not ".pdf": the printer stays a CUPS printer that writes to a file.
            m_printer->setOutputFileName(m_spool->filePath(QStringLiteral("job.prn")));
        }
        m_job = std::make_unique<PrintRun>(request);
        // Each chosen page is made once, however many copies it has.
        QList<qint64> pages = printSheetOrder(worksheetPageCount(m_data, m_settings), request);
        pages.removeAll(0);
        std::sort(pages.begin(), pages.end());
        pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
        start(QStringLiteral("正在准备打印"), int(pages.size()), [this] {
            const PrintResult prepared =
                m_job->prepare(*m_fonts, m_settings, progressCallback(), stopCallback());
            post([this, prepared] { preparedForPrint(prepared); });
        });
    }

private:
    void start(const QString &lead, int total, std::function<void()> work)
    {
        m_lead = lead;
        m_progress->setPages(0, total, m_lead);
        m_progress->show();
        m_fonts = copyForWorker(m_data);
        m_worker = std::thread(std::move(work));
    }

    PageProgress progressCallback()
    {
        return [this](int done, int total) {
            post([this, done, total] {
                if (m_progress)
                    m_progress->setPages(done, total, m_lead);
            });
        };
    }
    StopRequested stopCallback()
    {
        return [this] { return m_stop.load(); };
    }
    // Runs f on the GUI thread, unless this run is gone by then.
    template<typename F>
    void post(F f)
    {
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
    }

    // The worker has ended; its fonts are this thread's now (the sheets of
    // a print are drawn with them: the window's own may be gone first when
    // the program closes).
    void workerDone() { m_worker.join(); }

    // where: the folder of the pictures or the PDF file.
    void saved(const SaveSummary &sum, const QString &where)
    {
        workerDone();
        finish();
        // The status line names where the pages went; the message keeps its words.
        auto *main = qobject_cast<QMainWindow *>(m_tab->window());
        const QString place = QDir::toNativeSeparators(QDir::cleanPath(where));
        if (sum.written > 0) {
            if (QFileInfo(where).isDir())
                SaveLocation::rememberFolder(where);
            else
                SaveLocation::rememberFile(where);
        }
        if (main && sum.written > 0)
            main->statusBar()->showMessage(
                sum.ok() ? QStringLiteral("字帖已保存：%1").arg(place)
                         : QStringLiteral("字帖已保存 %1 页：%2").arg(sum.written).arg(place));
        if (sum.noStrokeData)
            say(noStrokeDataText());
        say(sum.message());
    }

    void preparedForPrint(const PrintResult &prepared)
    {
        workerDone();
        PrintResult failure = prepared;
        if (prepared.ok() && m_job->begin(*m_printer, &failure)) {
            // The sheets are laid out where the printer lives, one per
            // event as the worker reads their pictures back, so the window
            // keeps painting between them. The job is the printer's now:
            // it can no longer be stopped.
            m_printing = true;
            m_sheet = 0;
            m_lead = QStringLiteral("正在送往打印机");
            if (m_progress) {
                m_progress->setStoppable(false);
                m_progress->setPages(0, m_job->sheetCount(), m_lead);
            }
            readSheet(0);
            return;
        }
        printed(failure);
    }

    // The worker reads the picture of sheet i back; the sheet is laid out
    // when it is there, while the worker reads the next one.
    void readSheet(int i)
    {
        m_worker = std::thread([this, i] {
            auto picture = std::make_shared<PrintRun::SheetPicture>(m_job->readSheet(i));
            post([this, picture] { printSheet(*picture); });
        });
    }

    void printSheet(const PrintRun::SheetPicture &picture)
    {
        m_worker.join();
        const int n = m_job->sheetCount();
        if (m_sheet + 1 < n)
            readSheet(m_sheet + 1);
        PrintResult failure;
        if (!m_job->printSheet(*m_fonts, m_settings, m_sheet, &failure, &picture)) {
            if (m_worker.joinable())
                m_worker.join();
            m_printing = false;
            m_job->end();
            printed(failure);
            return;
        }
        ++m_sheet;
        if (m_progress)
            m_progress->setPages(m_sheet, n, m_lead);
        if (m_sheet < n)
            return;
        m_printing = false;
        printed(handOver(m_job->end()));
    }

    // The finished job goes to its queue; the spool file goes either way.
    PrintResult handOver(PrintResult ended)
    {
        if (ended.ok() && !m_queue.isEmpty()) {
            QStringList options = m_jobOptions;
            options << QStringLiteral("media") << m_printer->pageLayout().pageSize().key();
            const QueueSubmission sent = submitPrintFile(m_queue, m_printer->outputFileName(),
                                                         m_printer->docName(), options);
            if (!sent.ok()) {
                // The queue's own state says more than the refusal does.
                const QString problem = printQueueProblem(m_queue);
                ended.status = PrintResult::Status::PrinterFailed;
                ended.error = !problem.isEmpty()
                                  ? problem
                                  : QStringLiteral("打印机“%1”没有接受打印任务（%2）").arg(m_queue, sent.error);
            }
            m_jobId = sent.jobId;
        }
        m_spool.reset();
        return ended;
    }

    void printed(const PrintResult &result)
    {
        finish();
        if (result.status == PrintResult::Status::PageFailed
            && result.page.status == PageStatus::NoStrokeData)
            say(noStrokeDataText());
        if (!result.ok()) {
            say(result.message());
            return;
        }
        if (m_printer->printerState() == QPrinter::Error) {
            say(QStringLiteral("打印失败：打印机报告了错误。"));
            return;
        }
        // Only what was handed over is reported as printed.
        if (auto *main = qobject_cast<QMainWindow *>(m_tab->window()))
            main->statusBar()->showMessage(
                m_queue.isEmpty()
                    ? QStringLiteral("已打印 %1 张到文件：%2")
                          .arg(result.sheets)
                          .arg(QDir::toNativeSeparators(m_printer->outputFileName()))
                    : QStringLiteral("已送往打印机“%1”：%2 张（任务 %3）")
                          .arg(m_queue)
                          .arg(result.sheets)
                          .arg(m_jobId));
    }

    // Back to idle before the closing message, which waits for the user.
    void finish()
    {
        m_job.reset();
        m_fonts.reset();
        delete m_progress;
        enableButtons();
        deleteLater();
    }

    void enableButtons()
    {
        if (m_printButton)
            m_printButton->setEnabled(true);
        if (m_saveGroup)
            m_saveGroup->setEnabled(true);
    }

    void say(const QString &text) { Dialogs::instance().message(m_tab->window(), text); }

    QWidget *m_tab;
    const StartupData &m_data;
    const WorksheetSettings m_settings;
    QPointer<QPushButton> m_printButton;
    QPointer<QWidget> m_saveGroup;
    QPointer<WorkProgress> m_progress;
    QString m_lead;
    std::unique_ptr<StartupData> m_fonts; // the worker's, then the sheets' of a print
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<QPrinter> m_printer;
    QString m_queue;
    QStringList m_jobOptions;
    std::unique_ptr<QTemporaryDir> m_spool;
    int m_jobId = 0;
    std::unique_ptr<PrintRun> m_job;
    bool m_printing = false; // sheets are going to the printer
    int m_sheet = 0;
};

} // namespace

bool worksheetRunActive(const QWidget *tab)
{
    return tab->findChild<QObject *>(QStringLiteral("worksheetRun"), Qt::FindDirectChildrenOnly) != nullptr;
}

void runWorksheetSave(QWidget *tab, const StartupData &data, const WorksheetSettings &s,
                      PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                      QWidget *saveGroup)
{
    if (s.text.isEmpty() || worksheetRunActive(tab))
        return;
    QWidget *owner = tab->window();
    if (format == PageFormat::Pdf) {
        const QString file = askPdfName(owner, title);
        if (file.isEmpty())
            return;
        auto *run = new WorksheetRun(tab, data, s, title, printButton, saveGroup);
        run->savePdf(file, title);
    } else {
        const QString folder = ChooseFolder(owner);
        if (folder.isEmpty())
            return;
        auto *run = new WorksheetRun(tab, data, s, title, printButton, saveGroup);
        run->savePictures(format, dpi, folder);
    }
}

void runWorksheetPrint(QWidget *tab, const StartupData &data, const WorksheetSettings &s,
                       PageFormat format, int dpi, const QString &title, QPushButton *printButton,
                       QWidget *saveGroup)
{
    if (s.text.isEmpty() || worksheetRunActive(tab))
        return;
    QWidget *owner = tab->window();
    printButton->setEnabled(false);
    saveGroup->setEnabled(false);
    const int n = worksheetPageCount(data, s);

    // The dialog comes first: nothing is drawn until the user has chosen.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(title);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0)));
    printer->setFullPage(true);
    printer->setFromTo(1, n);
    if (!Dialogs::instance().print(owner, *printer, n)) {
        printButton->setEnabled(true);
        saveGroup->setEnabled(true);
        return;
    }
    const PrintChoice choice = printChoiceOf(*printer, n);
    PrintRequest request = printRequestFor(choice);
    request.format = format;
    request.dpi = dpi;
    const QStringList jobOptions = sendEachSheetOnce(*printer);
    printer->setDocName(title);
    const QString queue = printQueueOf(*printer);
    const QString problem = queue.isEmpty() ? QString() : printQueueProblem(queue);
    if (!problem.isEmpty()) {
        Dialogs::instance().message(owner, QStringLiteral("打印失败：%1").arg(problem));
        printButton->setEnabled(true);
        saveGroup->setEnabled(true);
        return;
    }
    auto *run = new WorksheetRun(tab, data, s, title, printButton, saveGroup);
    run->print(std::move(printer), request, queue, jobOptions);
}
