#include "ExportEngine.h"
#include "StartupData.h"

#include <QDir>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

class TestExportEngine : public QObject
{
    Q_OBJECT
    StartupData data;

    ExportJob job(const QString &chars, const QString &folder, int jobs) const
    {
        ExportJob j;
        j.characters = chars;
        j.folder = folder;
        j.jobs = jobs;
        j.settings.metrics = sheetMetricsFromPixels(72, 10, 10, 8, 0.75);
        j.settings.type = PictureType::Png;
        j.settings.resolution = PictureResolution::Dpi96;
        return j;
    }

    static QStringList files(const QString &dir)
    {
        return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }

private slots:
    void initTestCase() { loadStartupData(data, 96, StartupTables); }

    void workers_data()
    {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("chars");
        QTest::addColumn<int>("expected");
        const int cores = qMax(1, QThread::idealThreadCount());
        QTest::newRow("0: one per core") << 0 << 100 << cores;
        QTest::newRow("-3: one per core") << -3 << 100 << cores;
        QTest::newRow("8 for 3 characters") << 8 << 3 << 3;
        QTest::newRow("8 for 1 character") << 8 << 1 << 1;
        QTest::newRow("5 for 100") << 5 << 100 << 5;
    }

    void workers()
    {
        QFETCH(int, asked);
        QFETCH(int, chars);
        QTEST(ExportEngine::workersFor(job(data.allSupported().left(chars), QString(), asked)), "expected");
    }

    void memoryInFlightIsBounded()
    {
        // At 600 dpi and a size of 900 pixels a 36-stroke picture needs about
        // 0.9 GB: no two may be in memory at once.
        ExportJob big = job(data.allSupported().left(50), QString(), 8);
        big.settings.metrics = sheetMetricsFromPixels(900, 10, 10, 8, 0.75);
        big.settings.resolution = PictureResolution::Dpi600;
        QCOMPARE(ExportEngine::workersFor(big), 1);
        big.settings.metrics = sheetMetricsFromPixels(200, 10, 10, 8, 0.75);
        big.settings.resolution = PictureResolution::Dpi96;
        QCOMPARE(ExportEngine::workersFor(big), 8);
    }

    void refusals()
    {
        ExportEngine engine;
        QTemporaryDir dir;
        QVERIFY(!engine.start(job(QString(), dir.path(), 2)));
        ExportJob j = job(QStringLiteral("你"), dir.path(), 2);
        j.settings.metrics.fsize = 0;
        QCOMPARE(ExportEngine::refusal(j.settings), PictureStatus::TooSmall);
        QVERIFY(!engine.start(j));
        j.settings.metrics = sheetMetricsFromPixels(72, 10, 10, 0, 0.75);
        QCOMPARE(ExportEngine::refusal(j.settings), PictureStatus::NoCellsPerRow);
        QVERIFY(!engine.start(j));
        QVERIFY(files(dir.path()).isEmpty());
        QVERIFY(!engine.isRunning());
    }

    void writesEveryPictureWithProgress()
    {
        QTemporaryDir dir;
        ExportEngine engine;
        // progressed comes from every worker at once: a signal spy's list
        // is not made for that, a counter is.
        std::atomic<int> progress{0};
        connect(&engine, &ExportEngine::progressed, &engine, [&progress] { ++progress; }, Qt::DirectConnection);
        QSignalSpy done(&engine, &ExportEngine::done);
        ExportJob j = job(QStringLiteral("你好一你爨大"), dir.path(), 3);
        j.namesByCode = true;
        QVERIFY(engine.start(j));
        QVERIFY(!engine.start(j)); // one job at a time
        QVERIFY(engine.wait(60000));
        QTRY_COMPARE(done.size(), 1);
        QCOMPARE(progress.load(), 6);
        const ExportSummary s = engine.summary();
        QCOMPARE(s.total, 6);
        QCOMPARE(s.started, 6);
        QCOMPARE(s.written, 6);
        QCOMPARE(s.failed, 0);
        QVERIFY(!s.cancelled);
        QCOMPARE(s.jobs, 3);
        QCOMPARE(files(dir.path()), (QStringList{QStringLiteral("4E00.png"), QStringLiteral("4F60.png"),
                                                 QStringLiteral("5927.png"), QStringLiteral("597D.png"),
                                                 QStringLiteral("7228.png")}));
        QCOMPARE(QImageReader(dir.filePath(QStringLiteral("5927.png"))).size(), QSize(294, 105)); // 大: 3 strokes
        // The engine can run again.
        QVERIFY(engine.start(job(QStringLiteral("大"), dir.filePath(QStringLiteral("again")), 1)));
        QVERIFY(engine.wait());
        QCOMPARE(engine.summary().written, 0); // the folder does not exist
        QCOMPARE(engine.summary().failed, 1);
    }

    void cancelFinishesThePicturesUnderWay()
    {
        QTemporaryDir dir;
        ExportEngine engine;
        connect(&engine, &ExportEngine::progressed, &engine, &ExportEngine::cancel, Qt::DirectConnection);
        QVERIFY(engine.start(job(data.allSupported(), dir.path(), 2)));
        QVERIFY(engine.wait(60000));
        const ExportSummary s = engine.summary();
        QVERIFY(s.cancelled);
        QVERIFY2(s.started >= 1 && s.started <= 2, qPrintable(QString::number(s.started)));
        QCOMPARE(s.written, s.started);
        QCOMPARE(files(dir.path()).size(), s.started);
    }

    void failuresNameTheEarliest()
    {
        QTemporaryDir dir;
        // Folders standing where the second and fourth pictures go.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("好.png"))));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("大.png"))));
        ExportEngine engine;
        QVERIFY(engine.start(job(QStringLiteral("你好一大"), dir.path(), 2)));
        QVERIFY(engine.wait(60000));
        const ExportSummary s = engine.summary();
        QCOMPARE(s.written, 2);
        QCOMPARE(s.failed, 2);
        QCOMPARE(s.first.index, 1);
        QCOMPARE(s.first.path, dir.filePath(QStringLiteral("好.png")));
        QVERIFY(!s.first.reason.isEmpty());
    }
};

QTEST_MAIN(TestExportEngine)
#include "tst_exportengine.moc"
