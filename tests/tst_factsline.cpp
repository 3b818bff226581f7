// The facts line beside a character and the stroke-name line of 逐笔显示.
#include "FactsLine.h"

#include <QtTest>

Q_DECLARE_METATYPE(CharacterFacts)

namespace {
const CharacterFacts Ni{{QStringLiteral("nǐ")}, QStringLiteral("亻"), QStringLiteral("左右"),
                        {QStringLiteral("撇"), QStringLiteral("竖"), QStringLiteral("撇"), QStringLiteral("横钩"),
                         QStringLiteral("竖钩"), QStringLiteral("点"), QStringLiteral("点")}};
const CharacterFacts Chang{{QStringLiteral("cháng"), QStringLiteral("zhǎng")}, QStringLiteral("长"),
                           QStringLiteral("独体"),
                           {QStringLiteral("撇"), QStringLiteral("横"), QStringLiteral("竖提"), QStringLiteral("捺")}};
} // namespace

class TestFactsLine : public QObject
{
    Q_OBJECT
private slots:
    void factsLine_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<CharacterFacts>("facts");
        QTest::addColumn<QString>("line");
        QTest::newRow("你") << QStringLiteral("你") << Ni << QStringLiteral("你 nǐ · 亻 · 7 画 · 左右结构");
        QTest::newRow("polyphone") << QStringLiteral("长") << Chang
                                   << QStringLiteral("长 cháng / zhǎng · 长 · 4 画 · 独体字");
        CharacterFacts pin = Ni;
        pin.structure = QStringLiteral("品字");
        pin.radical.clear();
        QTest::newRow("品字, no radical") << QStringLiteral("品") << pin << QStringLiteral("品 nǐ · 7 画 · 品字结构");
        QTest::newRow("unknown character") << QStringLiteral("A") << CharacterFacts() << QString();
        CharacterFacts namesOnly;
        namesOnly.strokeNames = {QStringLiteral("横")};
        QTest::newRow("no reading: no line") << QStringLiteral("一") << namesOnly << QString();
    }
    void factsLine()
    {
        QFETCH(QString, ch);
        QFETCH(CharacterFacts, facts);
        QTEST(::factsLine(ch.at(0), facts), "line");
    }

    void strokeNameLine_data()
    {
        QTest::addColumn<int>("stroke");
        QTest::addColumn<CharacterFacts>("facts");
        QTest::addColumn<QString>("line");
        QTest::newRow("first") << 1 << Ni << QStringLiteral("第 1 笔：撇");
        QTest::newRow("last") << 7 << Ni << QStringLiteral("第 7 笔：点");
        QTest::newRow("the empty cell") << 0 << Ni << QString();
        QTest::newRow("past the last") << 8 << Ni << QString();
        QTest::newRow("no names: the number") << 3 << CharacterFacts() << QStringLiteral("第 3 笔");
    }
    void strokeNameLine()
    {
        QFETCH(int, stroke);
        QFETCH(CharacterFacts, facts);
        QTEST(::strokeNameLine(stroke, facts), "line");
    }
};

QTEST_GUILESS_MAIN(TestFactsLine)
#include "tst_factsline.moc"
