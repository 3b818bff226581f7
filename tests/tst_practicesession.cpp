#include "GraphicsPath.h"
#include "PracticeCell.h"
#include "PracticeSession.h"
#include "StartupData.h"
#include "StrokeSheet.h"

#include <QtTest>

namespace {

StartupData g_data;

QList<QPolygonF> linesOf(QChar c)
{
    return g_data.CenterLines.strokes(c);
}

// A drawn stroke made from a centre line: R the line itself, B the line
// written from its end, F the line moved 400 units to the side.
QPolygonF drawn(const QList<QPolygonF> &lines, int k, QChar kind)
{
    QPolygonF p = lines.value(k);
    if (kind == QLatin1Char('B'))
        std::reverse(p.begin(), p.end());
    else if (kind == QLatin1Char('F'))
        p.translate(p.boundingRect().center().x() < 512 ? 400 : -400, 0);
    return p;
}

} // namespace

class TestPracticeSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        loadStartupData(g_data, 96, StartupTables | StartupCharFont | StartupSegmentFont | StartupCenterLines);
        QVERIFY(g_data.CenterLines.characterCount() > 6000);
    }

    // The box of the stroke data and the stroke font drawn in the cell
    // coincide: the centre lines run inside their strokes at any cell size.
    void centreLinesLieInTheirStrokes_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QSize>("area");
        QTest::newRow("你 small") << QStringLiteral("你") << QSize(220, 300);
        QTest::newRow("永 wide") << QStringLiteral("永") << QSize(1900, 1000);
        QTest::newRow("乙 turning") << QStringLiteral("乙") << QSize(600, 600);
        QTest::newRow("心 dots") << QStringLiteral("心") << QSize(640, 480);
        QTest::newRow("川 parallel") << QStringLiteral("川") << QSize(500, 700);
    }
    void centreLinesLieInTheirStrokes()
    {
        QFETCH(QString, ch);
        QFETCH(QSize, area);
        const PracticeCell cell = practiceCell(SheetGlyph(g_data.PrivateFonts, g_data.CharFontFamily, ch), area);
        const QList<QPolygonF> lines = linesOf(ch[0]);
        QVERIFY(cell.isValid());
        QCOMPARE(cell.strokes.size(), lines.size());
        QVERIFY(QRect(0, 0, area.width(), area.height()).contains(QRect(cell.left, cell.top, cell.side, cell.side)));
        for (int k = 0; k < lines.size(); ++k) {
            int inside = 0, total = 0;
            // Every point along the line, not only its vertices.
            for (int i = 0; i + 1 < lines[k].size(); ++i)
                for (int t = 0; t < 10; ++t, ++total) {
                    const QPointF b = lines[k][i] + (lines[k][i + 1] - lines[k][i]) * (t / 10.0);
                    inside += cell.strokes[k].contains(cell.fromBox(b));
                    QVERIFY(QLineF(cell.toBox(cell.fromBox(b)), b).length() < 1e-6);
                }
            QVERIFY2(inside >= 0.9 * total, qPrintable(QStringLiteral("stroke %1: %2 of %3 inside")
                                                           .arg(k + 1).arg(inside).arg(total)));
        }
    }

    void segmentsGroupIntoStrokes_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QList<int>>("group");
        QTest::newRow("口: 横折 in two") << QStringLiteral("口") << QList<int>{0, 1, 1, 2};
        QTest::newRow("乙: one stroke, four segments") << QStringLiteral("乙") << QList<int>{0, 0, 0, 0};
        QTest::newRow("三: one each") << QStringLiteral("三") << QList<int>{0, 1, 2};
    }
    void segmentsGroupIntoStrokes()
    {
        QFETCH(QString, ch);
        QFETCH(QList<int>, group);
        GraphicsPath strokes, segments;
        strokes.addString(ch, g_data.PrivateFonts, g_data.CharFontFamily, 300, QPointF(5, 5));
        segments.addString(ch, g_data.PrivateFonts, g_data.SegmentFontFamily, 300, QPointF(5, 5));
        QCOMPARE(groupSegments(strokes.subpaths(), segments.subpaths()), group);
        // Fewer segments than strokes: the data disagree, nothing is grouped.
        QVERIFY(groupSegments(strokes.subpaths(), segments.subpaths().mid(0, strokes.subpathCount() - 1)).isEmpty());
    }

    // Strokes written right (R), backwards (B) or far off (F), one token per
    // drawing, against the real checker and centre lines.
    void writingACharacter_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("firstTry");
        QTest::addColumn<int>("mistakes");
        QTest::addColumn<int>("hintAfter"); // the drawing (from 1) that calls for the hint, 0 none
        QTest::addColumn<int>("stars");
        QTest::newRow("口 clean") << QStringLiteral("口") << "RRR" << 3 << 0 << 0 << 3;
        QTest::newRow("口 one backwards") << QStringLiteral("口") << "BRRR" << 2 << 1 << 0 << 2;
        QTest::newRow("口 two slips") << QStringLiteral("口") << "RBRFR" << 1 << 2 << 0 << 1;
        QTest::newRow("十 hint after three") << QStringLiteral("十") << "FBFRR" << 1 << 3 << 3 << 1;
        QTest::newRow("你 two slips in seven") << QStringLiteral("你") << "BRRFRRRRR" << 5 << 2 << 0 << 2;
        QTest::newRow("乙 six misses, two hints") << QStringLiteral("乙") << "BBBFFFR" << 0 << 6 << 3 << 1;
    }
    void writingACharacter()
    {
        QFETCH(QString, ch);
        QFETCH(QString, script);
        QFETCH(int, firstTry);
        QFETCH(int, mistakes);
        QFETCH(int, hintAfter);
        QFETCH(int, stars);
        PracticeSession s(linesOf);
        s.setText(ch);
        QCOMPARE(s.strokeCount(), linesOf(ch[0]).size());
        int firstHint = 0;
        for (int i = 0; i < script.size(); ++i) {
            const int due = s.currentStroke();
            const PracticeSession::Outcome out = s.submit(drawn(s.centreLines(), due, script[i]));
            QVERIFY(out.judged);
            QCOMPARE(out.stroke, due);
            const bool right = script[i] == QLatin1Char('R');
            QVERIFY2(out.verdict.match == right, qPrintable(QStringLiteral("drawing %1 (%2): %3")
                                                                .arg(i + 1).arg(script[i]).arg(out.verdict.reasonText())));
            if (script[i] == QLatin1Char('B'))
                QVERIFY(out.verdict.backwards);
            QCOMPARE(s.currentStroke(), right ? due + 1 : due);
            QCOMPARE(out.hint, s.hintDue());
            if (out.hint && !firstHint)
                firstHint = i + 1;
            if (out.hint) {
                QCOMPARE(s.misses(due) % PracticeSession::MissesBeforeHint, 0);
                s.hintShown();
            }
            QCOMPARE(out.characterDone, i == script.size() - 1);
        }
        QCOMPARE(firstHint, hintAfter);
        QVERIFY(s.characterDone() && s.textDone());
        const CharacterResult r = s.result();
        QCOMPARE(r.firstTry, firstTry);
        QCOMPARE(r.mistakes, mistakes);
        QCOMPARE(r.stars(), stars);
        QVERIFY(characterResultLine(r).endsWith(starLine(stars)));
        QCOMPARE(starLine(stars).count(QChar(0x2605)), stars);
        // A finished character takes no more strokes.
        QVERIFY(!s.submit(drawn(s.centreLines(), 0, QLatin1Char('R'))).judged);
    }

    // Only characters with centre lines are practised; stepping stops at
    // the ends; 重写 and stepping start a character afresh; the summary
    // covers the whole text.
    void aText()
    {
        PracticeSession s(linesOf);
        s.setText(QStringLiteral("a你😀好!"), 2);
        QCOMPARE(s.characters(), QStringLiteral("你好"));
        QCOMPARE(s.currentChar(), QChar(0x597D)); // 好, the first at or after position 2
        QVERIFY(s.previous());
        QVERIFY(!s.previous());
        QCOMPARE(s.currentChar(), QChar(0x4F60));

        QVERIFY(s.submit(drawn(s.centreLines(), 0, QLatin1Char('B'))).judged);
        QCOMPARE(s.result().mistakes, 1);
        s.restart();
        QCOMPARE(s.result().mistakes, 0);
        QCOMPARE(s.currentStroke(), 0);
        // A tap is not judged a mistake.
        QVERIFY(!s.submit(QPolygonF{QPointF(500, 500)}).verdict.match);
        QCOMPARE(s.result().mistakes, 0);

        for (int k = 0; k < s.strokeCount(); ++k)
            s.submit(drawn(s.centreLines(), k, QLatin1Char('R')));
        QVERIFY(s.characterDone() && !s.textDone());
        QVERIFY(s.next());
        QVERIFY(!s.next());
        PracticeSession::Outcome last;
        s.submit(drawn(s.centreLines(), 0, QLatin1Char('F')));
        for (int k = 0; k < s.strokeCount(); ++k)
            last = s.submit(drawn(s.centreLines(), k, QLatin1Char('R')));
        QVERIFY(last.characterDone && last.textDone && s.textDone());
        const QString summary = summaryLine(s.results());
        QVERIFY2(summary.startsWith(QStringLiteral("全部写完：2 个字")) && summary.contains(QStringLiteral("13 笔"))
                     && summary.contains(QStringLiteral("错 1 次")) && summary.contains(QStringLiteral("共 5 颗星")),
                 qPrintable(summary));

        // The last character finished with one skipped: the summary is due,
        // over the finished one.
        s.setText(QStringLiteral("十一"));
        QVERIFY(s.next());
        last = s.submit(drawn(s.centreLines(), 0, QLatin1Char('R')));
        QVERIFY(last.textDone && !s.textDone());
        QVERIFY(summaryLine(s.results()).startsWith(QStringLiteral("写完 1 个字（共 2 个），1 笔")));

        // Nothing to practise: nothing judged, nothing breaks.
        s.setText(QStringLiteral("abc 😀"));
        QVERIFY(s.isEmpty());
        QVERIFY(!s.submit(QPolygonF{QPointF(1, 1), QPointF(500, 500)}).judged);
        QVERIFY(!s.next() && !s.previous());
        QCOMPARE(s.result().stars(), 0);
    }
};

QTEST_MAIN(TestPracticeSession)
#include "tst_practicesession.moc"
