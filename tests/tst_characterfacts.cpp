#include "CharacterFacts.h"
#include "StartupData.h"

#include <QtTest>

namespace {

// The 32 names of the school list of strokes.
const QStringList StrokeNames = QStringLiteral(
    "横 竖 撇 点 捺 提 横折 横撇 横钩 横折钩 横折提 横折弯 横折折 横斜钩 横折弯钩 横撇弯钩 横折折撇 "
    "横折折折钩 横折折折 竖提 竖折 竖钩 竖弯 竖弯钩 竖折撇 竖折折 竖折折钩 撇点 撇折 斜钩 弯钩 卧钩")
                                    .split(QLatin1Char(' '));

struct Run
{
    int code = -1;
    QString out, err;
};

Run info(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_INFO), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QByteArray Good = "KVCF 1\n横 竖 撇\n独体 左右\n"
                        "十\tshí\t十\t0\tab\n"
                        "川\tchuān\t川\t0\tcbb\n";

} // namespace

class TestCharacterFacts : public QObject
{
    Q_OBJECT

    StartupData data;

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96, StartupTables | StartupCenterLines | StartupFacts);
        QCOMPARE(data.Facts.characterCount(), 6763);
    }

    // Every character: its common reading is Unihan's, one name per stroke of
    // the stroke font (the centre-line table holds one line per contour),
    // each name one of the 32, a radical and a structure.
    void everyCharacter()
    {
        QFile f(QStringLiteral(KELVORA_MANDARIN));
        QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
        QHash<uint, QString> mandarin;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() == 3)
                mandarin.insert(parts[0].mid(2).toUInt(nullptr, 16),
                                QString::fromUtf8(parts[2]).split(QLatin1Char(' ')).first());
        }
        const QStringList structures = QStringLiteral("独体 左右 上下 左中右 上中下 半包围 全包围 品字").split(QLatin1Char(' '));
        const QString all = data.allSupported();
        QCOMPARE(all.size(), 6763);
        for (QChar c : all) {
            const CharacterFacts f = data.Facts.facts(c);
            const QString at = QString(c);
            QVERIFY2(f.isValid(), qPrintable(at));
            QVERIFY2(mandarin.contains(c.unicode()), qPrintable(at));
            QCOMPARE(f.readings.first(), mandarin.value(c.unicode()));
            QStringList once = f.readings;
            QCOMPARE(once.removeDuplicates(), 0);
            QCOMPARE(f.strokeNames.size(), qsizetype(data.CenterLines.strokeCount(c)));
            for (const QString &n : f.strokeNames)
                QVERIFY2(StrokeNames.contains(n), qPrintable(at + n));
            QVERIFY2(!f.radical.isEmpty() && structures.contains(f.structure), qPrintable(at));
        }
    }

    void character_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("radical");
        QTest::addColumn<QString>("structure");
        QTest::addColumn<QString>("names");
        // Polyphones: every reading, Unihan's common one first.
        QTest::newRow("长") << "长" << "zhǎng cháng" << "长" << "独体" << "撇 横 竖提 捺";
        QTest::newRow("行") << "行" << "xíng háng hàng xìng héng" << "行" << "左右" << "撇 撇 竖 横 横 竖钩";
        QTest::newRow("乐") << "乐" << "lè yuè" << "丿" << "独体" << "撇 竖折 竖钩 点 点";
        QTest::newRow("重") << "重" << "zhòng chóng" << "里" << "独体" << "";
        QTest::newRow("还") << "还" << "hái huán" << "辶" << "半包围" << "";
        // Stroke names teachers say aloud, with the turning strokes the
        // independent lists lack (竖折, 横折弯钩).
        QTest::newRow("山") << "山" << "shān" << "山" << "独体" << "竖 竖折 竖";
        QTest::newRow("九") << "九" << "jiǔ" << "丿" << "独体" << "撇 横折弯钩";
        QTest::newRow("马") << "马" << "mǎ" << "马" << "独体" << "横折 竖折折钩 横";
        QTest::newRow("女") << "女" << "nǚ" << "女" << "独体" << "撇点 撇 横";
        QTest::newRow("子") << "子" << "" << "子" << "独体" << "横撇 弯钩 横";
        QTest::newRow("心") << "心" << "xīn" << "心" << "独体" << "点 卧钩 点 点";
        // Radicals and structures.
        QTest::newRow("你") << "你" << "nǐ" << "亻" << "左右" << "撇 竖 撇 横钩 竖钩 点 点";
        QTest::newRow("国") << "国" << "" << "囗" << "全包围" << "";
        QTest::newRow("品") << "品" << "" << "口" << "品字" << "";
        QTest::newRow("树") << "树" << "" << "木" << "左中右" << "";
        QTest::newRow("想") << "想" << "" << "心" << "上下" << "";
        // Left out by the radical source, filled in from Unihan and the strokes.
        QTest::newRow("仇") << "仇" << "" << "亻" << "左右" << "";
    }

    void character()
    {
        QFETCH(QString, ch);
        QFETCH(QString, readings);
        QFETCH(QString, radical);
        QFETCH(QString, structure);
        QFETCH(QString, names);
        const CharacterFacts f = data.Facts.facts(ch.at(0));
        if (!readings.isEmpty())
            QCOMPARE(f.readings.join(QLatin1Char(' ')), readings);
        QCOMPARE(f.radical, radical);
        QCOMPARE(f.structure, structure);
        if (!names.isEmpty())
            QCOMPARE(f.strokeNames.join(QLatin1Char(' ')), names);
    }

    // A damaged table is refused whole and leaves nothing behind.
    void damagedTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("good") << Good << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("header only") << QByteArray("KVCF 1\n横\n独体\n") << false;
        QTest::newRow("other version") << QByteArray(Good).replace("KVCF 1", "KVCF 2") << false;
        QTest::newRow("cut in a line") << Good.left(Good.size() - 5) << false;
        QTest::newRow("bad utf-8") << QByteArray(Good).replace("shí", "sh\xff\xfe") << false;
        QTest::newRow("name code past the list") << QByteArray(Good).replace("cbb", "cbd") << false;
        QTest::newRow("structure past the list") << QByteArray(Good).replace("川\t0", "川\t7") << false;
        QTest::newRow("no reading") << QByteArray(Good).replace("chuān", "") << false;
        QTest::newRow("two characters") << QByteArray(Good).replace("十\tshí", "十十\tshí") << false;
        QTest::newRow("twice the same") << QByteArray(Good).replace("川\tchuān", "十\tchuān") << false;
        QTest::newRow("no strokes") << QByteArray(Good).replace("\tab\n", "\t\n") << false;
        QTest::newRow("nul bytes") << QByteArray(200, '\0') << false;
    }

    void damagedTable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        CharacterFactsTable t;
        QVERIFY(t.load(Good)); // a refused table must not keep the old one
        QCOMPARE(t.load(bytes), ok);
        QCOMPARE(t.characterCount(), ok ? 2 : 0);
        const CharacterFacts f = t.facts(QChar(0x5DDD)); // 川
        QCOMPARE(f.isValid(), ok);
        if (ok)
            QCOMPARE(f.strokeNames, QStringList({"撇", "竖", "竖"}));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::newRow("two characters") << QStringList{"山 九"} << 0
                                        << "山\tshān\t山\t独体\t3\t竖 竖折 竖\n"
                                           "九\tjiǔ\t丿\t独体\t2\t撇 横折弯钩\n";
        QTest::newRow("polyphone") << QStringList{"乐"} << 0 << "乐\tlè/yuè\t丿\t独体\t5\t撇 竖折 竖钩 点 点\n";
        QTest::newRow("json") << QStringList{"--json", "长"} << 0
                              << "{\"char\":\"长\",\"radical\":\"长\",\"readings\":[\"zhǎng\",\"cháng\"],"
                                 "\"strokeNames\":[\"撇\",\"横\",\"竖提\",\"捺\"],\"strokes\":4,\"structure\":\"独体\"}\n";
        // Letters, emoji and punctuation get a line of their own; the rest
        // is still described and the status says something was unknown.
        QTest::newRow("mixed") << QStringList{"A心😀，"} << 2
                               << "A\tnot one of the 6763 characters of GB 2312 (U+0041)\n"
                                  "心\txīn\t心\t独体\t4\t点 卧钩 点 点\n"
                                  "😀\tnot one of the 6763 characters of GB 2312 (U+1F600)\n"
                                  "，\tnot one of the 6763 characters of GB 2312 (U+FF0C)\n";
        QTest::newRow("json unknown") << QStringList{"--json", "\x01"} << 2
                                      << "{\"char\":\"\\u0001\",\"error\":\"not one of the 6763 characters of "
                                         "GB 2312 (U+0001)\"}\n";
        QTest::newRow("only spaces") << QStringList{"  "} << 2 << "";
        QTest::newRow("nothing") << QStringList{} << 2 << "";
        QTest::newRow("text and file") << QStringList{"山", "--from", "x"} << 2 << "";
        QTest::newRow("missing file") << QStringList{"--from", "/nonexistent/x.txt"} << 2 << "";
        QTest::newRow("bad option") << QStringList{"--colour", "山"} << 2 << "";
    }

    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        const Run r = info(args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        if (code != 0)
            QVERIFY(!r.err.isEmpty());
    }

    // A file with malformed bytes: they are reported, the characters described.
    void fromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xff\n\xe5\xad\x90\n");
        f.close();
        const Run r = info({QStringLiteral("--from"), path});
        QCOMPARE(r.code, 2);
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(QStringLiteral("U+FFFD\tnot one of")));
        QVERIFY(lines[1].startsWith(QStringLiteral("子\t")));
        QVERIFY(lines[1].endsWith(QStringLiteral("\t3\t横撇 弯钩 横")));
    }
};

QTEST_MAIN(TestCharacterFacts)
#include "tst_characterfacts.moc"
