#include "Bhs.h"
#include "DoDeze.h"
#include "GraphicsPath.h"
#include "StartupData.h"

#include <QtTest>

#include <cmath>

class TestBhs : public QObject
{
    Q_OBJECT
    StartupData data;

    int count(const QString &s, int fsize, int &zx, int &zy)
    {
        return bhs(data.PrivateFonts, data.CharFontFamily, s, fsize, zx, zy);
    }

private slots:
    void initTestCase() { loadStartupData(data, 96); }

    void strokeCounts()
    {
        int zx, zy;
        QCOMPARE(count(QStringLiteral("一"), 54, zx, zy), 1);
        QCOMPARE(count(QStringLiteral("你"), 54, zx, zy), 7);
        QCOMPARE(count(QStringLiteral("爨"), 54, zx, zy), 30);
        QCOMPARE(count(QStringLiteral("A"), 54, zx, zy), 0);
        QCOMPARE(count(QStringLiteral(" "), 54, zx, zy), 0);
    }

    void countDoesNotDependOnEmSize()
    {
        int zx, zy;
        for (const QChar c : data.allSupported())
            QCOMPARE(count(QString(c), 24, zx, zy), count(QString(c), 300, zx, zy));
    }

    void offsetsCentreTheGlyph_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<int>("fsize");
        for (const char *s : {"一", "丁", "乙", "你", "爨", "龠", "乙", "丶"})
            for (int f : {24, 54, 55, 300})
                QTest::newRow(QByteArray(s) + ' ' + QByteArray::number(f))
                    << QString::fromUtf8(s) << f;
    }

    void offsetsCentreTheGlyph()
    {
        // Placed at (left + zx, top + zy) the glyph's middle is the cell's
        // middle, within the truncation and the whole-unit bounds.
        QFETCH(QString, ch);
        QFETCH(int, fsize);
        int zx = 0, zy = 0;
        QVERIFY(count(ch, fsize, zx, zy) > 0);
        const int left = 17, top = 9;
        GraphicsPath placed;
        placed.addString(ch, data.PrivateFonts, data.CharFontFamily, fsize, QPointF(left + zx, top + zy));
        const QRect b = placed.bounds();
        const double side = fsize + CellMargin;
        QVERIFY2(qAbs(b.x() + b.width() / 2.0 - (left + side / 2)) <= 1.5, qPrintable(QString::number(zx)));
        QVERIFY2(qAbs(b.y() + b.height() / 2.0 - (top + side / 2)) <= 1.5, qPrintable(QString::number(zy)));
    }

    void negativeOffsetsTruncateTowardZero()
    {
        // Three glyphs side by side are wider than one cell, so zx < 0.
        const QString s = QStringLiteral("一一一");
        for (int fsize : {54, 55, 61, 77}) {
            GraphicsPath p;
            p.addString(s, data.PrivateFonts, data.CharFontFamily, fsize, QPointF(0, 0));
            const QRect b = p.bounds();
            const double real = (fsize + CellMargin) / 2.0 - (b.width() / 2.0 + b.x());
            QVERIFY(real < 0);
            int zx, zy;
            QCOMPARE(count(s, fsize, zx, zy), 3);
            QCOMPARE(zx, int(std::trunc(real)));
            if (real != std::floor(real))
                QCOMPARE(zx, int(std::floor(real)) + 1); // -2.5 gives -2, not -3
        }
    }

    void missingFamilyGivesZeroAndHalfCell()
    {
        int zx = -1, zy = -1;
        QCOMPARE(bhs(data.PrivateFonts, QStringLiteral("No Such Family"), QStringLiteral("一"), 55, zx, zy), 0);
        QCOMPARE(zx, 32); // trunc(32.5)
        QCOMPARE(zy, 32);
        QCOMPARE(bhs(data.PrivateFonts, data.CharFontFamily, QString(), 54, zx, zy), 0);
        QCOMPARE(zx, 32);
    }

    void mainWindowDelegates()
    {
        TForm1 form(96);
        int zx = 0, zy = 0, ex = 0, ey = 0;
        QCOMPARE(form.bhs(QStringLiteral("你"), 54, zx, zy), 7);
        count(QStringLiteral("你"), 54, ex, ey);
        QCOMPARE(zx, ex);
        QCOMPARE(zy, ey);
        QCOMPARE(form.windowTitle(), QStringLiteral("Kelvora v1.5"));
    }
};

QTEST_MAIN(TestBhs)
#include "tst_bhs.moc"
