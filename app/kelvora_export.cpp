// kelvora-export: writes stroke-order pictures from the command line, the
// same pictures as "保存" and "批量导出" in the window, on every core.
#include "ExportEngine.h"
#include "CommandLine.h"
#include "StartupData.h"
#include "TextFilter.h"
#include "StrokePicture.h"
#include "WritingGif.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

struct Options
{
    QString out;
    QString text; // --chars or the contents of --from
    bool all = false;
    bool byCode = false;
    int screenDpi = 96;
    int jobs = 1;
    int sizePx = 72, hgapPx = 10, vgapPx = 10, perRow = 8;
    PictureSettings picture;
    bool animate = false; // the writing animation as <char>.gif instead of sheets
    WritingGifSettings gif;
};

Options parse(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Writes one stroke-order picture per character, like Kelvora's batch export.\n"
        "Exit status: 0 all written, 1 some pictures not written or nothing to export,\n"
        "2 a bad option or an unusable output folder."));
    addInfoOptions(p);
    const auto opt = [&p](const char *name, const char *help, const char *valueName = nullptr,
                          const char *def = nullptr) { addOption(p, name, help, valueName, def); };
    opt("out", "Folder to write to; created when missing.", "DIR");
    opt("chars", "Export these characters (unsupported ones are skipped).", "TEXT");
    opt("from", "Export the characters of this UTF-8 text file.", "FILE");
    opt("all", "Export all 6763 characters.");
    opt("format", "Picture type: bmp, jpg or png (default jpg), or a vector sheet: pdf or svg "
                  "(glyphs and grid as paths, sized in points).", "TYPE", "jpg");
    opt("dpi", "Resolution of bmp, jpg and png: 96, 300 or 600 (default 300); pdf and svg "
               "take none.", "DPI", "300");
    opt("size", "Character size in screen pixels (default 72).", "PIXELS", "72");
    opt("per-row", "Cells per row (default 8).", "N", "8");
    opt("hgap", "Gap between cells in screen pixels, 0-10 (default 10).", "N", "10");
    opt("vgap", "Gap between rows in screen pixels, 0-10 (default 10).", "N", "10");
    opt("split", "Cells: follow (one stroke each), stroke (strokes so far, default) or trace "
                 "(strokes so far over the rest in the tracing colour).", "MODE", "stroke");
    opt("grid", "Guide grid: none, tian (田字格, default) or mi (米字格).", "GRID", "tian");
    opt("style", "Grid lines: 0 solid outside and dashed inside (default), 1 all solid, "
                 "2 all dashed.", "N", "0");
    opt("char-color", "Colour of the strokes (default #000000).", "#RRGGBB", "#000000");
    opt("trace-color", "Tracing and outline colour (default #C0C0C0).", "#RRGGBB", "#C0C0C0");
    opt("frame-color", "Grid colour (default #808000).", "#RRGGBB", "#808000");
    opt("outline", "Draw the outline of the whole character in every cell.");
    opt("stroke-names", "Write each cell's stroke name (横, 横折钩 …) under the cell; the sheet "
                        "grows by the name line.");
    opt("name", "File names: char (the character, default) or code (its hex code, 4F60).",
        "HOW", "char");
    opt("screen-dpi", "Resolution of the screen the sizes refer to (default 96).", "N", "96");
    opt("animate", "Write the writing animation of each character as an animated GIF "
                   "(<char>.gif) instead of a stroke-order picture; uses --speed, --gif-side, "
                   "--char-color, --grid, --style and --frame-color.");
    opt("speed", "Animation speed: slow, medium (default) or fast.", "SPEED", "medium");
    opt("gif-side", "Side of the square animation in pixels, 41-4096 (default 300).", "PIXELS", "300");
    opt("jobs", "Pictures made at once, 1 or more (default: the number of cores); never more "
                "than there are characters.", "N");

    if (!p.parse(arguments))
        fail(BadUsage, p.errorText());
    answerInfoOptions(p);
    if (!p.positionalArguments().isEmpty())
        fail(BadUsage, QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().first()));

    Options o;
    o.out = p.value(QStringLiteral("out"));
    if (o.out.isEmpty())
        fail(BadUsage, QStringLiteral("--out DIR is required"));
    const int sources = int(p.isSet(QStringLiteral("chars"))) + int(p.isSet(QStringLiteral("from")))
                        + int(p.isSet(QStringLiteral("all")));
    if (sources != 1)
        fail(BadUsage, QStringLiteral("give exactly one of --chars, --from and --all"));
    o.all = p.isSet(QStringLiteral("all"));
    if (p.isSet(QStringLiteral("chars")))
        o.text = p.value(QStringLiteral("chars"));
    if (p.isSet(QStringLiteral("from"))) {
        QFile f(p.value(QStringLiteral("from")));
        if (!f.open(QIODevice::ReadOnly))
            fail(BadUsage, QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString()));
        o.text = QString::fromUtf8(f.readAll());
    }

    PictureSettings &s = o.picture;
    s.type = pictureTypeFromIndex(choice(p, QStringLiteral("format"),
                                         {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                                          QStringLiteral("pdf"), QStringLiteral("svg")}));
    s.resolution = pictureResolutionFromIndex(
        choice(p, QStringLiteral("dpi"), {QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")}));
    if (isVectorPicture(s.type) && p.isSet(QStringLiteral("dpi")))
        std::fprintf(stderr, "kelvora-export: --dpi ignored: %s sheets are sized in points\n",
                     qPrintable(p.value(QStringLiteral("format")).toLower()));
    o.sizePx = intIn(p, QStringLiteral("size"), 1, 100000);
    o.perRow = intIn(p, QStringLiteral("per-row"), 1, 100000);
    o.hgapPx = intIn(p, QStringLiteral("hgap"), 0, 10);
    o.vgapPx = intIn(p, QStringLiteral("vgap"), 0, 10);
    s.style.splitMode = splitModeFromIndex(choice(
        p, QStringLiteral("split"), {QStringLiteral("follow"), QStringLiteral("stroke"), QStringLiteral("trace")}));
    s.style.frame.gridType = gridTypeFromIndex(
        choice(p, QStringLiteral("grid"), {QStringLiteral("none"), QStringLiteral("tian"), QStringLiteral("mi")}));
    s.style.frame.lineStyle = lineStyleFromIndex(intIn(p, QStringLiteral("style"), 0, 2));
    s.style.charColor = colour(p, QStringLiteral("char-color"));
    s.style.traceColor = colour(p, QStringLiteral("trace-color"));
    s.style.frame.color = colour(p, QStringLiteral("frame-color"));
    s.style.outline = p.isSet(QStringLiteral("outline"));
    s.style.strokeNames = p.isSet(QStringLiteral("stroke-names"));
    o.byCode = choice(p, QStringLiteral("name"), {QStringLiteral("char"), QStringLiteral("code")}) == 1;
    o.screenDpi = intIn(p, QStringLiteral("screen-dpi"), 1, 10000);
    o.animate = p.isSet(QStringLiteral("animate"));
    static const RevealSpeed speeds[] = {RevealSpeed::Slow, RevealSpeed::Medium, RevealSpeed::Fast};
    o.gif.speed = speeds[choice(p, QStringLiteral("speed"),
                                {QStringLiteral("slow"), QStringLiteral("medium"), QStringLiteral("fast")})];
    o.gif.side = intIn(p, QStringLiteral("gif-side"), 41, 4096);
    o.gif.frame = s.style.frame;
    o.gif.charColor = s.style.charColor;
    o.jobs = p.isSet(QStringLiteral("jobs")) ? intIn(p, QStringLiteral("jobs"), 1, 1024)
                                             : qMax(1, QThread::idealThreadCount());

    return o;
}

// The animations, one character after another on this thread.
// What the input held that has no stroke-order picture, said once the run ends.
void reportLeftOut(const FilteredText &input)
{
    if (!input.anyLeft())
        return;
    std::fprintf(stderr, "%d %s of the input left out (no stroke data): %s\n", input.leftCount,
                 input.leftCount == 1 ? "character" : "characters", qPrintable(input.note(8)));
}

int writeAnimations(const Options &o, const QString &list)
{
    StartupData data;
    loadStartupData(data, o.screenDpi, StartupTables | StartupCharFont | StartupSegmentFont);
    const bool terminal = isatty(STDERR_FILENO);
    const QDir dir(o.out);
    int failed = 0;
    QString first;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < list.size(); ++i) {
        const QString ch = list.mid(i, 1);
        const QString file = dir.filePath((o.byCode ? HexCodeName(ch) : ch) + QStringLiteral(".gif"));
        const WritingGifResult r = writeWritingGif(data.PrivateFonts, data.CharFontFamily, data.SegmentFontFamily,
                                                   ch, data.directionCodes(ch), o.gif, file);
        if (!r.written && failed++ == 0)
            first = QStringLiteral("%1 (%2)").arg(file, r.error);
        if (terminal) {
            std::fprintf(stderr, "\r%d/%d animations", i + 1, int(list.size()));
            std::fflush(stderr);
        }
    }
    if (terminal)
        std::fputc('\n', stderr);
    if (failed > 0)
        fail(WritesFailed, QStringLiteral("%1 of %2 animations could not be written; the first: %3")
                               .arg(failed).arg(list.size()).arg(first));
    std::fprintf(stderr, "%d %s written to %s in %.1f s\n", int(list.size()),
                 list.size() == 1 ? "animation" : "animations",
                 qPrintable(QDir::toNativeSeparators(dir.absolutePath())), clock.elapsed() / 1000.0);
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    setProgramName("kelvora-export");
    // No window is shown: run without a display unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees no option of ours: it would take --style for its own.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QStringList arguments{app.arguments().constFirst()};
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Options o = parse(arguments);

    // The character list (and the stroke names) only: each worker's font is
    // loaded by the engine.
    StartupData data;
    loadStartupData(data, o.screenDpi,
                    StartupTables | (o.picture.style.strokeNames ? unsigned(StartupFacts) : 0u));
    if (data.allSupported().isEmpty())
        fail(WritesFailed, QStringLiteral("the embedded character data could not be loaded"));
    const FilteredText input = o.all ? FilteredText{data.allSupported(), {}, 0, 0} : drawableCharacters(data, o.text);
    const QString &list = input.kept;
    if (list.isEmpty())
        fail(WritesFailed, QStringLiteral("nothing to export: no supported character in the input"));

    if (o.animate) {
        checkFolder(o.out);
        const int status = writeAnimations(o, list);
        reportLeftOut(input);
        return status;
    }

    ExportJob job;
    job.characters = list;
    job.folder = o.out;
    job.namesByCode = o.byCode;
    job.jobs = o.jobs;
    job.settings = o.picture;
    job.settings.metrics = sheetMetricsFromPixels(o.sizePx, o.hgapPx, o.vgapPx, o.perRow, data.PointsPerPixel);
    job.settings.pointsPerPixel = data.PointsPerPixel;
    if (job.settings.style.strokeNames) {
        if (data.Facts.characterCount() == 0)
            fail(WritesFailed, QStringLiteral("the embedded stroke names could not be loaded"));
        job.settings.facts = &data.Facts;
    }

    // A size below 1 point would give pictures without a stroke.
    if (ExportEngine::refusal(job.settings) == PictureStatus::TooSmall)
        fail(BadUsage, QStringLiteral("--size %1 is below 1 point at %2 dpi: the pictures would have no "
                                      "strokes; give at least %3")
                           .arg(o.sizePx).arg(o.screenDpi).arg(int(std::ceil(o.screenDpi / 72.0))));

    checkFolder(o.out);

    ExportEngine engine;
    const int total = int(list.size());
    if (!engine.start(job))
        fail(BadUsage, QStringLiteral("these settings make no picture"));
    const bool terminal = isatty(STDERR_FILENO);
    while (!engine.wait(terminal ? 200 : 1000)) {
        if (terminal) {
            std::fprintf(stderr, "\r%d/%d pictures", engine.finished(), total);
            std::fflush(stderr);
        }
    }
    const ExportSummary sum = engine.summary();
    if (terminal)
        std::fprintf(stderr, "\r%d/%d pictures\n", total, total);
    if (o.jobs > sum.jobs)
        std::fprintf(stderr, "%d jobs asked for, %d used: %s\n", o.jobs, sum.jobs,
                     sum.jobs >= total ? "one per character" : "as many as fit the picture memory");

    if (sum.failed > 0)
        fail(WritesFailed, QStringLiteral("%1 of %2 pictures could not be written; the first: %3 (%4)")
                               .arg(sum.failed).arg(total).arg(sum.first.path, sum.first.reason));
    reportLeftOut(input);
    const QDir dir(o.out);
    std::fprintf(stderr, "%d %s written to %s in %.1f s (%.0f per second, %d %s)\n", total,
                 total == 1 ? "picture" : "pictures",
                 qPrintable(QDir::toNativeSeparators(dir.absolutePath())), sum.seconds,
                 sum.seconds > 0 ? total / sum.seconds : 0.0, sum.jobs, sum.jobs == 1 ? "job" : "jobs");
    return Ok;
}
