#include "AllPicOut.h"
#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "QueryState.h"
#include "RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QString err, out;
};

Run exportWith(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_EXPORT), args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void help()
    {
        const Run r = exportWith({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        for (const char *opt : {"--out", "--chars", "--from", "--all", "--format", "--dpi", "--size",
                                "--per-row", "--hgap", "--vgap", "--split", "--grid", "--style",
                                "--char-color", "--trace-color", "--frame-color", "--outline",
                                "--name", "--screen-dpi", "--jobs", "--animate", "--speed", "--gif-side"})
            QVERIFY2(r.out.contains(QLatin1String(opt)), opt);
    }

    void badOptionsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        const QString c = QStringLiteral("--chars=你");
        QTest::newRow("no out") << QStringList{c} << "--out";
        QTest::newRow("no source") << QStringList{} << "exactly one";
        QTest::newRow("two sources") << QStringList{c, QStringLiteral("--all")} << "exactly one";
        QTest::newRow("format") << QStringList{c, QStringLiteral("--format=gif")} << "--format";
        QTest::newRow("dpi") << QStringList{c, QStringLiteral("--dpi=200")} << "--dpi";
        QTest::newRow("size") << QStringList{c, QStringLiteral("--size=big")} << "--size";
        QTest::newRow("size below a point") << QStringList{c, QStringLiteral("--size=1")} << "below 1 point";
        QTest::newRow("per-row 0") << QStringList{c, QStringLiteral("--per-row=0")} << "--per-row";
        QTest::newRow("hgap") << QStringList{c, QStringLiteral("--hgap=11")} << "--hgap";
        QTest::newRow("vgap") << QStringList{c, QStringLiteral("--vgap=-1")} << "--vgap";
        QTest::newRow("split") << QStringList{c, QStringLiteral("--split=all")} << "--split";
        QTest::newRow("grid") << QStringList{c, QStringLiteral("--grid=square")} << "--grid";
        QTest::newRow("style") << QStringList{c, QStringLiteral("--style=3")} << "--style";
        QTest::newRow("colour") << QStringList{c, QStringLiteral("--char-color=red")} << "--char-color";
        QTest::newRow("name") << QStringList{c, QStringLiteral("--name=pinyin")} << "--name";
        QTest::newRow("screen") << QStringList{c, QStringLiteral("--screen-dpi=0")} << "--screen-dpi";
        QTest::newRow("jobs") << QStringList{c, QStringLiteral("--jobs=0")} << "--jobs";
        QTest::newRow("speed") << QStringList{c, QStringLiteral("--animate"), QStringLiteral("--speed=warp")} << "--speed";
        QTest::newRow("gif side") << QStringList{c, QStringLiteral("--animate"), QStringLiteral("--gif-side=40")}
                                  << "--gif-side";
        QTest::newRow("unknown") << QStringList{c, QStringLiteral("--colour")} << "colour";
        QTest::newRow("stray") << QStringList{c, QStringLiteral("extra")} << "extra";
        QTest::newRow("from") << QStringList{QStringLiteral("--from=/nonexistent/list.txt")} << "cannot read";
    }

    void badOptionsWriteNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        const QString out = tmp.filePath(QStringLiteral("bad-%1").arg(QTest::currentDataTag()));
        if (!QTest::currentDataTag() || QByteArray(QTest::currentDataTag()) != "no out")
            args.prepend(QStringLiteral("--out=") + out);
        const Run r = exportWith(args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(out));
    }

    void keepsSupportedCharactersInOrder()
    {
        const QString out = tmp.filePath(QStringLiteral("order"));
        const QString list = tmp.filePath(QStringLiteral("list.txt"));
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("你\r\nA 好,你\n").toUtf8());
        f.close();
        const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--from"), list,
                                  QStringLiteral("--name"), QStringLiteral("code"), QStringLiteral("--format"),
                                  QStringLiteral("png"), QStringLiteral("--dpi"), QStringLiteral("96")});
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(out), (QStringList{QStringLiteral("4F60.png"), QStringLiteral("597D.png")}));
        QVERIFY2(r.err.contains(QStringLiteral("3 pictures written")), qPrintable(r.err));
        QCOMPARE(QImageReader(out + QStringLiteral("/4F60.png")).format(), QByteArray("png"));
    }

    void pdfSheetsTakeNoDpi()
    {
        const QString out = tmp.filePath(QStringLiteral("pdf"));
        const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--chars"), QStringLiteral("你大"),
                                  QStringLiteral("--format=pdf"), QStringLiteral("--dpi=600"), QStringLiteral("--name=code")});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QStringLiteral("--dpi ignored")), qPrintable(r.err));
        QCOMPARE(entries(out), (QStringList{QStringLiteral("4F60.pdf"), QStringLiteral("5927.pdf")}));
        QVERIFY(contents(out + QStringLiteral("/5927.pdf")).contains("/MediaBox [0 0 221.000000 79.000000]"));
    }

    void animationsAsGif()
    {
        const QString out = tmp.filePath(QStringLiteral("gif"));
        const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--chars"), QStringLiteral("你A一"),
                                  QStringLiteral("--animate"), QStringLiteral("--name"), QStringLiteral("code")});
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(out), (QStringList{QStringLiteral("4E00.gif"), QStringLiteral("4F60.gif")}));
        QImageReader one(out + QStringLiteral("/4E00.gif")), ni(out + QStringLiteral("/4F60.gif"));
        QCOMPARE(ni.format(), QByteArray("gif"));
        QVERIFY(one.imageCount() < ni.imageCount());
        QCOMPARE(ni.read().size(), QSize(300, 300));
    }

    void nothingToExport()
    {
        const QString out = tmp.filePath(QStringLiteral("none"));
        const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--chars"), QStringLiteral("abc")});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("nothing to export")));
        QVERIFY(!QFileInfo::exists(out));
    }

    void unwritableFolder()
    {
        // Tests run as root, for whom a read-only folder is still writable:
        // a file stands where the folder should be.
        const QString blocker = tmp.filePath(QStringLiteral("blocker"));
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        for (const QString &out : {blocker, blocker + QStringLiteral("/sub")}) {
            const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--chars"), QStringLiteral("你")});
            QCOMPARE(r.code, 2);
            QVERIFY2(r.err.contains(QStringLiteral("folder")), qPrintable(r.err));
        }
        QCOMPARE(QFileInfo(blocker).size(), 0);
    }

    void failedWritesAreCountedAndNothingPartialStays()
    {
        // A folder named like one of the pictures cannot be replaced by it.
        const QString out = tmp.filePath(QStringLiteral("clash"));
        QVERIFY(QDir().mkpath(out + QStringLiteral("/597D.png")));
        const Run r = exportWith({QStringLiteral("--out"), out, QStringLiteral("--chars"), QStringLiteral("你好一"),
                                  QStringLiteral("--name=code"), QStringLiteral("--format=png"),
                                  QStringLiteral("--dpi=96"), QStringLiteral("--jobs=2")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("1 of 3 pictures could not be written")), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("597D.png")), qPrintable(r.err));
        QCOMPARE(entries(out), (QStringList{QStringLiteral("4E00.png"), QStringLiteral("4F60.png"),
                                            QStringLiteral("597D.png")}));
        QVERIFY(QFileInfo(out + QStringLiteral("/597D.png")).isDir());
    }

    void jobsDoNotChangeThePictures()
    {
        const QString chars = QStringLiteral("一你爨好大");
        QStringList outs;
        for (int jobs : {1, 3}) {
            outs << tmp.filePath(QStringLiteral("jobs%1").arg(jobs));
            QCOMPARE(exportWith({QStringLiteral("--out"), outs.last(), QStringLiteral("--chars"), chars,
                                 QStringLiteral("--jobs"), QString::number(jobs)})
                         .code,
                     0);
        }
        QCOMPARE(entries(outs[0]).size(), 5);
        QCOMPARE(entries(outs[0]), entries(outs[1]));
        for (const QString &name : entries(outs[0]))
            QCOMPARE(contents(outs[0] + QLatin1Char('/') + name), contents(outs[1] + QLatin1Char('/') + name));
    }

    // The exporter writes the window's pictures, byte for byte.
    void sameAsTheWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("screenDpi");
        QTest::newRow("defaults") << QStringList{} << 96;
        QTest::newRow("png 600 trace outline mi dashed")
            << QStringList{QStringLiteral("--format=png"), QStringLiteral("--dpi=600"), QStringLiteral("--split=trace"),
                           QStringLiteral("--outline"), QStringLiteral("--grid=mi"), QStringLiteral("--style=2"),
                           QStringLiteral("--size=50"), QStringLiteral("--per-row=5"), QStringLiteral("--hgap=3"),
                           QStringLiteral("--vgap=0"), QStringLiteral("--char-color=#1020C0"),
                           QStringLiteral("--trace-color=#F0A000"), QStringLiteral("--frame-color=#00FF00")}
            << 96;
        QTest::newRow("svg trace outline mi dashed")
            << QStringList{QStringLiteral("--format=svg"), QStringLiteral("--split=trace"), QStringLiteral("--outline"),
                           QStringLiteral("--grid=mi"), QStringLiteral("--style=2"), QStringLiteral("--size=50"),
                           QStringLiteral("--per-row=5"), QStringLiteral("--char-color=#1020C0")}
            << 96;
        QTest::newRow("bmp 96 follow none at 120")
            << QStringList{QStringLiteral("--format=bmp"), QStringLiteral("--dpi=96"), QStringLiteral("--split=follow"),
                           QStringLiteral("--grid=none"), QStringLiteral("--style=1"), QStringLiteral("--size=96"),
                           QStringLiteral("--per-row=10"), QStringLiteral("--screen-dpi=120")}
            << 120;
    }

    void sameAsTheWindow()
    {
        QFETCH(QStringList, args);
        QFETCH(int, screenDpi);
        resetQueryState();
        TForm1 form(screenDpi);
        // The window's controls set as the options say.
        auto value = [&args](const char *name, const QString &fallback) {
            const QString prefix = QStringLiteral("--%1=").arg(QLatin1String(name));
            for (const QString &a : args)
                if (a.startsWith(prefix))
                    return a.mid(prefix.size());
            return fallback;
        };
        const QStringList types{QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                                QStringLiteral("pdf"), QStringLiteral("svg")};
        form.rg2->setItemIndex(int(types.indexOf(value("format", QStringLiteral("jpg")))));
        form.rg3->setItemIndex(
            int(QStringList{QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")}.indexOf(
                value("dpi", QStringLiteral("300")))));
        form.rg1->setItemIndex(int(QStringList{QStringLiteral("follow"), QStringLiteral("stroke"), QStringLiteral("trace")}
                                       .indexOf(value("split", QStringLiteral("stroke")))));
        form.cbb1->setCurrentIndex(int(QStringList{QStringLiteral("none"), QStringLiteral("tian"), QStringLiteral("mi")}
                                           .indexOf(value("grid", QStringLiteral("tian")))));
        form.cbb2->setCurrentIndex(value("style", QStringLiteral("0")).toInt());
        form.cbb5->setEditText(value("size", QStringLiteral("72")));
        form.cbb6->setEditText(value("per-row", QStringLiteral("8")));
        form.cbb3->setCurrentIndex(value("hgap", QStringLiteral("10")).toInt());
        form.cbb4->setCurrentIndex(value("vgap", QStringLiteral("10")).toInt());
        form.pnl3->setColor(QColor(value("char-color", QStringLiteral("#000000"))));
        form.pnl4->setColor(QColor(value("trace-color", QStringLiteral("#C0C0C0"))));
        form.pnl5->setColor(QColor(value("frame-color", QStringLiteral("#808000"))));
        form.chk2->setChecked(args.contains(QStringLiteral("--outline")));

        const QString chars = QStringLiteral("一你爨");
        const QString ext = QLatin1Char('.') + value("format", QStringLiteral("jpg"));
        const QString window = tmp.filePath(QStringLiteral("window-%1").arg(QTest::currentDataTag()));
        const QString cli = tmp.filePath(QStringLiteral("cli-%1").arg(QTest::currentDataTag()));
        QVERIFY(QDir().mkpath(window));
        for (const QChar c : chars)
            QVERIFY(form.SaveDoDeze(QString(c), window + QLatin1Char('/') + c + ext));
        const Run r = exportWith(QStringList{QStringLiteral("--out"), cli, QStringLiteral("--chars"), chars} + args);
        QCOMPARE(r.code, 0);
        QCOMPARE(entries(cli), entries(window));
        for (const QChar c : chars) {
            const QString name = QString(c) + ext;
            if (ext != QStringLiteral(".svg")) {
                const QImage a = QImageReader(window + QLatin1Char('/') + name).read();
                const QImage b = QImageReader(cli + QLatin1Char('/') + name).read();
                QVERIFY(!a.isNull());
                QCOMPARE(a.size(), b.size());
                QCOMPARE(a.dotsPerMeterX(), b.dotsPerMeterX());
                QVERIFY(a == b);
            }
            QVERIFY(!contents(window + QLatin1Char('/') + name).isEmpty());
            QCOMPARE(contents(cli + QLatin1Char('/') + name), contents(window + QLatin1Char('/') + name));
        }
    }

    // 保存, 批量导出 and kelvora-export write the same 300 dpi pictures of 你
    // and 爨, byte for byte (KELVORA_KEEP_PICTURES=dir keeps them there).
    void windowBatchDialogAndExporterAgree()
    {
        resetQueryState();
        FakeDialogs dialogs;
        TForm1 form(96);
        TForm5 batch(&form, &form);
        const QString chars = QStringLiteral("你爨");
        const QString window = tmp.filePath(QStringLiteral("agree-window"));
        const QString dialog = tmp.filePath(QStringLiteral("agree-dialog"));
        const QString cli = tmp.filePath(QStringLiteral("agree-cli"));
        for (const QString &dir : {window, dialog})
            QVERIFY(QDir().mkpath(dir));
        for (const QChar c : chars) {
            form.edt1->setText(QString(c));
            dialogs.saveName = window + QLatin1Char('/') + c;
            form.btn2->click();
        }
        dialogs.folder = dialog;
        batch.btn1->click();
        batch.mmo1->setPlainText(chars);
        batch.btn2->click();
        QTRY_VERIFY_WITH_TIMEOUT(!batch.running(), 60000);
        QCOMPARE(exportWith({QStringLiteral("--out"), cli, QStringLiteral("--chars"), chars}).code, 0);
        const QStringList names{QStringLiteral("你.jpg"), QStringLiteral("爨.jpg")};
        for (const QString &dir : {window, dialog, cli})
            QCOMPARE(entries(dir), names);
        for (const QString &name : names) {
            const QByteArray bytes = contents(window + QLatin1Char('/') + name);
            QCOMPARE(QImageReader(window + QLatin1Char('/') + name).size().width(), name.startsWith(QStringLiteral("你")) ? 2104 : 2400);
            QCOMPARE(contents(dialog + QLatin1Char('/') + name), bytes);
            QCOMPARE(contents(cli + QLatin1Char('/') + name), bytes);
        }
        const QString keep = qEnvironmentVariable("KELVORA_KEEP_PICTURES");
        if (!keep.isEmpty())
            for (const QString &dir : {window, dialog, cli})
                for (const QString &name : names) {
                    QDir().mkpath(keep);
                    QFile::copy(dir + QLatin1Char('/') + name,
                                keep + QLatin1Char('/') + QFileInfo(dir).fileName() + QLatin1Char('-') + name);
                }
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
