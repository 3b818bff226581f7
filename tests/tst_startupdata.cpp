#include "Bhs.h"
#include "EmbeddedResource.h"
#include "GraphicsPath.h"
#include "GraphicsPathIterator.h"
#include "StartupData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestStartupData : public QObject
{
    Q_OBJECT
    StartupData data;

    static QHash<QChar, int> unihanStrokes()
    {
        QHash<QChar, int> out;
        QFile f(QStringLiteral(KELVORA_TOTAL_STROKES));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return out;
        while (!f.atEnd()) {
            // U+4E00<TAB>kTotalStrokes<TAB>1 [more values]
            const QList<QByteArray> cols = f.readLine().trimmed().split('\t');
            if (cols.size() < 3)
                continue;
            const uint cp = cols[0].mid(2).toUInt(nullptr, 16);
            if (cp <= 0xFFFF)
                out.insert(QChar(char16_t(cp)), cols[2].split(' ').first().toInt());
        }
        return out;
    }

private slots:
    void initTestCase() { loadStartupData(data, 96); }

    void supportedCharacters()
    {
        QCOMPARE(EmbeddedResource::bytes("KT6763").size(), 13526);
        QCOMPARE(EmbeddedResource::bytes("Kt6763"), EmbeddedResource::bytes("kt6763"));
        const QString all = data.allSupported();
        QCOMPARE(all.size(), 6763);
        QCOMPARE(all.front(), QChar(0x4E00));
        QCOMPARE(all.back(), QChar(0x9FA0));
        for (int i = 1; i < all.size(); ++i)
            QVERIFY(all[i - 1] < all[i]);
        QVERIFY(data.isSupported(QStringLiteral("一")));
        QVERIFY(data.isSupported(QStringLiteral("龠")));
        QVERIFY(data.isSupported(QStringLiteral("你好"))); // the first character counts
        QVERIFY(!data.isSupported(QStringLiteral("A")));
        QVERIFY(!data.isSupported(QString()));
        QVERIFY(!data.isSupported(QStringLiteral("\n")));
        QVERIFY(!data.isSupported(QStringLiteral("\r\n")));
        QVERIFY(!data.isSupported(QStringLiteral("😀")));
        QVERIFY(!data.isSupported(QStringLiteral("丟"))); // traditional, not in GB 2312
    }

    void everyGlyphHasOneClosedContourPerStroke()
    {
        const QHash<QChar, int> unihan = unihanStrokes();
        QVERIFY2(unihan.size() > 20000, "Unihan stroke counts missing (unicode-data package)");
        int checked = 0;
        for (const QChar c : data.allSupported()) {
            GraphicsPath path;
            path.addString(QString(c), data.PrivateFonts, data.CharFontFamily, 100, QPointF(0, 0));
            QVERIFY2(unihan.contains(c), qPrintable(QString(c)));
            QVERIFY2(path.subpathCount() == unihan.value(c),
                     qPrintable(QStringLiteral("%1: %2 contours, %3 strokes")
                                    .arg(c).arg(path.subpathCount()).arg(unihan.value(c))));
            GraphicsPathIterator it(path);
            QPainterPath sub;
            bool closed = false;
            while (it.nextSubpath(sub, &closed))
                QVERIFY2(closed, qPrintable(QString(c)));
            ++checked;
        }
        QCOMPARE(checked, 6763);
    }

    void pointPixelFactors()
    {
        QCOMPARE(data.PointsPerPixel, 0.75);
        QVERIFY(qFuzzyCompare(data.PixelsPerPoint, 4.0 / 3.0));
        StartupData at120;
        loadStartupData(at120, 120);
        QCOMPARE(at120.PointsPerPixel, 0.6);
        QVERIFY(qFuzzyCompare(at120.PixelsPerPoint, 5.0 / 3.0));
        at120.release();
    }

    void pictureFolderUnderTemp()
    {
        QTemporaryDir temp;
        const QByteArray saved = qgetenv("TEMP");
        qputenv("TEMP", temp.path().toUtf8());
        StartupData a;
        loadStartupData(a, 96);
        QCOMPARE(a.TempPicDir, temp.path() + "/jivpic/");
        QVERIFY(QDir(a.TempPicDir).exists());
        QFile keep(a.TempPicDir + "1.png");
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.write("x");
        keep.close();
        StartupData b; // a second start leaves the folder and its files alone
        loadStartupData(b, 96);
        QCOMPARE(QDir(temp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"jivpic"});
        QVERIFY(QFile::exists(a.TempPicDir + "1.png"));

        // Without TEMP the system temporary folder serves, not the root.
        qunsetenv("TEMP");
        StartupData c;
        loadStartupData(c, 96);
        QCOMPARE(c.TempPicDir, QDir::tempPath() + "/jivpic/");
        QVERIFY(QDir(c.TempPicDir).exists());
        if (!saved.isNull())
            qputenv("TEMP", saved);
        a.release();
        b.release();
        c.release();
    }

    void releaseEmptiesEverything()
    {
        StartupData d;
        loadStartupData(d, 96);
        QVERIFY(d.PrivateFonts.hasFamily(d.CharFontFamily));
        d.release();
        QVERIFY(!d.PrivateFonts.hasFamily(d.CharFontFamily));
        QVERIFY(!d.isSupported(QStringLiteral("一")));
        int zx = 0, zy = 0;
        QCOMPARE(bhs(d.PrivateFonts, d.CharFontFamily, QStringLiteral("一"), 54, zx, zy), 0);
    }
};

QTEST_MAIN(TestStartupData)
#include "tst_startupdata.moc"
