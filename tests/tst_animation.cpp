#include "DoDeze.h"
#include "FakeDialogs.h"
#include "FullScreenFit.h"
#include "SheetStyle.h"
#include "ImageView.h"
#include "ManualClock.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "RadioGroup.h"
#include "Reveal.h"
#include "RevealAnimation.h"
#include "TypeText.h"
#include "WritingAnimation.h"
#include "quanping.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>

#include <memory>

namespace {

QList<int> lineOrder(int code, const QRect &bounds)
{
    const RevealLines l = revealLines(code, bounds);
    QList<int> out;
    for (int i = 0; i < l.count; ++i)
        out << l.at(i);
    return out;
}

int inkIn(const QImage &img, QRect r = QRect())
{
    r = r.isNull() ? img.rect() : (r & img.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 60;
    return n;
}

// A picture to reveal on, without a window.
class PictureTarget : public RevealTarget
{
public:
    QImage image{60, 60, QImage::Format_ARGB32_Premultiplied};
    double rate = 240;
    bool stop = false;
    int refreshes = 0;
    QImage *picture() override { return &image; }
    void refresh(const QRect &) override { ++refreshes; }
    double linesPerSecond() override { return rate; }
    bool stopRequested() override { return stop; }
};

} // namespace

class TestAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetQueryState(); }

    void lineOrderPerCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("3: columns right to left, both ends") << 3 << QRect(10, 2, 5, 4)
                                                           << QList<int>{15, 14, 13, 12, 11, 10};
        QTest::newRow("1: one column for W = 0") << 1 << QRect(100, 0, 0, 3) << QList<int>{100};
        QTest::newRow("2: rows down") << 2 << QRect(0, 4, 9, 2) << QList<int>{4, 5, 6};
        QTest::newRow("4: rows up") << 4 << QRect(0, 4, 9, 2) << QList<int>{6, 5, 4};
        QTest::newRow("1: negative start") << 1 << QRect(-2, 0, 3, 1) << QList<int>{-2, -1, 0, 1};
        QTest::newRow("end below start") << 1 << QRect(5, 0, -2, 3) << QList<int>{};
        for (int bad : {0, 5, 9, -1})
            QTest::newRow(qPrintable(QStringLiteral("code %1").arg(bad))) << bad << QRect(0, 0, 5, 5) << QList<int>{};
    }
    void lineOrderPerCode()
    {
        QFETCH(int, code);
        QFETCH(QRect, bounds);
        QTEST(lineOrder(code, bounds), "order");
        const RevealLines l = revealLines(code, bounds);
        if (l.count) {
            QImage mask(40, 40, QImage::Format_ARGB32_Premultiplied);
            mask.fill(0);
            const QRect line = revealLine(l, 0, bounds, mask, 0, mask);
            // A column spans Y .. Y + H, a row X .. X + W.
            QCOMPARE(l.columns ? line.height() : line.width(),
                     (l.columns ? bounds.height() : bounds.width()) + 1);
        }
    }

    void maskDecidesWhatIsPainted()
    {
        // Any coverage, an anti-aliased edge too, paints the full colour; the
        // colour itself may be black (0).
        QImage mask(10, 10, QImage::Format_ARGB32_Premultiplied);
        mask.fill(0);
        mask.setPixel(3, 3, qRgba(1, 0, 0, 1));
        mask.setPixel(4, 3, 0xFFFF0000);
        QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::white);
        const QRect bounds(0, 0, 20, 20); // beyond both images
        const RevealLines rows = revealLines(2, bounds);
        QCOMPARE(rows.count, 21);
        for (int i = 0; i < rows.count; ++i)
            revealLine(rows, i, bounds, mask, qRgb(0, 0, 0), target);
        QCOMPARE(target.pixel(3, 3), qRgb(0, 0, 0));
        QCOMPARE(target.pixel(4, 3), qRgb(0, 0, 0));
        QCOMPARE(target.pixel(5, 3), qRgb(255, 255, 255));
    }

    void pacedByTheClock()
    {
        ManualClock clock;
        PictureTarget t;
        t.image.fill(Qt::white);
        QPainterPath square;
        square.addRect(10, 10, 40, 40); // 41 columns, then 41 rows
        RevealAnimation a({square, square, square}, {1, 7, 2}, qRgb(0, 0, 0), 96, &t);
        QCOMPARE(a.totalLines(), 82); // the segment coded 7 is skipped
        bool finished = false;
        connect(&a, &RevealAnimation::finished, this, [&] { finished = true; });
        a.start();
        clock.advance(100); // 240 lines/s: 24 lines in 100 ms, give or take a frame
        QVERIFY2(a.linesRevealed() >= 20 && a.linesRevealed() <= 24, qPrintable(QString::number(a.linesRevealed())));
        QCOMPARE(inkIn(t.image, QRect(10, 10, 18, 40)), 18 * 40); // left to right
        QCOMPARE(inkIn(t.image, QRect(35, 10, 15, 40)), 0);
        t.rate = 2400; // a faster speed takes effect at the next frame
        clock.advance(100);
        QVERIFY2(a.linesRevealed() >= 60 || finished, qPrintable(QString::number(a.linesRevealed())));
        clock.advance(1000);
        QVERIFY(finished);
        QVERIFY(!a.isRunning());
        QCOMPARE(inkIn(t.image), 40 * 40);
    }

    void stoppedForGood()
    {
        ManualClock clock;
        PictureTarget t;
        t.image.fill(Qt::white);
        QPainterPath bar;
        bar.addRect(0, 0, 59, 9);
        RevealAnimation a({bar}, {1}, qRgb(0, 0, 0), 96, &t);
        a.start();
        clock.advance(48);
        const int before = a.linesRevealed();
        t.stop = true; // a stop request ends it at the next frame, before any line
        clock.advance(16);
        QCOMPARE(a.linesRevealed(), before);
        t.stop = false; // ... and it does not come back
        clock.advance(2000);
        QCOMPARE(a.linesRevealed(), before);
        QVERIFY(!a.isRunning());
    }

    void fullScreenFit_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("fs");
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("names");
        QTest::newRow("8 strokes") << 8 << 495 << 4 << 2 << 339 << 11 << false;
        QTest::newRow("1 stroke") << 1 << 1426 << 1 << 1 << 750 << 340 << false;
        QTest::newRow("20 strokes") << 20 << 308 << 7 << 3 << 186 << int((1440 - 196 * 7 - 6 * 7) / 2.0) << false;
        // Names under the cells: each row grows by a quarter of the cell
        // less the gap, (306 + 70) x 2 + 7 + 20 = 779 points fit 1040 pixels.
        QTest::newRow("8 strokes, names") << 8 << 495 << 4 << 2 << 296 << 97 << true;
    }

    void fullScreenFit()
    {
        QFETCH(int, n);
        QFETCH(bool, names);
        SheetStyle style;
        style.strokeNames = true;
        const FullScreenFit f = ::fullScreenFit(n, QSize(1920, 1040), QSize(1920, 1080), 7, 7, 0.75, 4.0 / 3.0,
                                                names ? &style : nullptr);
        QTEST(f.start, "start");
        QTEST(f.columns, "cols");
        QTEST(f.rows, "rows");
        QTEST(f.fs, "fs");
        QTEST(f.left, "left");
    }

    void tinyScreenKeepsTheFallbackSize()
    {
        const FullScreenFit f = ::fullScreenFit(30, QSize(20, 20), QSize(40, 40), 7, 7, 0.75, 4.0 / 3.0);
        QCOMPARE(f.fs, 24);
        QVERIFY(f.columns >= 1);
        const FullScreenFit none = ::fullScreenFit(0, QSize(100, 100), QSize(100, 100), 7, 7, 0.75, 4.0 / 3.0);
        QCOMPARE(none.fs, 24);
    }
};

// The animation in the real windows, on a clock the test moves.
class TestAnimationWindows : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> form;

    const QImage &pic() const { return form->img1->picture(); }

    // Types text into the input field and picks 动画演示 with the mouse,
    // which looks the first character up.
    void startAnimation(const QString &text)
    {
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        form->edt1->selectAll();
        typeText(QApplication::focusWidget(), text);
        QTest::mouseClick(form->rg11->item(1), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(form->animation()->isRunning());
    }
    void runOut()
    {
        for (int i = 0; i < 10000 && form->animation()->isRunning(); ++i)
            clock->advance(RevealAnimation::FrameMs);
    }

private slots:
    void init()
    {
        resetQueryState();
        clock = std::make_unique<ManualClock>();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(420, 400);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
        clock.reset();
    }

    void runsToItsEnd()
    {
        startAnimation(QStringLiteral("乙"));
        QVERIFY(!queryState().StopRequested);
        QVERIFY(queryState().QueryDone); // the look-up returned at once
        QCOMPARE(form->img1->size(), form->scrlbx1->viewport()->size());
        clock->advance(200);
        const int early = inkIn(pic());
        runOut();
        QVERIFY(!queryState().StopRequested); // left false after a normal end
        QVERIFY(inkIn(pic()) > early + 200);
        // The next click first only stops, and looks up again 500 ms later.
        QTest::mouseClick(form->btn1, Qt::LeftButton);
        QVERIFY(queryState().StopRequested);
        QVERIFY(form->tmr2->isActive());
        clock->advance(500);
        QVERIFY(!form->tmr2->isActive());
        QVERIFY(form->animation()->isRunning());
    }

    void speedSetsThePace()
    {
        // At 中 a 1 s run reveals about 240 lines, at 快 twice as many; the
        // choice takes effect in a running animation.
        form->cbbSpeed->setFocus();
        startAnimation(QStringLiteral("爨"));
        clock->advance(1000);
        const int medium = form->animation()->reveal()->linesRevealed();
        QVERIFY2(qAbs(medium - 240) <= 5, qPrintable(QString::number(medium)));
        form->cbbSpeed->setFocus();
        QTest::keyClick(form->cbbSpeed, Qt::Key_Down); // 快
        QCOMPARE(form->cbbSpeed->currentText(), QStringLiteral("快"));
        QVERIFY(form->animation()->isRunning()); // no new look-up
        clock->advance(1000);
        const int fast = form->animation()->reveal()->linesRevealed() - medium;
        QVERIFY2(qAbs(fast - 480) <= 10, qPrintable(QString::number(fast)));
    }

    void clickDuringAnimationStopsAndRequeries()
    {
        startAnimation(QStringLiteral("你"));
        clock->advance(300);
        const int inkAtClick = inkIn(pic());
        QTest::mouseClick(form->btn1, Qt::LeftButton);
        QVERIFY(queryState().StopRequested);
        QVERIFY(form->tmr2->isActive());
        clock->advance(480);
        QCOMPARE(inkIn(pic()), inkAtClick); // stopped before its next line
        QVERIFY(form->tmr2->isActive());
        clock->advance(20); // the re-query 500 ms after the click
        QVERIFY(!form->tmr2->isActive());
        QVERIFY(form->animation()->isRunning());
        QVERIFY(inkIn(pic()) < inkAtClick); // a new picture
    }

    void newerQueryEndsTheOlderForGood()
    {
        // Two clicks in one pass: the first stops 一 and arms the re-query,
        // the second starts 爨 at once. 一 never comes back, and the pending
        // re-query does not restart 爨.
        startAnimation(QStringLiteral("一爨"));
        clock->advance(100);
        const RevealAnimation *first = form->animation()->reveal();
        const int firstLines = first->linesRevealed();
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("爨"));
        QVERIFY(form->animation()->reveal() != first || firstLines == 0);
        QVERIFY(!form->tmr2->isActive());
        runOut();
        const QImage done = pic().copy();
        const int total = form->animation()->reveal()->totalLines();
        QCOMPARE(form->animation()->reveal()->linesRevealed(), total);
        clock->advance(3000);
        QCOMPARE(pic(), done);
        QVERIFY(!form->animation()->isRunning());
    }

    void closingDuringAnimationEndsCleanly()
    {
        startAnimation(QStringLiteral("爨"));
        clock->advance(100);
        form->close();
        QVERIFY(queryState().MainClosing);
        QVERIFY(queryState().StopRequested);
        QVERIFY(!form->animation()->isRunning());
        clock->advance(1000);
        QCOMPARE(queryState().ActiveDrawings, 0);
        form.reset();
        clock->advance(1000); // nothing left to fire
    }

    void fullScreenWindow()
    {
        TForm2 full(form.get());
        form->setOtherWindows(&full, nullptr, nullptr);
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        typeText(form->edt1, QStringLiteral("十"));
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QCOMPARE(full.windowTitle(), QStringLiteral("全屏模式"));
        QVERIFY(full.isModal());
        QVERIFY(full.isFullScreen());
        QCOMPARE(full.geometry(), form->screen()->geometry());
        QCOMPARE(full.edt1->text(), QStringLiteral("十"));

        // Stroke numbers stand inside their cells: nothing in the character
        // colour above the first row or left of the first column.
        QTest::mouseClick(full.chk1, Qt::LeftButton);
        QVERIFY(full.chk1->isChecked());
        const QImage &p = full.img1->picture();
        const int withNumbers = inkIn(p);
        const int top = int(int(10 * 0.75) * 4.0 / 3.0);
        int left = p.width();
        for (int x = 0; x < p.width() && left == p.width(); ++x)
            for (int y = 0; y < p.height(); ++y)
                if (qBlue(p.pixel(x, y)) + 40 < qRed(p.pixel(x, y))) { // the olive frame
                    left = x;
                    break;
                }
        QVERIFY(left < p.width() / 2);
        QCOMPARE(inkIn(p, QRect(0, 0, p.width(), top)), 0);
        QCOMPARE(inkIn(p, QRect(0, 0, left, p.height())), 0);
        QTest::mouseClick(full.chk1, Qt::LeftButton);
        QVERIFY2(withNumbers > inkIn(p) + 20, qPrintable(QString::number(withNumbers)));

        // Numbers only in query type 0: the box is disabled for the others.
        QTest::mouseClick(full.rg1->item(2), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!full.chk1->isEnabled());
        QVERIFY(full.tmr1->isActive());
        QTest::mouseClick(full.rg1->item(0), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(full.chk1->isEnabled());
        QVERIFY(!full.tmr1->isActive());

        // Escape during an animation closes the window at once and ends it.
        QTest::mouseClick(full.rg1->item(1), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(full.animation()->isRunning());
        clock->advance(100);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!full.isVisible());
        QVERIFY(!full.animation()->isRunning());

        // The exit button too.
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QTest::mouseClick(full.btn1, Qt::LeftButton);
        QVERIFY(full.animation()->isRunning());
        QTest::mouseClick(full.btn2, Qt::LeftButton);
        QVERIFY(queryState().StopRequested);
        QVERIFY(!full.isVisible());
        QVERIFY(!full.animation()->isRunning());
        form->setOtherWindows(nullptr, nullptr, nullptr);
    }

    // Full screen shows what the main window shows, unless nothing changed
    // there since it was last open: then it keeps its own text.
    void fullScreenTakesTheMainWindowsCharacter()
    {
        TForm2 full(form.get());
        form->setOtherWindows(&full, nullptr, nullptr);
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        typeText(QApplication::focusWidget(), QStringLiteral("山水"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("水"));
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QCOMPARE(full.edt1->text(), QStringLiteral("山水"));
        QCOMPARE(full.edt1->selectedText(), QStringLiteral("水"));
        QCOMPARE(queryState().CurrentChar, QStringLiteral("水"));
        QVERIFY(inkIn(full.img1->picture()) > 0); // shown at once, not blank
        // Its own text, typed in full screen, stays while the main window is unchanged.
        QTest::mouseClick(full.edt1, Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeText(QApplication::focusWidget(), QStringLiteral("中"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QCOMPARE(full.edt1->text(), QStringLiteral("中"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        // A new look-up in the main window is taken next time.
        QTest::mouseClick(form->btn78, Qt::LeftButton);
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QCOMPARE(queryState().CurrentChar, QStringLiteral("山"));
        QTest::mouseClick(full.btn4, Qt::LeftButton); // stepping goes on from it
        QCOMPARE(queryState().CurrentChar, QStringLiteral("水"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        form->setOtherWindows(nullptr, nullptr, nullptr);
    }

    void fullScreenStepsAndKeepsTheFocus()
    {
        TForm2 full(form.get());
        form->setOtherWindows(&full, nullptr, nullptr);
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&full));
        QTest::mouseClick(full.edt1, Qt::LeftButton);
        typeText(QApplication::focusWidget(), QStringLiteral("我们好"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("我"));
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(full.btn4, Qt::LeftButton);
            seen << queryState().CurrentChar;
        }
        QCOMPARE(seen, (QStringList{"们", "好", "好"}));
        QTest::mouseClick(full.btn3, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("们"));
        QCOMPARE(QApplication::focusWidget(), full.edt1); // back to typing

        // A look-up started by the number option leaves the focus on it:
        // keys typed next never reach the input field.
        QTest::mouseClick(full.chk1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), full.chk1);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
        QCOMPARE(full.edt1->text(), QStringLiteral("我们好"));
        QTest::mouseClick(full.btn2, Qt::LeftButton);
        form->setOtherWindows(nullptr, nullptr, nullptr);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestAnimation a;
    TestAnimationWindows b;
    return QTest::qExec(&a, argc, argv) | QTest::qExec(&b, argc, argv);
}

#include "tst_animation.moc"
