#include "Bhs.h"
#include "EmbeddedResource.h"
#include "GraphicsPath.h"
#include "GraphicsPathIterator.h"
#include "StartupData.h"

#include <QDir>
#include <QFontDatabase>
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

    void letterFontSitsOnTheFourLines()
    {
        // At em 27 pt the baseline lies 0.84375 em below the line-box top, and
        // the copybook's lines lie 3.2, 13.2, 23.2 and 33.2 pt below it.
        const QRawFont f = data.PrivateFonts.family(QStringLiteral("AbcManuscript"));
        QVERIFY(f.isValid());
        QCOMPARE(f.ascent() / f.unitsPerEm(), 0.84375);
        auto box = [this](const QString &s) {
            GraphicsPath p;
            p.addString(s, data.PrivateFonts, QStringLiteral("AbcManuscript"), 27, QPointF(0, 0));
            QRectF r;
            for (const QPainterPath &sub : p.subpaths())
                r |= sub.boundingRect();
            return r;
        };
        for (const QString &s : {QStringLiteral("H"), QStringLiteral("E"), QStringLiteral("b"), QStringLiteral("l"),
                                 QStringLiteral("0"), QStringLiteral("7")})
            QVERIFY2(qAbs(box(s).top() - 3.2) <= 0.5, qPrintable(s));
        for (const QString &s : {QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("z")})
            QVERIFY2(qAbs(box(s).top() - 13.2) <= 0.5, qPrintable(s));
        for (const QString &s : {QStringLiteral("p"), QStringLiteral("g"), QStringLiteral("y")})
            QVERIFY2(qAbs(box(s).bottom() - 33.2) <= 0.5, qPrintable(s));
        QVERIFY(qAbs(box(QStringLiteral("f")).bottom() - 23.2) <= 0.5); // no descender on f
    }

    void pinyinFontRegisteredForTheWidgets()
    {
        // Qt drops a family when any registration of the same data is
        // removed, so this looks at a start of its own.
        StartupData d;
        loadStartupData(d, 96);
        QVERIFY(d.PinyinFontHandle >= 0);
        QVERIFY(QFontDatabase::applicationFontFamilies(d.PinyinFontHandle).contains(QStringLiteral("PinYinok")));
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("PinYinok")));
        d.release();
        QCOMPARE(d.PinyinFontHandle, -1);
    }

    void clipsAreShortStereoWaves()
    {
        const QStringList names = QStringLiteral(
            "A AI AN ANG AO B C CH CHI CI D E EI EN ENG ER F G H I IE IN ING IU J K L M N O ONG OU P Q R RI S SH "
            "SHI SI T U UI UN V VE VN W WU X Y YE YI YIN YING YU YUAN YUE YUN Z ZH ZHI ZI").split(QLatin1Char(' '));
        QCOMPARE(names.size(), 63);
        for (const QString &n : names) {
            const QByteArray w = EmbeddedResource::bytes(n);
            QVERIFY2(w.size() > 44 && w.startsWith("RIFF") && w.mid(8, 8) == "WAVEfmt ", qPrintable(n));
            auto u16 = [&w](int at) { return quint16(uchar(w[at]) | uchar(w[at + 1]) << 8); };
            auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
            QCOMPARE(u16(20), quint16(1));      // PCM
            QCOMPARE(u16(22), quint16(2));      // channels
            QCOMPARE(u32(24), quint32(8000));   // samples per second
            QCOMPARE(u32(28), quint32(16000));  // bytes per second
            QCOMPARE(u16(34), quint16(8));      // bits per sample
            QCOMPARE(w.mid(36, 4), QByteArray("data"));
            const double seconds = u32(40) / 16000.0;
            QVERIFY2(seconds >= 0.3 && seconds <= 2.5, qPrintable(n));
            QCOMPARE(qint64(u32(40)), qint64(w.size() - 44));
        }
    }

    void releaseEmptiesEverything()
    {
        StartupData d;
        loadStartupData(d, 96);
        QVERIFY(d.PrivateFonts.hasFamily(d.CharFontFamily));
        QCOMPARE(d.CenterLines.characterCount(), 6763);
        QCOMPARE(d.Facts.characterCount(), 6763);
        d.release();
        QVERIFY(!d.PrivateFonts.hasFamily(d.CharFontFamily));
        QCOMPARE(d.CenterLines.characterCount(), 0);
        QCOMPARE(d.Facts.characterCount(), 0);
        QVERIFY(!d.Facts.facts(QChar(0x4E00)).isValid());
        QVERIFY(d.CenterLines.strokes(QChar(0x4E00)).isEmpty());
        QVERIFY(!d.isSupported(QStringLiteral("一")));
        int zx = 0, zy = 0;
        QCOMPARE(bhs(d.PrivateFonts, d.CharFontFamily, QStringLiteral("一"), 54, zx, zy), 0);

        // A program that asks only for the tables gets no centre lines or facts.
        StartupData tables;
        loadStartupData(tables, 96, StartupTables);
        QCOMPARE(tables.CenterLines.characterCount(), 0);
        QCOMPARE(tables.Facts.characterCount(), 0);
        QCOMPARE(tables.allSupported().size(), 6763);
    }
};

QTEST_MAIN(TestStartupData)
#include "tst_startupdata.moc"
