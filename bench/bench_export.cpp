// Benchmark of kelvora-export: all characters with the default settings as
// JPEG and as PNG, with one job and with all, against the time the encoder
// alone takes for the same pictures.
//   kelvora_bench_export [--limit N] [--jobs N]
#include "ImageEncoder.h"
#include "StartupData.h"
#include "StrokePicture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Wall seconds of one kelvora-export run, or -1 when it failed.
double runExporter(const QString &chars, const QString &format, int jobs, const QString &out)
{
    QDir(out).removeRecursively();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(KELVORA_EXPORT),
            {QStringLiteral("--out"), out, QStringLiteral("--chars"), chars, QStringLiteral("--format"),
             format, QStringLiteral("--jobs"), QString::number(jobs)});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e9;
}

struct Split
{
    double wall = 0;    // seconds for the whole pass
    double encode = 0;  // the slowest worker's seconds in the encoder
    double render = 0;  // the slowest worker's seconds rendering
};

// Renders and encodes every picture on jobs threads, timing the two apart.
Split renderAndEncode(const QString &chars, int type, int jobs, const QString &out)
{
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    PictureSettings s;
    s.type = type;
    ImageEncoder encoder;
    findImageEncoder(pictureMimeType(type), &encoder);
    std::atomic<int> next{0};
    std::vector<double> enc(jobs, 0), ren(jobs, 0);
    QElapsedTimer wall;
    wall.start();
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) {
        threads.emplace_back([&, j] {
            StartupData data;
            loadStartupData(data, 96);
            PictureSettings mine = s;
            mine.pointsPerPixel = data.PointsPerPixel;
            QElapsedTimer t;
            for (int i = next++; i < chars.size(); i = next++) {
                QImage image;
                t.start();
                renderStrokePicture(data, chars.mid(i, 1), mine, image);
                ren[j] += t.nsecsElapsed() / 1e9;
                t.start();
                saveImage(image, QDir(out).filePath(HexCodeName(chars.mid(i, 1)) + pictureExtension(type)),
                          encoder);
                enc[j] += t.nsecsElapsed() / 1e9;
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    Split r;
    r.wall = wall.nsecsElapsed() / 1e9;
    for (int j = 0; j < jobs; ++j) {
        r.encode = qMax(r.encode, enc[j]);
        r.render = qMax(r.render, ren[j]);
    }
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    int limit = -1;
    int all = qMax(1, QThread::idealThreadCount());
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--limit"))
            limit = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--jobs"))
            all = qMax(1, args[i + 1].toInt());
    }
    StartupData data;
    loadStartupData(data, 96);
    const QString chars = limit > 0 ? data.allSupported().left(limit) : data.allSupported();
    const int n = int(chars.size());
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("out"));

    std::printf("kelvora-export, %d characters, default settings (size 72, 300 dpi), load %s\n", n,
                qPrintable(loadAverage()));
    for (const auto &[format, type] : {std::pair{"jpg", 1}, std::pair{"png", 2}}) {
        const double one = runExporter(chars, QLatin1String(format), 1, out);
        const double many = runExporter(chars, QLatin1String(format), all, out);
        if (one < 0 || many < 0) {
            std::printf("%s: kelvora-export failed\n", format);
            return 1;
        }
        const Split split = renderAndEncode(chars, type, all, out);
        std::printf("%s: 1 job %.1f s (%.0f chars/s); %d jobs %.1f s (%.0f chars/s)\n", format, one,
                    n / one, all, many, n / many);
        std::printf("%s: encoder alone on %d jobs %.1f s, rendering %.1f s; export / encoder = %.2f\n",
                    format, all, split.encode, split.render, many / split.encode);
        if (type == 1)
            std::printf("jpg: target >= 150 chars/s with all jobs: %s\n", n / many >= 150 ? "met" : "NOT met");
        else
            std::printf("png: target export <= 1.3 x encoder alone: %s\n",
                        many <= 1.3 * split.encode ? "met" : "NOT met");
    }
    std::printf("load at the end %s\n", qPrintable(loadAverage()));
    return 0;
}
