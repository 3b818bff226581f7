// Picture export against its encoder, in one run:
//   kelvora_bench_export [--limit N] [--jobs N] [--only jpg|png|jobs|dialog]
// 1. all characters (or the first N) with the default settings, JPEG and PNG
//    at 300 dpi, kelvora-export on all cores, against the encoder alone
//    re-encoding the written pictures on the same number of threads (JPEG:
//    at most 1.5 times), and PNG against Qt's writers (at most half the
//    time, files at most 10 % larger); drawing and encoding CPU per 1000;
// 2. 1500 characters (fixed random choice) at 1, 2 and 8 jobs, best of three
//    (long enough that the start-up of the program does not decide it);
// 3. the batch dialog against kelvora-export for the same 500 characters.
// Wall times depend on what else runs: the load average is printed with
// every figure, and the CPU seconds beside them are what a quiet machine
// would need.
#include "AllPicOut.h"
#include "Dialogs.h"
#include "DoDeze.h"
#include "ImageEncoder.h"
#include "MySelectFolder.h"
#include "RadioGroup.h"
#include "StartupData.h"
#include "StrokePicture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

QString load()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

double selfCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double childCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

struct Timing
{
    double wall = -1; // seconds
    double cpu = 0;   // CPU seconds of all threads
};

// kelvora-export writing chars into out with the default settings.
Timing runExporter(const QString &chars, const QString &format, int jobs, const QString &out,
                   bool qtWriters = false)
{
    QDir(out).removeRecursively();
    QTemporaryDir tmp;
    const QString list = tmp.filePath(QStringLiteral("list.txt"));
    QFile f(list);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(chars.toUtf8());
    f.close();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (qtWriters) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KELVORA_QT_IMAGE_WRITERS"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
    }
    Timing t;
    const double cpu0 = childCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(KELVORA_EXPORT), {QStringLiteral("--out"), out, QStringLiteral("--from"), list,
                                            QStringLiteral("--format"), format, QStringLiteral("--jobs"),
                                            QString::number(jobs)});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    t.wall = clock.nsecsElapsed() / 1e9;
    t.cpu = childCpuSeconds() - cpu0;
    return t;
}

// The encoder alone: every picture in folder decoded (untimed) and written
// again by the same encoder on jobs threads. wall is the encoding seconds
// spread over the threads (their sum / jobs), cpu their CPU seconds.
Timing encoderAlone(const QString &folder, const QString &format, int jobs)
{
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    ImageEncoder encoder;
    findImageEncoder(format == QLatin1String("png") ? QStringLiteral("image/png") : QStringLiteral("image/jpeg"),
                     &encoder);
    QTemporaryDir out;
    std::atomic<int> next{0};
    std::vector<double> wall(jobs, 0), cpu(jobs, 0);
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) {
        threads.emplace_back([&, j] {
            QElapsedTimer t;
            for (int i = next++; i < names.size(); i = next++) {
                QImage img = QImageReader(QDir(folder).filePath(names[i])).read();
                // What the exporter hands the encoder: white pictures opaque,
                // PNG with its alpha.
                img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                : QImage::Format_RGB32);
                const double c0 = threadCpuSeconds();
                t.start();
                saveImage(img, out.filePath(names[i]), encoder);
                wall[j] += t.nsecsElapsed() / 1e9;
                cpu[j] += threadCpuSeconds() - c0;
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    Timing r{0, 0};
    for (int j = 0; j < jobs; ++j) {
        r.wall += wall[j] / jobs;
        r.cpu += cpu[j];
    }
    return r;
}

qint64 folderBytes(const QString &folder)
{
    qint64 n = 0;
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
        n += f.size();
    return n;
}

// CPU seconds per 1000 pictures of drawing alone and of encoding alone
// (into memory-backed files under /dev/shm when there is one), on this thread.
std::pair<double, double> drawAndEncodeCost(const QString &chars, const QString &format)
{
    StartupData data;
    loadStartupData(data, 96, StartupCharFont);
    PictureSettings s;
    s.type = format == QLatin1String("png") ? PictureType::Png : PictureType::Jpeg;
    s.metrics = sheetMetricsFromPixels(72, 10, 10, 8, data.PointsPerPixel);
    s.pointsPerPixel = data.PointsPerPixel;
    ImageEncoder encoder;
    findImageEncoder(pictureMimeType(s.type), &encoder);
    QTemporaryDir out(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/kelvora-bench-XXXXXX")
                                                                  : QString());
    PictureCanvas canvas;
    double draw = 0, encode = 0;
    for (const QChar c : chars) {
        QImage picture;
        const double c0 = threadCpuSeconds();
        renderStrokePicture(data.PrivateFonts, data.CharFontFamily, QString(c), s, picture, &canvas);
        const double c1 = threadCpuSeconds();
        saveImage(picture, out.filePath(QStringLiteral("p") + encoder.extension), encoder);
        draw += c1 - c0;
        encode += threadCpuSeconds() - c1;
    }
    const double per = 1000.0 / qMax(1, int(chars.size()));
    return {draw * per, encode * per};
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT met";
}

// Dialogs that answer nothing: the batch dialog only reports its end.
class QuietDialogs : public Dialogs
{
public:
    void message(QWidget *, const QString &text) override { messages << text; }
    bool question(QWidget *, const QString &, const QString &) override { return true; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString chooseFolder(QWidget *, const QString &, bool, const QString &) override { return folder; }
    bool chooseColor(QWidget *, QColor &) override { return false; }
    QStringList messages;
    QString folder;
};

// The batch dialog exporting chars into out with the default settings:
// seconds from the click on 导出 to its end message.
Timing runBatchDialog(const QString &chars, const QString &out)
{
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QuietDialogs dialogs;
    Dialogs::setInstance(&dialogs);
    Timing seconds;
    {
        TForm1 main(96);
        TForm5 form(&main, &main);
        dialogs.folder = out;
        form.btn1->click();
        form.mmo1->setPlainText(chars);
        QElapsedTimer clock;
        const double cpu0 = selfCpuSeconds();
        clock.start();
        form.btn2->click();
        while (form.running())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // sleeps till the next event
        seconds.wall = clock.nsecsElapsed() / 1e9;
        seconds.cpu = selfCpuSeconds() - cpu0;
        if (dialogs.messages != QStringList{QStringLiteral("导出完毕！")})
            seconds.wall = -1;
    }
    Dialogs::setInstance(nullptr);
    return seconds;
}

QString randomChars(const QString &all, int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QString pool = all, out;
    for (int i = 0; i < n && !pool.isEmpty(); ++i) {
        const qsizetype k = qsizetype(rng.bounded(quint32(pool.size())));
        out += pool.at(k);
        pool.remove(k, 1);
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int limit = -1;
    int cores = qMax(1, QThread::idealThreadCount());
    QString only; // one part of the benchmark, while working on it
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--limit"))
            limit = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--only"))
            only = args[i + 1];
        else if (args[i] == QLatin1String("--jobs"))
            cores = qMax(1, args[i + 1].toInt());
    }
    StartupData data;
    loadStartupData(data, 96, StartupTables);
    const QString all = limit > 0 ? data.allSupported().left(limit) : data.allSupported();
    const int n = int(all.size());
    QTemporaryDir tmp;
    // Every run writes into a folder of its own, kept to the end: files
    // deleted just before a run make the file system search longer for free
    // inodes, which would be charged to whichever run came next.
    int folders = 0;
    auto fresh = [&tmp, &folders] { return tmp.filePath(QStringLiteral("out%1").arg(++folders)); };
    bool allMet = true;

    std::printf("Picture export benchmark: %d characters, default settings (size 72, 300 dpi), %d cores\n", n,
                cores);
    std::printf("(wall seconds depend on other work: load average shown; CPU seconds beside them)\n\n");
    auto runs = [&only](const char *part) { return only.isEmpty() || only == QLatin1String(part); };
    for (const char *format : {"jpg", "png"}) {
        if (!runs(format))
            continue;
        const double target = 1.5;
        const QString fmt = QLatin1String(format);
        const QString l0 = load();
        const QString out = fresh();
        const Timing exp = runExporter(all, fmt, cores, out);
        if (exp.wall < 0) {
            std::printf("%s: kelvora-export failed\n", format);
            return 1;
        }
        const Timing enc = encoderAlone(out, fmt, cores);
        const double ratio = exp.wall / enc.wall;
        const double cpuRatio = exp.cpu / enc.cpu;
        std::printf("%s, all %d, %d jobs: kelvora-export %.1f s (%.0f/s, CPU %.1f s), load %s\n", format, n, cores,
                    exp.wall, n / exp.wall, exp.cpu, qPrintable(l0));
        std::printf("%s: encoder alone %.1f s on %d threads (CPU %.1f s), load %s\n", format, enc.wall, cores,
                    enc.cpu, qPrintable(load()));
        const bool png = fmt == QLatin1String("png");
        std::printf("%s: export / encoder = %.2f wall, %.2f CPU; target <= %.1f%s: %s\n", format, ratio, cpuRatio,
                    target, png ? " (none set for PNG)" : "", png ? "-" : verdict(ratio <= target));
        if (!png)
            allMet = allMet && ratio <= target;
        const QString some = all.left(1000);
        const auto [draw, encode] = drawAndEncodeCost(some, fmt);
        std::printf("%s: per 1000 pictures, drawing %.2f s CPU, encoding and writing %.2f s CPU (one thread)\n",
                    format, draw, encode);
        if (png) {
            // Against Qt's writers, as the program wrote PNG before.
            const QString l1 = load();
            const QString qtOut = fresh();
            const Timing qt = runExporter(all, fmt, cores, qtOut, true);
            const double bytes = double(folderBytes(out)), qtBytes = double(folderBytes(qtOut));
            const bool timeMet = qt.wall > 0 && exp.wall <= 0.5 * qt.wall;
            const bool sizeMet = qtBytes > 0 && bytes <= 1.10 * qtBytes;
            std::printf("png: with Qt's writers %.1f s (CPU %.1f s), load %s; now / then = %.2f wall, %.2f CPU; "
                        "target <= 0.5: %s\n",
                        qt.wall, qt.cpu, qPrintable(l1), exp.wall / qt.wall, exp.cpu / qt.cpu, verdict(timeMet));
            std::printf("png: files %.1f MB, with Qt's writers %.1f MB: %+.1f %%; target <= +10 %%: %s\n",
                        bytes / 1e6, qtBytes / 1e6, 100.0 * (bytes / qtBytes - 1), verdict(sizeMet));
            allMet = allMet && timeMet && sizeMet;
        }
        std::printf("\n");
    }

    if (runs("jobs")) {
        const QString some = randomChars(data.allSupported(), qMin(1500, int(data.allSupported().size())), 12);
        double perSecond[3] = {0, 0, 0};
        double cpuSeconds[3] = {0, 0, 0};
        const int jobsList[3] = {1, 2, 8};
        for (int k = 0; k < 3; ++k) {
            const QString l0 = load();
            // Other work on the shared cores disturbs a run: the best of three.
            Timing t = runExporter(some, QStringLiteral("jpg"), jobsList[k], fresh());
            for (int again = 0; again < 2; ++again) {
                const Timing u = runExporter(some, QStringLiteral("jpg"), jobsList[k], fresh());
                if (u.wall > 0 && (t.wall < 0 || u.wall < t.wall))
                    t = u;
            }
            perSecond[k] = t.wall > 0 ? some.size() / t.wall : 0;
            cpuSeconds[k] = t.cpu;
            std::printf("jpg, %d random characters, %d job%s: %.1f s, %.0f/s (CPU %.1f s), load %s\n",
                        int(some.size()), jobsList[k], jobsList[k] == 1 ? "" : "s", t.wall, perSecond[k], t.cpu,
                        qPrintable(l0));
        }
        const double speedup = perSecond[1] / perSecond[0];
        std::printf("1 -> 2 jobs: %.2f x; target >= 1.8: %s\n", speedup, verdict(speedup >= 1.8));
        std::printf("  (from CPU seconds, what two free cores would give: %.2f x)\n",
                    cpuSeconds[0] > 0 && cpuSeconds[1] > 0 ? 2 * cpuSeconds[0] / cpuSeconds[1] : 0.0);
        std::printf("8 jobs against 2: %.2f x the time per character; target <= 1.0 (+5%% noise): %s\n\n",
                    perSecond[1] / perSecond[2], verdict(perSecond[2] >= perSecond[1] * 0.95));
        allMet = allMet && speedup >= 1.8 && perSecond[2] >= perSecond[1] * 0.95;
    }
    if (!runs("dialog")) {
        std::printf("load at the end %s; the targets measured %s\n", qPrintable(load()), allMet ? "met" : "NOT met");
        return 0;
    }

    const QString five = randomChars(data.allSupported(), qMin(500, int(data.allSupported().size())), 34);
    const QString l0 = load();
    const Timing dialog = runBatchDialog(five, fresh());
    const Timing cli = runExporter(five, QStringLiteral("jpg"), cores, fresh());
    const bool dialogMet = dialog.wall > 0 && dialog.wall <= 1.2 * cli.wall;
    std::printf("batch dialog, %d characters: %.1f s (CPU %.1f s); kelvora-export %.1f s (CPU %.1f s); "
                "dialog / export = %.2f wall, %.2f CPU; target <= 1.2: %s; load %s\n",
                int(five.size()), dialog.wall, dialog.cpu, cli.wall, cli.cpu, dialog.wall / cli.wall,
                dialog.cpu / cli.cpu, verdict(dialogMet), qPrintable(l0));
    allMet = allMet && dialogMet;
    std::printf("\nload at the end %s; every target %s\n", qPrintable(load()), allMet ? "met" : "NOT met");
    return 0;
}
