// kelvora-copybook: writes copybook pages from the command line, the same
// pages as "保存" on the copybook tab: pictures 1.jpg … n.jpg, or one PDF.
#include "LetterText.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "PageWriter.h"
#include "CommandLine.h"
#include "StartupData.h"
#include "TextFilter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <cstdio>
#include <unistd.h>

namespace {

// The kinds of copybook: the --kind name, the sheet, and the title the PDF
// carries (the print job's title in the window).
struct KindInfo
{
    const char *name;
    WorksheetKind kind;
    const char *title;
};
const KindInfo Kinds[] = {
    {"chinese", WorksheetKind::Chinese, "语文汉字字帖"},
    {"letters", WorksheetKind::Letters, "英文字母字帖"},
    {"digits", WorksheetKind::Digits, "数学数字字帖"},
};

struct Options
{
    WorksheetSettings sheet;
    PageFormat format = PageFormat::Jpeg;
    int dpi = 300;
    int screenDpi = 0; // 0: the screen's
    QString pages;     // empty: all
    QString out;
    QString title;
};

Options parse(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Writes the pages of a copybook on A4 as the copybook tabs of Kelvora save them:\n"
        "Chinese characters (15 rows of 12 practice cells), letters on four guide lines or\n"
        "digits in squared cells; pictures 1.jpg … n.jpg in a folder, or one PDF.\n"
        "Exit status: 0 every page written, 1 some page not written, 2 a bad option."));
    addInfoOptions(p);
    const auto opt = [&p](const char *name, const char *help, const char *valueName = nullptr,
                          const char *def = nullptr) { addOption(p, name, help, valueName, def); };
    opt("kind", "Copybook kind: chinese (default), letters (four guide lines, A-Z and a-z) or "
                "digits (squared cells, 0-9).", "KIND", "chinese");
    opt("text", "The practice text, one character after another (letters: default the "
                "alphabet AaBb…Zz; digits: default 0123456789).", "TEXT");
    opt("from", "Read the practice text from this UTF-8 file (line breaks are dropped).", "FILE");
    opt("rows", "Rows per character, 1-15 (default 3).", "N", "3");
    opt("trace", "Tracing rows per character, 0-15 (default 1).", "N", "1");
    opt("grid", "Cell grid: none, tian (田字格, default) or mi (米字格).", "GRID", "tian");
    opt("style", "Grid lines: 0 solid outside and dashed inside (default), 1 all solid, "
                 "2 all dashed.", "N", "0");
    opt("no-model", "No model character in the first cell of each character.");
    opt("stroke-row", "Start each character with its stroke order (笔顺行): one cell per stroke, "
                      "the new stroke in the model colour over the earlier ones in the tracing "
                      "colour; more than 12 strokes take a second and third row.");
    opt("stroke-names", "With --stroke-row: each stroke's name (横, 横折钩 …) under its cell.");
    opt("pinyin", "Chinese: a row of four pinyin lines above each character's first row, its "
                  "reading above the model; each character takes one more row.");
    opt("no-page-numbers", "No page numbers.");
    opt("double-sided", "Even page numbers at the bottom left.");
    opt("model-color", "Model character and page number colour (default #000000).", "#RRGGBB",
        "#000000");
    opt("trace-color", "Tracing colour (default #C0C0C0).", "#RRGGBB", "#C0C0C0");
    opt("grid-color", "Grid colour, also the guide lines and cells of letters and digits "
                      "(default #808000).", "#RRGGBB", "#808000");
    opt("format", "bmp, jpg (default), png or pdf.", "TYPE", "jpg");
    opt("dpi", "Picture resolution: 96, 300 (default) or 600.", "DPI", "300");
    opt("pages", "Pages to write, e.g. 1-3,7 (default all).", "RANGE");
    const PointsPerPixelRange dpiRange = worksheetPointsPerPixelRange();
    const QByteArray screenDpiHelp =
        QStringLiteral("Resolution of the screen the sizes follow, %1-%2, the range that keeps "
                       "every kind of sheet on A4 (default: this machine's screen, brought into "
                       "the range; 96 without one).")
            .arg(dpiRange.lowestDpi()).arg(dpiRange.highestDpi()).toUtf8();
    opt("screen-dpi", screenDpiHelp.constData(), "N");
    opt("out", "Folder for the pictures (created when missing), or FILE.pdf for --format pdf.",
        "DIR|FILE.pdf");

    if (!p.parse(arguments))
        fail(BadUsage, p.errorText());
    answerInfoOptions(p);
    if (!p.positionalArguments().isEmpty())
        fail(BadUsage, QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().first()));

    Options o;
    WorksheetSettings &s = o.sheet;
    QStringList kindNames;
    for (const KindInfo &k : Kinds)
        kindNames << QLatin1String(k.name);
    const KindInfo &kind = Kinds[choice(p, QStringLiteral("kind"), kindNames)];
    s.kind = kind.kind;
    o.title = QString::fromUtf8(kind.title);
    const bool chinese = s.kind == WorksheetKind::Chinese;
    if (!chinese) {
        for (const char *only : {"grid", "style", "double-sided", "stroke-row"})
            if (p.isSet(QLatin1String(only)))
                fail(BadUsage, QStringLiteral("--%1 is for --kind chinese only").arg(QLatin1String(only)));
    }
    if (p.isSet(QStringLiteral("text")) && p.isSet(QStringLiteral("from")))
        fail(BadUsage, QStringLiteral("give exactly one of --text and --from"));
    if (chinese && !p.isSet(QStringLiteral("text")) && !p.isSet(QStringLiteral("from")))
        fail(BadUsage, QStringLiteral("give exactly one of --text and --from"));
    if (!p.isSet(QStringLiteral("text")) && !p.isSet(QStringLiteral("from"))) {
        s.text = defaultWorksheetText(s.kind);
    } else if (p.isSet(QStringLiteral("text"))) {
        s.text = p.value(QStringLiteral("text"));
    } else {
        QFile f(p.value(QStringLiteral("from")));
        if (!f.open(QIODevice::ReadOnly))
            fail(BadUsage, QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString()));
        s.text = QString::fromUtf8(f.readAll());
        s.text.remove(QRegularExpression(QStringLiteral("[\r\n]")));
    }
    if (s.text.isEmpty())
        fail(BadUsage, QStringLiteral("the practice text is empty"));
    const QString foreign = foreignCharacters(s.kind, s.text);
    if (!foreign.isEmpty()) {
        QStringList named;
        for (QChar c : foreign)
            named << (c.isPrint() && !c.isSpace() && !c.isSurrogate()
                          ? QStringLiteral("'%1'").arg(c)
                          : QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper());
        fail(BadUsage, QStringLiteral("--kind %1 takes only %2; the text also holds %3")
                           .arg(QLatin1String(kind.name),
                                s.kind == WorksheetKind::Letters ? QStringLiteral("the letters A-Z and a-z")
                                                                 : QStringLiteral("the digits 0-9"),
                                named.join(QStringLiteral(", "))));
    }
    s.rowsPerChar = intIn(p, QStringLiteral("rows"), 1, 15);
    s.tracingRows = intIn(p, QStringLiteral("trace"), 0, 15);
    s.frame.gridType = gridTypeFromIndex(choice(p, QStringLiteral("grid"),
                              {QStringLiteral("none"), QStringLiteral("tian"), QStringLiteral("mi")}));
    s.frame.lineStyle = lineStyleFromIndex(intIn(p, QStringLiteral("style"), 0, 2));
    s.model = !p.isSet(QStringLiteral("no-model"));
    s.strokeOrderRows = p.isSet(QStringLiteral("stroke-row"));
    s.strokeNames = p.isSet(QStringLiteral("stroke-names"));
    s.pinyinRows = p.isSet(QStringLiteral("pinyin"));
    s.pageNumbers = !p.isSet(QStringLiteral("no-page-numbers"));
    s.doubleSided = p.isSet(QStringLiteral("double-sided"));
    s.modelColor = colour(p, QStringLiteral("model-color"));
    s.traceColor = colour(p, QStringLiteral("trace-color"));
    s.frame.color = colour(p, QStringLiteral("grid-color"));
    o.format = PageFormat(choice(p, QStringLiteral("format"),
                                 {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                                  QStringLiteral("pdf")}));
    o.dpi = QList<int>{96, 300, 600}.at(
        choice(p, QStringLiteral("dpi"), {QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")}));
    if (p.isSet(QStringLiteral("screen-dpi"))) {
        bool number = false;
        const int dpi = p.value(QStringLiteral("screen-dpi")).toInt(&number);
        // Refused with the reason: outside the range some kind of sheet leaves A4.
        if (number && dpi > 0 && dpi < dpiRange.lowestDpi())
            fail(BadUsage, QStringLiteral("--screen-dpi %1 makes the cells too large: the sheets would run "
                                          "into their page numbers and off A4; give %2 to %3")
                               .arg(dpi).arg(dpiRange.lowestDpi()).arg(dpiRange.highestDpi()));
        if (number && dpi > dpiRange.highestDpi())
            fail(BadUsage, QStringLiteral("--screen-dpi %1 widens the letter sheet's margins: its last rows "
                                          "would run into the page number and off A4; give %2 to %3")
                               .arg(dpi).arg(dpiRange.lowestDpi()).arg(dpiRange.highestDpi()));
        o.screenDpi = intIn(p, QStringLiteral("screen-dpi"), dpiRange.lowestDpi(), dpiRange.highestDpi());
    }
    o.pages = p.value(QStringLiteral("pages"));
    o.out = p.value(QStringLiteral("out"));
    if (o.out.isEmpty())
        fail(BadUsage, QStringLiteral("--out is required"));
    const bool pdfName = o.out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (o.format == PageFormat::Pdf && !pdfName)
        fail(BadUsage, QStringLiteral("--format pdf writes one file: give --out FILE.pdf"));
    if (o.format != PageFormat::Pdf && pdfName)
        fail(BadUsage, QStringLiteral("--out %1 is a PDF file name: give --format pdf, or a folder")
                           .arg(o.out));
    return o;
}

// "1-3,7" → 1 2 3 7, within 1..n, in the order given, each page once.
QList<qint64> parsePages(const QString &range, int n)
{
    QList<qint64> pages;
    if (range.isEmpty()) {
        for (int p = 1; p <= n; ++p)
            pages.append(p);
        return pages;
    }
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+)\\s*)?$"));
    for (const QString &part : range.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = item.match(part);
        bool ok1 = false, ok2 = true;
        const qint64 from = m.hasMatch() ? m.captured(1).toLongLong(&ok1) : 0;
        const qint64 to = m.hasMatch() && m.hasCaptured(2) ? m.captured(2).toLongLong(&ok2) : from;
        if (!m.hasMatch() || !ok1 || !ok2)
            fail(BadUsage, QStringLiteral("--pages: '%1' is not a page or a range like 2-5").arg(part.trimmed()));
        if (from < 1 || to < from)
            fail(BadUsage, QStringLiteral("--pages: '%1' must run upward from page 1").arg(part.trimmed()));
        if (to > n)
            fail(BadUsage, QStringLiteral("--pages: '%1' goes past the last page, %2").arg(part.trimmed()).arg(n));
        for (qint64 p = from; p <= to; ++p)
            if (!pages.contains(p))
                pages.append(p);
    }
    return pages;
}

} // namespace

int main(int argc, char *argv[])
{
    setProgramName("kelvora-copybook");
    // The screen's resolution when a display answers; no window is shown,
    // and a display that does not answer falls back to none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "wayland;xcb;offscreen");
        else if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
        else
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
            qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    }
    // Qt sees no option of ours: it would take --style for its own.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QStringList arguments{app.arguments().constFirst()};
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    Options o = parse(arguments);

    double screenDpi = o.screenDpi;
    if (screenDpi <= 0)
        screenDpi = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                                                     : 96.0;
    StartupData data;
    loadStartupData(data, screenDpi);
    if (!data.PrivateFonts.hasFamily(data.CharFontFamily)
        || !data.PrivateFonts.hasFamily(QStringLiteral("AbcManuscript")))
        fail(WritesFailed, QStringLiteral("the embedded fonts could not be loaded"));
    // This machine's screen may be one the sheets cannot follow: the nearest
    // resolution that keeps them on A4 serves.
    o.sheet.pointsPerPixel = worksheetPointsPerPixelRange().clamp(data.PointsPerPixel);
    if (o.sheet.kind == WorksheetKind::Chinese) {
        // Letters, spaces, punctuation and emoji are left out, as on the tab.
        const FilteredText f = drawableCharacters(data, o.sheet.text);
        if (f.kept.isEmpty())
            fail(BadUsage, QStringLiteral("the text holds no character that can be written (%1)").arg(f.note()));
        if (f.anyLeft())
            std::fprintf(stderr, "%s\n", qPrintable(f.note()));
        o.sheet.text = f.kept;
    }

    const int n = worksheetPageCount(data, o.sheet);
    const QList<qint64> pages = parsePages(o.pages, n);
    const bool terminal = isatty(STDERR_FILENO);
    const PageProgress progress = [terminal](int done, int total) {
        if (terminal) {
            std::fprintf(stderr, "\r%d/%d pages", done, total);
            std::fflush(stderr);
        }
    };

    SaveSummary sum;
    if (o.format == PageFormat::Pdf) {
        const QString dir = QFileInfo(o.out).absolutePath();
        if (!QDir().mkpath(dir))
            fail(BadUsage, QStringLiteral("cannot create the folder %1").arg(dir));
        sum = writeWorksheetPdf(data, o.sheet, pages, o.out, o.title, progress);
    } else {
        checkFolder(o.out);
        sum = savePagePictures(data, o.sheet, pages, o.format, o.dpi, o.out, progress);
    }
    if (terminal)
        std::fputc('\n', stderr);
    if (!sum.ok())
        fail(WritesFailed, QStringLiteral("%1 of %2 pages not written; %3")
                               .arg(sum.failed).arg(pages.size())
                               .arg(pageFailureText(sum.firstFailedPage, sum.firstFailure)));
    std::fprintf(stderr, "%d %s written to %s\n", int(pages.size()), pages.size() == 1 ? "page" : "pages",
                 qPrintable(QDir::toNativeSeparators(
                     o.format == PageFormat::Pdf ? QFileInfo(o.out).absoluteFilePath()
                                                 : QDir(o.out).absolutePath())));
    data.release();
    return Ok;
}
