// The print path against a real print queue, for scripts/print-check.sh.
//
//   print_check (--queue NAME | --file OUT.pdf) [--pages 2,4-5 | --from A --to B]
//               [--set odd|even] [--copies N] [--collate 0|1] [--last-first] [--format jpg|pdf]
//     prints the default copybook (7 pages) the way the 打印 button does:
//     Qt's own print dialog, filled in through its widgets and accepted,
//     then the window's print run. Messages the user would see go to stderr.
//   print_check --identify FILE.pdf [--ink]
//     renders each page of FILE (pdftoppm) and names the copybook page it
//     shows, 0 for a blank sheet: "4 2 4". With --ink, a second line holds
//     each sheet's ink bounds in points from the top-left corner.

#include "Dialogs.h"
#include "PageModel.h"
#include "PageWriter.h"
#include "StartupData.h"
#include "WorksheetRuns.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

const QString Text = QStringLiteral("春眠不觉晓处处闻啼鸟夜来风雨声花落知多少人口手足山水田土日月天地火");

struct Choice
{
    QString queue, file, pages, set;
    QString duringRun; // a shell command run once the run has begun
    int from = 0, to = 0, copies = 1;
    bool collate = true, reverse = false;
};

void note(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// Answers the print dialog as a user would, through Qt's own dialog.
class DialogUser : public Dialogs
{
public:
    explicit DialogUser(const Choice &c) : m_choice(c) { Dialogs::setInstance(this); }
    ~DialogUser() override { Dialogs::setInstance(nullptr); }

    void message(QWidget *, const QString &text) override
    {
        messages << text;
        note(QStringLiteral("message: ") + text);
    }
    bool question(QWidget *, const QString &, const QString &) override { return false; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &, bool, const QString &) override { return {}; }
    bool chooseColor(QWidget *, QColor &) override { return false; }

    bool print(QWidget *parent, QPrinter &printer, int pageCount) override
    {
        // As the window's dialog is set up.
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, qMax(1, pageCount));
        dialog.setFromTo(1, qMax(1, pageCount));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.show();
        auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
        if (!printers)
            return fail("no printer list in the dialog");
        if (m_choice.file.isEmpty()) {
            const int i = printers->findText(m_choice.queue);
            if (i < 0)
                return fail("queue not in the dialog: " + m_choice.queue);
            printers->setCurrentIndex(i);
        } else {
            printers->setCurrentIndex(printers->count() - 1); // Print to File (PDF)
            widget<QLineEdit>(dialog, "filename")->setText(m_choice.file);
        }
        // Set after the printer: choosing one resets parts of the dialog.
        // Qt's dialog offers no page list when printing to a file: then
        // the list is set on the printer as the dialog sets it elsewhere.
        bool listOnPrinter = false;
        if (!m_choice.pages.isEmpty() && !use<QRadioButton>(dialog, "pagesRadioButton")) {
            listOnPrinter = true;
            note(QStringLiteral("the dialog offers no page list here: set on the printer"));
        } else if (!m_choice.pages.isEmpty()) {
            widget<QRadioButton>(dialog, "pagesRadioButton")->setChecked(true);
            widget<QLineEdit>(dialog, "pagesLineEdit")->setText(m_choice.pages);
        } else if (m_choice.from > 0) {
            widget<QRadioButton>(dialog, "printRange")->setChecked(true);
            widget<QSpinBox>(dialog, "from")->setValue(m_choice.from);
            widget<QSpinBox>(dialog, "to")->setValue(m_choice.to);
        }
        if (!m_choice.set.isEmpty()) {
            if (!use<QComboBox>(dialog, "pageSetCombo"))
                return fail("the dialog offers no odd/even choice for this printer");
            widget<QComboBox>(dialog, "pageSetCombo")->setCurrentIndex(m_choice.set == "odd" ? 1 : 2);
        }
        widget<QSpinBox>(dialog, "copies")->setValue(m_choice.copies);
        widget<QCheckBox>(dialog, "collate")->setChecked(m_choice.collate);
        widget<QCheckBox>(dialog, "reverse")->setChecked(m_choice.reverse);
        dialog.accept();
        if (listOnPrinter) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setPageRanges(QPageRanges::fromString(m_choice.pages));
        }
        note(QStringLiteral("the dialog left: range %1 pages %2 copies %3 collate %4 order %5 job options %6")
                 .arg(int(printer.printRange()))
                 .arg(printer.pageRanges().toString())
                 .arg(printer.copyCount())
                 .arg(printer.collateCopies())
                 .arg(int(printer.pageOrder()))
                 .arg(printer.printEngine()->property(QPrintEngine::PrintEnginePropertyKey(0xfe00))
                          .toStringList()
                          .join(QLatin1Char(' '))));
        // Runs from the event loop: after the checks that follow the
        // dialog, while the pages are being made.
        if (!m_choice.duringRun.isEmpty())
            QTimer::singleShot(0, [command = m_choice.duringRun] {
                QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command});
            });
        return dialog.result() == QDialog::Accepted;
    }

    QStringList messages;
    bool refused = false;

private:
    template<typename W>
    static W *widget(QPrintDialog &dialog, const char *name)
    {
        W *w = dialog.findChild<W *>(QLatin1String(name));
        if (!w) {
            note(QStringLiteral("the print dialog has no %1").arg(QLatin1String(name)));
            std::exit(3);
        }
        return w;
    }
    template<typename W>
    static bool use(QPrintDialog &dialog, const char *name)
    {
        W *w = widget<W>(dialog, name);
        return w->isEnabled() && !w->isHidden(); // the options part may be folded away
    }
    bool fail(const QString &why)
    {
        note(QStringLiteral("not offered: ") + why);
        refused = true;
        return false;
    }

    Choice m_choice;
};

constexpr int SheetDpi = 36;

// The ink's bounds on a grey picture; null when blank.
QRect inkBounds(const QImage &g)
{
    int x0 = g.width(), y0 = g.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x)
            if (g.constScanLine(y)[x] < 235) // the light grid lines too
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// A page as the sheets are compared with it: grey, from its ink's top-left
// corner on. Every page's grid starts there and is as wide, so a sheet
// printed smaller (inside a printer's margins) is brought back to it by
// its ink's width.
struct PageShape
{
    QImage rest;
    int inkWidth = 0;
};

PageShape pageShape(const QImage &picture)
{
    const QImage g = picture.convertToFormat(QImage::Format_Grayscale8);
    const QRect ink = inkBounds(g);
    if (ink.isNull())
        return {};
    return {g.copy(ink.left(), ink.top(), g.width() - ink.left(), g.height() - ink.top()), ink.width()};
}

// The page a rendered sheet shows: the nearest copybook page, 0 for blank.
int nearestPage(const QImage &sheet, const QList<PageShape> &pages)
{
    const PageShape shape = pageShape(sheet);
    if (shape.rest.isNull())
        return 0;
    int best = 0;
    double bestDiff = 1e300;
    for (int p = 1; p < pages.size(); ++p) {
        const PageShape &ref = pages[p];
        const double scale = double(shape.inkWidth) / ref.inkWidth;
        QImage part(qRound(ref.rest.width() * scale), qRound(ref.rest.height() * scale), QImage::Format_Grayscale8);
        part.fill(255);
        for (int y = 0; y < std::min(part.height(), shape.rest.height()); ++y)
            std::copy_n(shape.rest.constScanLine(y), std::min(part.width(), shape.rest.width()), part.scanLine(y));
        const QImage g = part.scaled(ref.rest.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double diff = 0;
        for (int y = 0; y < g.height(); ++y) {
            const uchar *a = g.constScanLine(y), *b = ref.rest.constScanLine(y);
            for (int x = 0; x < g.width(); ++x)
                diff += std::abs(int(a[x]) - int(b[x]));
        }
        if (diff < bestDiff) {
            bestDiff = diff;
            best = p;
        }
    }
    return best;
}

int identify(const StartupData &data, const WorksheetSettings &s, const QString &pdf, bool withInk)
{
    QTemporaryDir dir;
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(SheetDpi), QStringLiteral("-gray"), QStringLiteral("-png"),
                  pdf, dir.filePath(QStringLiteral("sheet"))});
    if (!render.waitForFinished(120000) || render.exitCode() != 0) {
        note(QStringLiteral("pdftoppm failed: ") + QString::fromLocal8Bit(render.readAllStandardError()));
        return 2;
    }
    QList<PageShape> pages{PageShape()}; // [0]: blank
    for (qint64 p = 1; p <= worksheetPageCount(data, s); ++p) {
        QImage img;
        renderPagePicture(data, s, p, PageFormat::Jpeg, 96, img);
        // At the sheets' resolution first, so both lose the same detail.
        pages << pageShape(img.scaled(img.size() * SheetDpi / 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QStringList found, ink;
    QStringList sheets = QDir(dir.path()).entryList({QStringLiteral("sheet*.png")}, QDir::Files, QDir::Name);
    for (const QString &f : sheets) {
        const QImage sheet = QImage(dir.filePath(f)).convertToFormat(QImage::Format_Grayscale8);
        found << QString::number(nearestPage(sheet, pages));
        // The ink's bounds in points from the top-left corner.
        const QRect b = inkBounds(sheet);
        const double k = 72.0 / SheetDpi;
        if (!b.isNull())
            ink << QStringLiteral("%1,%2,%3,%4")
                       .arg(qRound(b.left() * k))
                       .arg(qRound(b.top() * k))
                       .arg(qRound((b.right() + 1) * k))
                       .arg(qRound((b.bottom() + 1) * k));
    }
    std::printf("%s\n", qPrintable(found.join(QLatin1Char(' '))));
    if (withInk)
        std::printf("%s\n", qPrintable(ink.join(QLatin1Char(' '))));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser cl;
    cl.addOptions({{"queue", "CUPS queue", "name"},
                   {"file", "print to this PDF file", "file"},
                   {"pages", "page list, as typed in the dialog", "list"},
                   {"from", "first page", "n"},
                   {"to", "last page", "n"},
                   {"set", "odd or even", "set"},
                   {"copies", "copies", "n", "1"},
                   {"collate", "collate copies (1/0)", "b", "1"},
                   // Not "reverse": QApplication takes -reverse for itself.
                   {"last-first", "last page first"},
                   {"format", "jpg or pdf", "f", "jpg"},
                   {"during-run", "shell command run once the run has begun", "command"},
                   {"identify", "name the pages of a printed PDF", "file"},
                   {"ink", "with --identify: also each sheet's ink bounds in points"}});
    cl.process(app);

    StartupData data;
    loadStartupData(data, 96);
    WorksheetSettings s;
    s.text = Text;
    s.pointsPerPixel = data.PointsPerPixel;
    if (cl.isSet("identify"))
        return identify(data, s, cl.value("identify"), cl.isSet("ink"));

    Choice c;
    c.queue = cl.value("queue");
    c.file = cl.value("file");
    c.pages = cl.value("pages");
    c.from = cl.value("from").toInt();
    c.to = cl.value("to").toInt();
    c.set = cl.value("set");
    c.copies = cl.value("copies").toInt();
    c.collate = cl.value("collate") != QLatin1String("0");
    c.reverse = cl.isSet("last-first");
    c.duringRun = cl.value("during-run");
    DialogUser user(c);

    QMainWindow window;
    auto *tab = new QWidget;
    auto *printButton = new QPushButton(tab);
    auto *saveGroup = new QWidget(tab);
    window.setCentralWidget(tab);
    QObject::connect(window.statusBar(), &QStatusBar::messageChanged, [](const QString &m) {
        if (!m.isEmpty())
            note(QStringLiteral("status: ") + m);
    });
    const PageFormat format = cl.value("format") == QLatin1String("pdf") ? PageFormat::Pdf : PageFormat::Jpeg;
    runWorksheetPrint(tab, data, s, format, 96, QStringLiteral("语文汉字字帖"), printButton, saveGroup);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (!worksheetRunActive(tab))
            app.quit();
    });
    poll.start(20);
    app.exec();
    if (user.refused)
        return 4;
    return user.messages.isEmpty() ? 0 : 1;
}
