#include "DoDeze.h"
#include "FakeDialogs.h"
#include "FullScreenFit.h"
#include "ImageView.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "Reveal.h"
#include "quanping.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Records the lines a reveal takes, and where it sleeps.
class RecordingHost : public RevealHost
{
public:
    explicit RecordingHost(QImage img) : image(std::move(img)) {}
    bool stopRequested() override { return stopAfter >= 0 && int(lines.size()) >= stopAfter; }
    QImage &picture() override { return image; }
    void refresh(const QRect &line) override { lines << line; }
    void sleepMs(int ms) override { sleptAt << lines.last(); QCOMPARE(ms, 1); }
    void processEvents() override { ++events; }

    QImage image;
    QList<QRect> lines, sleptAt;
    int events = 0;
    int stopAfter = -1;
};

QList<int> columns(const QList<QRect> &lines)
{
    QList<int> out;
    for (const QRect &r : lines)
        out << r.x();
    return out;
}
QList<int> rows(const QList<QRect> &lines)
{
    QList<int> out;
    for (const QRect &r : lines)
        out << r.y();
    return out;
}

int inkIn(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 60;
    return n;
}

} // namespace

class TestAnimation : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetQueryState(); }

    void lineOrderPerCode()
    {
        QImage mask(40, 40, QImage::Format_ARGB32_Premultiplied);
        mask.fill(0);
        RecordingHost h(QImage(40, 40, QImage::Format_ARGB32_Premultiplied));
        revealSegment(3, QRect(10, 2, 5, 4), mask, qRgb(0, 0, 0), 1, h);
        QCOMPARE(columns(h.lines), (QList<int>{15, 14, 13, 12, 11, 10}));
        QCOMPARE(columns(h.sleptAt), (QList<int>{15, 12})); // every coordinate divisible by 3
        QCOMPARE(h.events, 6);
        QCOMPARE(h.lines.first(), QRect(15, 2, 1, 5)); // rows Y .. Y + H, both ends

        RecordingHost one(h.image);
        revealSegment(1, QRect(100, 0, 0, 3), mask, 0, 1, one);
        QCOMPARE(columns(one.lines), QList<int>{100});

        RecordingHost down(h.image);
        revealSegment(2, QRect(0, 4, 9, 2), mask, 0, 1, down);
        QCOMPARE(rows(down.lines), (QList<int>{4, 5, 6}));
        QCOMPARE(rows(down.sleptAt), QList<int>{6});
        RecordingHost up(h.image);
        revealSegment(4, QRect(0, 4, 9, 2), mask, 0, 1, up);
        QCOMPARE(rows(up.lines), (QList<int>{6, 5, 4}));
        RecordingHost right(h.image);
        revealSegment(1, QRect(-2, 0, 3, 1), mask, 0, 1, right);
        QCOMPARE(columns(right.lines), (QList<int>{-2, -1, 0, 1}));

        for (int bad : {0, 5, 9, -1}) {
            RecordingHost none(h.image);
            revealSegment(bad, QRect(0, 0, 5, 5), mask, 0, 1, none);
            QVERIFY(none.lines.isEmpty());
        }
        RecordingHost empty(h.image);
        revealSegment(1, QRect(5, 0, -2, 3), mask, 0, 1, empty); // end below start
        QVERIFY(empty.lines.isEmpty());
    }

    void stopIsCheckedBeforeEveryLine()
    {
        QImage mask(20, 20, QImage::Format_ARGB32_Premultiplied);
        mask.fill(0xFFFF0000);
        QImage target(20, 20, QImage::Format_ARGB32_Premultiplied);
        target.fill(Qt::white);
        RecordingHost h(target);
        h.stopAfter = 2;
        revealSegment(1, QRect(0, 0, 10, 10), mask, qRgb(200, 0, 0), 1, h);
        QCOMPARE(h.lines.size(), 2);
        QCOMPARE(h.image.pixel(1, 5), qRgb(200, 0, 0));
        QCOMPARE(h.image.pixel(2, 5), qRgb(255, 255, 255)); // not reached
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
        RecordingHost h(target);
        revealSegment(2, QRect(0, 0, 20, 20), mask, qRgb(0, 0, 0), 1, h); // bounds beyond both images
        QCOMPARE(h.image.pixel(3, 3), qRgb(0, 0, 0));
        QCOMPARE(h.image.pixel(4, 3), qRgb(0, 0, 0));
        QCOMPARE(h.image.pixel(5, 3), qRgb(255, 255, 255));
        QCOMPARE(h.lines.size(), 21);
    }

    void fullScreenFit_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("fs");
        QTest::addColumn<int>("left");
        QTest::newRow("8 strokes") << 8 << 495 << 4 << 2 << 339 << 11;
        QTest::newRow("1 stroke") << 1 << 1426 << 1 << 1 << 750 << 340;
        QTest::newRow("20 strokes") << 20 << 308 << 7 << 3 << 186 << int((1440 - 196 * 7 - 6 * 7) / 2.0);
    }

    void fullScreenFit()
    {
        QFETCH(int, n);
        const FullScreenFit f = ::fullScreenFit(n, QSize(1920, 1040), QSize(1920, 1080), 7, 7, 0.75, 4.0 / 3.0);
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

// The animation in the real windows.
class TestAnimationWindows : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> form;

    void startAnimation(const QString &ch)
    {
        form->edt1->setText(ch);
        form->rg11->setItemIndex(1);
        form->btn1Click();
    }

private slots:
    void init()
    {
        resetQueryState();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(420, 400); // a small picture keeps the animation short
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
    }

    void runsToItsEnd()
    {
        startAnimation(QStringLiteral("乙"));
        QVERIFY(!queryState().StopRequested); // left false after a normal end
        QVERIFY(queryState().QueryDone);
        QCOMPARE(form->img1->size(), form->scrlbx1->viewport()->size());
        const int ink = inkIn(form->img1->picture());
        QVERIFY(ink > 500);
        // The next click first only stops, and looks up again 500 ms later.
        form->btn1Click();
        QVERIFY(queryState().StopRequested);
        QVERIFY(form->tmr2->isActive());
    }

    void clickDuringAnimationStopsAndRequeries()
    {
        int inkAtClick = -1;
        QElapsedTimer clock;
        QTimer::singleShot(60, form.get(), [&] {
            inkAtClick = inkIn(form->img1->picture());
            form->btn1->click(); // nested inside the animation's event processing
            clock.start();
        });
        startAnimation(QStringLiteral("你"));
        // The animation left at its next line: nothing was painted after the click.
        QVERIFY(inkAtClick >= 0);
        QCOMPARE(inkIn(form->img1->picture()), inkAtClick);
        QVERIFY(queryState().StopRequested);
        QVERIFY(form->tmr2->isActive());
        QVERIFY(queryState().QueryDone);
        // The re-query starts a new animation about 500 ms after the click.
        form->rg11->setItemIndex(0); // ... as a sheet, which returns at once
        QTRY_VERIFY_WITH_TIMEOUT(!form->tmr2->isActive(), 2000);
        const qint64 after = clock.elapsed();
        QVERIFY2(after >= 440 && after < 1200, qPrintable(QString::number(after)));
        QVERIFY(inkIn(form->img1->picture()) > inkAtClick);
    }

    void closingDuringAnimationEndsCleanly()
    {
        QTimer::singleShot(50, form.get(), [&] { form->close(); });
        startAnimation(QStringLiteral("爨"));
        QVERIFY(queryState().MainClosing);
        QVERIFY(queryState().StopRequested);
        QCOMPARE(queryState().ActiveDrawings, 0);
        form.reset(); // the fonts go with the window, after the animation unwound
    }

    void fullScreenWindow()
    {
        TForm2 full(form.get());
        full.resize(800, 600);
        full.show();
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QCOMPARE(full.windowTitle(), QStringLiteral("全屏模式"));
        full.edt1->setText(QStringLiteral("十"));
        full.chk1->setChecked(true); // draws the sheet with numbers
        const int withNumbers = inkIn(full.img1->picture());
        full.chk1->setChecked(false);
        const int without = inkIn(full.img1->picture());
        QVERIFY2(withNumbers > without + 20, qPrintable(QStringLiteral("%1 %2").arg(withNumbers).arg(without)));

        // Numbers only in query type 0: the box is disabled for the others.
        full.rg1->item(2)->click();
        QVERIFY(!full.chk1->isEnabled());
        QVERIFY(full.tmr1->isActive());
        full.rg1->item(0)->click();
        QVERIFY(full.chk1->isEnabled());
        QVERIFY(!full.tmr1->isActive());

        // Escape during an animation: the window goes only when it has ended.
        full.rg1->setItemIndex(1);
        bool visibleAfterEscape = false;
        QTimer::singleShot(40, &full, [&] {
            QTest::keyClick(&full, Qt::Key_Escape);
            visibleAfterEscape = full.isVisible();
        });
        full.btn1Click();
        QVERIFY(visibleAfterEscape);
        QVERIFY(!queryState().StopRequested); // ran to its end
        QVERIFY(!full.isVisible());

        // The exit button stops an animation at once (from Idle again).
        queryState().StopRequested = true;
        full.show();
        QTimer::singleShot(40, &full, [&] { full.btn2->click(); });
        full.btn1Click();
        QVERIFY(queryState().StopRequested);
        QVERIFY(!full.isVisible());
    }

    void fullScreenButtonCopiesTheText()
    {
        auto full = std::make_unique<TForm2>(form.get());
        form->setOtherWindows(full.get(), nullptr, nullptr);
        form->edt1->setText(QStringLiteral("大"));
        QTimer::singleShot(100, full.get(), [&] {
            QCOMPARE(full->edt1->text(), QStringLiteral("大"));
            QVERIFY(full->isModal());
            full->btn2->click();
        });
        form->btn4Click();
        QVERIFY(!full->isVisible());
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
