// kelvora-copybook: options, defaults, exit status, and the same pages as
// the copybook core draws.
#include "PageWriter.h"
#include "StartupData.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Text = QStringLiteral("春眠不觉晓处处闻啼鸟夜来风雨声花落知多少人口手足山水田土日月天地火");

struct Run
{
    int code = -1;
    QString err;
};

Run copybook(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_COPYBOOK), args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList entries(const QString &dir)
{
    QStringList e = QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
    std::sort(e.begin(), e.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return e;
}

} // namespace

class TestCopybook : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void help()
    {
        const Run r = copybook({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString out = QStringLiteral("--out=x");
        QTest::newRow("no text") << QStringList{out} << "exactly one of --text and --from";
        QTest::newRow("both") << QStringList{"--text=天", "--from=f", out} << "exactly one of --text and --from";
        QTest::newRow("empty text") << QStringList{"--text=", out} << "empty";
        QTest::newRow("missing file") << QStringList{"--from=/no/such/file", out} << "cannot read /no/such/file";
        QTest::newRow("rows 0") << QStringList{"--text=天", "--rows=0", out} << "--rows must be a whole number from 1 to 15, not '0'";
        QTest::newRow("rows 16") << QStringList{"--text=天", "--rows=16", out} << "from 1 to 15";
        QTest::newRow("trace -1") << QStringList{"--text=天", "--trace=-1", out} << "--trace must be a whole number from 0 to 15";
        QTest::newRow("grid") << QStringList{"--text=天", "--grid=square", out} << "--grid must be one of none|tian|mi, not 'square'";
        QTest::newRow("style") << QStringList{"--text=天", "--style=3", out} << "--style must be";
        QTest::newRow("colour") << QStringList{"--text=天", "--grid-color=olive", out} << "--grid-color must be a colour #RRGGBB, not 'olive'";
        QTest::newRow("format") << QStringList{"--text=天", "--format=gif", out} << "--format must be one of bmp|jpg|png|pdf";
        QTest::newRow("dpi") << QStringList{"--text=天", "--dpi=200", out} << "--dpi must be one of 96|300|600";
        QTest::newRow("screen dpi") << QStringList{"--text=天", "--screen-dpi=99999999999", out} << "--screen-dpi must be";
        QTest::newRow("pages text") << QStringList{"--text=天", "--pages=a", out} << "--pages: 'a' is not a page";
        QTest::newRow("pages past end") << QStringList{"--text=天", "--pages=1-3", out} << "goes past the last page, 1";
        QTest::newRow("pages 0") << QStringList{"--text=天", "--pages=0", out} << "must run upward from page 1";
        QTest::newRow("pages huge") << QStringList{"--text=天", "--pages=99999999999999999999", out} << "is not a page";
        QTest::newRow("no out") << QStringList{"--text=天"} << "--out is required";
        QTest::newRow("pdf to folder") << QStringList{"--text=天", "--format=pdf", out} << "--out FILE.pdf";
        QTest::newRow("pdf name, jpg") << QStringList{"--text=天", "--out=a.pdf"} << "give --format pdf";
        QTest::newRow("stroke rows, letters") << QStringList{"--kind=letters", "--stroke-row", out}
                                              << "--stroke-row is for --kind chinese only";
        QTest::newRow("kind") << QStringList{"--text=天", "--kind=hiragana", out} << "--kind must be one of";
        QTest::newRow("unknown option") << QStringList{"--text=天", "--colour=red", out} << "Unknown option";
        QTest::newRow("positional") << QStringList{"--text=天", out, "extra"} << "unexpected argument 'extra'";
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = copybook(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    // Defaults as the tab: 7 JPEG pages at 300 dpi named 1.jpg … 7.jpg.
    void defaults()
    {
        const QString out = tmp.filePath(QStringLiteral("defaults"));
        const Run r = copybook({QStringLiteral("--text"), Text, QStringLiteral("--out"), out});
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(out), (QStringList{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg"}));
        QImageReader reader(QDir(out).filePath("7.jpg"));
        QCOMPARE(reader.size(), QSize(2480, 3508));
    }

    // The command line draws what the core draws for the same settings.
    void samePagesAsTheCore()
    {
        const QString out = tmp.filePath(QStringLiteral("same"));
        QFile from(tmp.filePath(QStringLiteral("text.txt")));
        QVERIFY(from.open(QIODevice::WriteOnly));
        from.write(Text.left(10).toUtf8() + "\r\n" + Text.mid(10).toUtf8() + "\n");
        from.close();
        const Run r = copybook({"--from", from.fileName(), "--rows=4", "--trace=2", "--grid=mi", "--style=2",
                                "--no-model", "--double-sided", "--model-color=#102030", "--trace-color=#FF0000",
                                "--grid-color=#0000FF", "--format=png", "--dpi=96", "--pages=2,4-5", "--screen-dpi=96",
                                "--out", out});
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(out), (QStringList{"2.png", "4.png", "5.png"}));

        StartupData data;
        loadStartupData(data, 96);
        WorksheetSettings s;
        s.text = Text;
        s.rowsPerChar = 4;
        s.tracingRows = 2;
        s.frame.gridType = GridType::Mi;
        s.frame.lineStyle = LineStyle::AllDashed;
        s.frame.color = QColor(0, 0, 255);
        s.model = false;
        s.doubleSided = true;
        s.modelColor = QColor(0x10, 0x20, 0x30);
        s.traceColor = Qt::red;
        QImage expected;
        QVERIFY(renderPagePicture(data, s, 4, PageFormat::Png, 96, expected).ok());
        const QImage written(QDir(out).filePath("4.png"));
        QCOMPARE(written.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }

    // --stroke-row: 你 takes 1 + 15 rows and 爨 3 + 15, so 3 pages instead
    // of 2, each as the core draws it.
    void strokeRows()
    {
        const QString out = tmp.filePath(QStringLiteral("strokes"));
        const Run r = copybook({"--text=你爨", "--rows=15", "--stroke-row", "--format=png", "--dpi=96",
                                "--screen-dpi=96", "--out", out});
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(out), (QStringList{"1.png", "2.png", "3.png"}));

        StartupData data;
        loadStartupData(data, 96);
        WorksheetSettings s;
        s.text = QStringLiteral("你爨");
        s.rowsPerChar = 15;
        s.strokeOrderRows = true;
        QImage expected;
        QVERIFY(renderPagePicture(data, s, 2, PageFormat::Png, 96, expected).ok());
        const QImage written(QDir(out).filePath("2.png"));
        QCOMPARE(written.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }

    void pdfAndFailures()
    {
        const QString pdf = tmp.filePath(QStringLiteral("sub/book.pdf"));
        Run r = copybook({"--text", Text, "--format=pdf", "--out", pdf});
        QCOMPARE(r.code, 0);
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(int(f.readAll().count("/Type /Page\n")), 7);

        // What no cell can show is left out and named; the rest is written.
        const QString mixed = tmp.filePath(QStringLiteral("mixed"));
        r = copybook({"--text", QStringLiteral("Hi 你好！😀"), "--dpi=96", "--out", mixed});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QStringLiteral("已略去：H i ！ 😀 和 1 个空格")), qPrintable(r.err));
        QCOMPARE(entries(mixed), QStringList{"1.jpg"});
        r = copybook({"--text", QStringLiteral("Hi!"), "--out", mixed});
        QCOMPARE(r.code, 2);

        // A page that cannot be written: status 1, the page named, the others written.
        const QString out = tmp.filePath(QStringLiteral("fail"));
        QVERIFY(QDir().mkpath(out + QStringLiteral("/2.jpg")));
        r = copybook({"--text", Text, "--dpi=96", "--out", out});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("1 of 7 pages not written")), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("第 2 页")));
        QVERIFY(entries(out).contains("1.jpg") && entries(out).contains("3.jpg"));

        // A folder that cannot be made.
        r = copybook({"--text", Text, "--out", pdf + QStringLiteral("/pages")});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("cannot create the folder")));
    }
};

QTEST_MAIN(TestCopybook)
#include "tst_copybook.moc"
