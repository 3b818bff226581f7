#include "EmbeddedResource.h"
#include "GraphicsPath.h"
#include "GraphicsPathIterator.h"
#include "StartupData.h"

#include <QPainter>
#include <QStringDecoder>
#include <QtTest>

class TestSegmentFont : public QObject
{
    Q_OBJECT
    StartupData data;

    // The union of the contours, each filled on its own, at 128 pixels;
    // anti-aliased, so a pixel holds its covered share.
    QImage coverage(const QString &ch, const QString &family)
    {
        QImage img(128, 128, QImage::Format_Grayscale8);
        img.fill(0);
        GraphicsPath p;
        p.addString(ch, data.PrivateFonts, family, 128, QPointF(0, 0));
        QPainter painter(&img);
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (const QPainterPath &sub : p.subpaths())
            painter.fillPath(sub, Qt::white);
        return img;
    }

private slots:
    void initTestCase() { loadStartupData(data, 96); }

    void tableFormat()
    {
        const QByteArray raw = EmbeddedResource::bytes("DH6763");
        QVERIFY(raw.endsWith("\r\n"));
        QCOMPARE(raw.count("\r\n"), 6763);
        QCOMPARE(raw.count('\n'), 6763); // no bare line feeds
        QCOMPARE(data.DirectionTable.size(), 6763);
        const QString all = data.allSupported();
        int longest = 0;
        for (int i = 0; i < 6763; ++i) {
            const QString &line = data.DirectionTable[i];
            QCOMPARE(line.left(2), QString(all[i]) + QLatin1Char('|')); // KT6763 order
            const QString codes = line.mid(2);
            QVERIFY(!codes.isEmpty());
            for (const QChar c : codes)
                QVERIFY2(c >= QLatin1Char('1') && c <= QLatin1Char('4'), qPrintable(line));
            longest = qMax(longest, int(codes.size()));
        }
        QVERIFY(longest <= 34);
    }

    void examples_data()
    {
        QTest::addColumn<QString>("ch");
        QTest::addColumn<QString>("codes");
        QTest::newRow("一") << "一" << "1";
        QTest::newRow("丁") << "丁" << "123";
        QTest::newRow("万") << "万" << "11232";
        QTest::newRow("乙") << "乙" << "1214";
        QTest::newRow("口") << "口" << "2121";
        QTest::newRow("你") << "你" << "222122321";
        // The source data has no hook on the last stroke of 七.
        QTest::newRow("七") << "七" << "121";
    }

    void examples()
    {
        QFETCH(QString, ch);
        QTEST(data.directionCodes(ch), "codes");
    }

    void oneClosedContourPerCode()
    {
        for (const QChar c : data.allSupported()) {
            const QString ch(c);
            GraphicsPath strokes, segments;
            strokes.addString(ch, data.PrivateFonts, data.CharFontFamily, 100, QPointF(0, 0));
            segments.addString(ch, data.PrivateFonts, data.SegmentFontFamily, 100, QPointF(0, 0));
            QVERIFY2(segments.subpathCount() == data.directionCodes(ch).size(), qPrintable(ch));
            QVERIFY2(segments.subpathCount() >= strokes.subpathCount(), qPrintable(ch));
            GraphicsPathIterator it(segments);
            QPainterPath sub;
            bool closed = false;
            while (it.nextSubpath(sub, &closed))
                QVERIFY2(closed, qPrintable(ch));
            // Same em square and origin: the same bounds, so bhs places both.
            const QRect a = strokes.bounds(), b = segments.bounds();
            QVERIFY2(qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1
                         && qAbs(a.right() - b.right()) <= 1 && qAbs(a.bottom() - b.bottom()) <= 1,
                     qPrintable(ch));
        }
    }

    void segmentsCoverTheStrokes()
    {
        double worst = 1.0;
        QString worstChar;
        for (const QChar c : data.allSupported()) {
            const QImage a = coverage(QString(c), data.CharFontFamily);
            const QImage b = coverage(QString(c), data.SegmentFontFamily);
            // Areas: the intersection takes the smaller share of each pixel,
            // the union the larger.
            qint64 inter = 0, uni = 0;
            for (int y = 0; y < 128; ++y) {
                const uchar *pa = a.constScanLine(y), *pb = b.constScanLine(y);
                for (int x = 0; x < 128; ++x) {
                    inter += qMin(pa[x], pb[x]);
                    uni += qMax(pa[x], pb[x]);
                }
            }
            const double iou = uni ? double(inter) / uni : 1.0;
            if (iou < worst) {
                worst = iou;
                worstChar = QString(c);
            }
        }
        QVERIFY2(worst >= 0.98, qPrintable(QStringLiteral("%1: %2").arg(worstChar).arg(worst)));
    }
};

QTEST_MAIN(TestSegmentFont)
#include "tst_segmentfont.moc"
