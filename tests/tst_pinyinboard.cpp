#include "ClipPlayer.h"
#include "DoDeze.h"
#include "EmbeddedResource.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {

// The 63 clips the board plays.
const QStringList ClipNames = {
    "A",  "AI", "AN",  "ANG", "AO", "B",  "C",  "CH", "CHI", "CI", "D",  "E",   "EI",  "EN", "ENG", "ER",
    "F",  "G",  "H",   "I",   "IE", "IN", "ING", "IU", "J",   "K",  "L",  "M",   "N",   "O",  "ONG", "OU",
    "P",  "Q",  "R",   "RI",  "S",  "SH", "SHI", "SI", "T",   "U",  "UI", "UN",  "V",   "VE", "VN",  "W",
    "WU", "X",  "Y",   "YE",  "YI", "YIN", "YING", "YU", "YUAN", "YUE", "YUN", "Z", "ZH", "ZHI", "ZI"};

} // namespace

class TestPinyinBoard : public QObject
{
    Q_OBJECT
    std::unique_ptr<TForm1> form;

    QList<QPushButton *> keys() const
    {
        QList<QPushButton *> out;
        for (QWidget *inner : {form->pnl11, form->pnl22, form->pnl23})
            out += inner->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
        return out;
    }
    QPushButton *key(const char *name) const { return form->findChild<QPushButton *>(QLatin1String(name)); }
    void showPage(QWidget *page)
    {
        form->pgc1->setCurrentWidget(page);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        form = std::make_unique<TForm1>(96.0);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanupTestCase() { form.reset(); }

    void bandsAndTitles()
    {
        QCOMPARE(form->pgc1->tabText(form->pgc1->indexOf(form->ts2)), QStringLiteral("拼音字母"));
        QCOMPARE(form->pnl1->objectName(), QStringLiteral("pnl1"));
        QCOMPARE(form->pnl6->objectName(), QStringLiteral("pnl6"));
        QCOMPARE(form->pnl7->objectName(), QStringLiteral("pnl7"));
        QCOMPARE(form->pnl11->parentWidget(), form->pnl1);
        QCOMPARE(form->pnl22->parentWidget(), form->pnl6);
        QCOMPARE(form->pnl23->parentWidget(), form->pnl7);
        QCOMPARE(form->pnl11->size(), QSize(769, 186));
        QCOMPARE(form->pnl22->size(), QSize(769, 186));
        QCOMPARE(form->pnl23->size(), QSize(785, 131));
        QCOMPARE(form->pnl6->palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(form->pnl6->autoFillBackground());

        const QList<std::tuple<QLabel *, QWidget *, QString, QPoint>> titles = {
            {form->lbl7, form->pnl11, QStringLiteral("声母"), QPoint(9, 76)},
            {form->lbl8, form->pnl22, QStringLiteral("韵母"), QPoint(10, 73)},
            {form->lbl9, form->pnl23, QStringLiteral("整体认读"), QPoint(2, 47)}};
        for (const auto &[label, inner, text, pos] : titles) {
            QCOMPARE(label->parentWidget(), inner);
            QCOMPARE(label->text(), text);
            QCOMPARE(label->pos(), pos);
            QCOMPARE(label->font().pixelSize(), 32);
            QCOMPARE(label->font().families().first(), QStringLiteral("黑体"));
        }
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QPoint>("pos");
        QTest::newRow("b") << "btn24" << "b" << "pnl11" << QPoint(113, 16);
        QTest::newRow("d") << "btn5" << "d" << "pnl11" << QPoint(442, 16);
        QTest::newRow("ch") << "btn16" << "ch" << "pnl11" << QPoint(688, 72);
        QTest::newRow("w") << "btn23" << "w" << "pnl11" << QPoint(606, 129);
        QTest::newRow("a") << "btn25" << "a" << "pnl22" << QPoint(114, 16);
        QTest::newRow("v") << "btn30" << "v" << "pnl22" << QPoint(525, 16);
        QTest::newRow("ve") << "btn38" << "ve" << "pnl22" << QPoint(525, 72);
        QTest::newRow("vn") << "btn44" << "vn" << "pnl22" << QPoint(360, 128);
        QTest::newRow("ong") << "btn48" << "ong" << "pnl22" << QPoint(688, 128);
        QTest::newRow("zhi") << "btn49" << "zhi" << "pnl23" << QPoint(136, 17);
        QTest::newRow("yuan") << "btn61" << "yuan" << "pnl23" << QPoint(465, 70);
        QTest::newRow("ying") << "btn64" << "ying" << "pnl23" << QPoint(711, 70);
    }

    void buttons()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, panel);
        QFETCH(QPoint, pos);
        auto *b = form->findChild<QPushButton *>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->parentWidget()->objectName(), panel);
        QCOMPARE(b->geometry(), QRect(pos, QSize(65, 40)));
    }

    void everyButtonHasItsClip()
    {
        const QList<QPushButton *> all = keys();
        QCOMPARE(all.size(), 63);
        QCOMPARE(form->pnl11->findChildren<QPushButton *>().size(), 23);
        QCOMPARE(form->pnl22->findChildren<QPushButton *>().size(), 24);
        QCOMPARE(form->pnl23->findChildren<QPushButton *>().size(), 16);
        QStringList clips;
        for (QPushButton *b : all) {
            QCOMPARE(b->size(), QSize(65, 40));
            QCOMPARE(b->font().families(), QStringList{QStringLiteral("PinYinok")});
            QCOMPARE(b->font().pixelSize(), 32);
            const QString clip = b->text().toUpper();
            clips << clip;
            QVERIFY2(EmbeddedResource::exists(clip), qPrintable(clip));
            const WaveClip w = readWaveClip(EmbeddedResource::bytes(clip));
            QVERIFY2(w.valid, qPrintable(clip)); // RIFF WAVE, PCM
            QCOMPARE(w.format.channelCount(), 2);
            QCOMPARE(w.format.sampleRate(), 8000);
            QCOMPARE(w.format.sampleFormat(), QAudioFormat::UInt8);
            QCOMPARE(w.format.bytesPerFrame(), 2);
            // Long enough to hear.
            QVERIFY2(w.format.durationForBytes(w.samples.size()) >= 250000, qPrintable(clip));
        }
        clips.sort();
        QStringList expected = ClipNames;
        expected.sort();
        QCOMPARE(clips, expected);
    }

    void waveReaderTakesOnlyPcm()
    {
        const QByteArray zh = EmbeddedResource::bytes(QStringLiteral("ZH"));
        QVERIFY(readWaveClip(zh).valid);
        QVERIFY(!readWaveClip(QByteArray()).valid);
        QVERIFY(!readWaveClip(QByteArray("RIFF\0\0\0\0WAVE", 12)).valid);
        QVERIFY(!readWaveClip(EmbeddedResource::bytes(QStringLiteral("pictures/about.jpg"))).valid);
        QByteArray floatClip = zh;
        floatClip[20] = 3; // format tag: IEEE float
        QVERIFY(!readWaveClip(floatClip).valid);
        QByteArray lying = zh;
        lying[28] = 0; // byte rate no longer matches
        QVERIFY(!readWaveClip(lying).valid);
        // Cut off inside the samples: what is there plays, in whole frames.
        const WaveClip cut = readWaveClip(zh.left(zh.size() - 101));
        QVERIFY(cut.valid);
        QCOMPARE(cut.samples.size(), readWaveClip(zh).samples.size() - 102);
    }

    void pinyinFontIsUsable()
    {
        QVERIFY(form->data().PinyinFontHandle >= 0);
        QVERIFY(QFontDatabase::families().contains(QStringLiteral("PinYinok")));
        QCOMPARE(QFontInfo(key("btn30")->font()).family(), QStringLiteral("PinYinok"));
    }

    void clickPlaysCaptionInUpperCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("clip");
        QTest::newRow("zh") << "btn15" << "ZH";
        QTest::newRow("v") << "btn30" << "V";
        QTest::newRow("yuan") << "btn61" << "YUAN";
    }

    void clickPlaysCaptionInUpperCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, clip);
        showPage(form->ts2);
        auto *b = form->findChild<QPushButton *>(name);
        QVERIFY(b);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY2(t.elapsed() < 1000, "the click must not wait for the clip");
        QCOMPARE(form->clipPlayer->lastRequested(), clip);
    }

    void secondClickReplacesFirst()
    {
        key("btn25")->click(); // a
        QCOMPARE(form->clipPlayer->lastRequested(), QStringLiteral("A"));
        key("btn26")->click(); // o, at once
        QCOMPARE(form->clipPlayer->lastRequested(), QStringLiteral("O"));
        // One player behind all buttons, so "o" takes the place of "a".
        QCOMPARE(form->findChildren<ClipPlayer *>().size(), 1);
    }

    // Without a sound device the first click says so once, in the status line.
    void noSoundDeviceIsSaidOnce()
    {
        if (!QMediaDevices::defaultAudioOutput().isNull())
            QSKIP("this machine has a sound device");
        TForm1 fresh(96);
        fresh.pgc1->setCurrentWidget(fresh.ts2);
        fresh.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fresh));
        QSignalSpy said(fresh.statusBar(), &QStatusBar::messageChanged);
        for (const char *name : {"btn25", "btn26", "btn25"})
            QTest::mouseClick(fresh.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
        QCOMPARE(said.size(), 1);
        QCOMPARE(fresh.statusBar()->currentMessage(), QStringLiteral("没有找到声音设备，拼音读音无法播放。"));
    }

    void unknownClipPlaysNothing()
    {
        ClipPlayer player;
        QTest::ignoreMessage(QtWarningMsg, "No playable sound clip named \"XYZ\"");
        QVERIFY(!player.play(QStringLiteral("XYZ")));
        QVERIFY(player.lastRequested().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, "No playable sound clip named \"pictures/about.jpg\"");
        QVERIFY(!player.play(QStringLiteral("pictures/about.jpg")));
        QVERIFY(player.play(QStringLiteral("zh")));
        QCOMPARE(player.lastRequested(), QStringLiteral("ZH"));
    }

    void layoutRuleAtDesignSize()
    {
        showPage(form->ts2);
        // Size the window so that the page is 986 x 544, then show the page anew.
        form->resize(form->size() + QSize(986, 544) - form->ts2->size());
        QTRY_COMPARE(form->ts2->size(), QSize(986, 544));
        showPage(form->ts1);
        showPage(form->ts2);
        QCOMPARE(form->pnl1->height(), 199);
        QCOMPARE(form->pnl6->height(), 199);
        QCOMPARE(form->pnl7->height(), 146);
        QCOMPARE(form->pnl1->width(), 986);
        QCOMPARE(form->pnl6->y(), 199);
        QCOMPARE(form->pnl7->y(), 398);
        QCOMPARE(form->pnl11->pos(), QPoint(108, 6));
        QCOMPARE(form->pnl22->pos(), QPoint(108, 6));
        QCOMPARE(form->pnl23->pos(), QPoint(85, 7));
    }

    void layoutRuleRunsOnEveryDisplay()
    {
        showPage(form->ts1);
        // The page is resized while hidden; the rule sees its new size.
        form->resize(form->size() - QSize(86, 44));
        QTRY_COMPARE(form->ts1->size(), QSize(900, 500));
        showPage(form->ts2);
        QCOMPARE(form->ts2->size(), QSize(900, 500));
        QCOMPARE(form->pnl1->height(), 183); // Trunc(500 * 0.367)
        QCOMPARE(form->pnl6->height(), 183);
        QCOMPARE(form->pnl7->height(), 500 - 2 * 183);
        // Trunc((183 - 186) / 2) is -1, not -2.
        QCOMPARE(form->pnl11->pos(), QPoint(65, -1));
        QCOMPARE(form->pnl22->pos(), QPoint(65, -1));
        QCOMPARE(form->pnl23->pos(), QPoint(42, 1));
    }

    void resizingWhileShownKeepsCentres()
    {
        showPage(form->ts2);
        auto share = [](QWidget *inner) {
            return (inner->x() + inner->width() / 2.0) / inner->parentWidget()->width();
        };
        const double s11 = share(form->pnl11), s22 = share(form->pnl22), s23 = share(form->pnl23);
        const int top11 = form->pnl11->y(), top23 = form->pnl23->y();
        form->resize(form->size() + QSize(86, 0));
        QTRY_COMPARE(form->ts2->size(), QSize(986, 500));
        // The bands keep their heights (the rule runs only on display), the
        // inner panels their tops and the shares of their centres.
        QCOMPARE(form->pnl1->height(), 183);
        QCOMPARE(form->pnl11->y(), top11);
        QCOMPARE(form->pnl23->y(), top23);
        QVERIFY(qAbs(share(form->pnl11) - s11) * 986 <= 1);
        QVERIFY(qAbs(share(form->pnl22) - s22) * 986 <= 1);
        QVERIFY(qAbs(share(form->pnl23) - s23) * 986 <= 1);
        QVERIFY(qAbs(form->pnl11->x() - 108) <= 1);
        QVERIFY(qAbs(form->pnl23->x() - 85) <= 1);
    }
};

QTEST_MAIN(TestPinyinBoard)
#include "tst_pinyinboard.moc"
