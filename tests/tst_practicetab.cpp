#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "ManualClock.h"
#include "PracticeTab.h"
#include "QueryState.h"
#include "TypeText.h"
#include "ImageView.h"
#include "quanping.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointingDevice>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

namespace {

// The widget points a hand would pass through along a line of the box:
// every vertex and a few between, no two the same.
QList<QPoint> handPoints(const PracticeCanvas *canvas, const QPolygonF &box)
{
    QList<QPoint> out;
    for (int i = 0; i < box.size(); ++i)
        for (int t = 0; t < (i + 1 < box.size() ? 6 : 1); ++t) {
            const QPointF b = i + 1 < box.size() ? box[i] + (box[i + 1] - box[i]) * (t / 6.0) : box[i];
            const QPoint p = canvas->widgetPoint(b).toPoint();
            if (out.isEmpty() || out.last() != p)
                out << p;
        }
    return out;
}

QPolygonF reversed(QPolygonF p)
{
    std::reverse(p.begin(), p.end());
    return p;
}

// Pixels of the canvas (at its pixel ratio) near colour c inside the logical rectangle r.
int pixelsLike(const QImage &img, QRectF r, QColor c, int tolerance = 40)
{
    const qreal dpr = img.devicePixelRatio();
    const QRect d = QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr).toRect() & img.rect();
    int n = 0;
    for (int y = d.top(); y <= d.bottom(); ++y)
        for (int x = d.left(); x <= d.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            n += qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue()) < tolerance;
        }
    return n;
}

} // namespace

class TestPracticeTab : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> form;
    PracticeTab *tab = nullptr;
    PracticeCanvas *canvas = nullptr;

    void writeWithMouse(const QPolygonF &box)
    {
        const QList<QPoint> pts = handPoints(canvas, box);
        QVERIFY(!pts.isEmpty());
        QTest::mousePress(canvas, Qt::LeftButton, {}, pts.first());
        for (int i = 1; i < pts.size(); ++i)
            QTest::mouseMove(canvas, pts[i]);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, pts.last());
    }
    QPolygonF due() const { return tab->session().centreLines().value(tab->session().currentStroke()); }
    QRectF strokeRect(int k) const { return canvas->cell().strokes.value(k).boundingRect(); }
    QString result() const { return tab->lblPracticeResult->text(); }

private slots:
    void init()
    {
        resetQueryState();
        clock = std::make_unique<ManualClock>();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(1100, 760);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        tab = form->findChild<PracticeTab *>();
        QVERIFY(tab);
        canvas = tab->findChild<PracticeCanvas *>(QStringLiteral("practiceCanvas"));
        QVERIFY(canvas);
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
        clock.reset();
    }

    // The page takes the first tab's text, the character looked up there,
    // its grid and colours; it steps through the text and starts again.
    void pageFollowsTheFirstTab()
    {
        QCOMPARE(form->pgc1->count(), 5);
        QCOMPARE(form->pgc1->tabText(4), QStringLiteral("书写练习"));
        QCOMPARE(tab->cbbStrictness->currentText(), QStringLiteral("标准"));
        QVERIFY(tab->chkShowGlyph->isChecked());
        form->edt1->setFocus();
        typeText(form->edt1, QStringLiteral("我x们好"));
        QTest::keyClick(form->edt1, Qt::Key_Return);
        QTest::mouseClick(form->btn79, Qt::LeftButton); // x, not supported
        QTest::mouseClick(form->btn79, Qt::LeftButton); // 们
        QTest::mouseClick(form->pgc1->tabBar(), Qt::LeftButton, {}, form->pgc1->tabBar()->tabRect(4).center());
        QCOMPARE(form->pgc1->currentWidget(), tab);
        QCOMPARE(tab->session().characters(), QStringLiteral("我们好"));
        QCOMPARE(tab->session().currentChar(), QChar(0x4EEC)); // 们
        QVERIFY(tab->lblPracticeChar->text().startsWith(QStringLiteral("们")));
        QCOMPARE(canvas->look().frame.color, form->pnl5->color());

        // The faint character comes and goes with 显示字形.
        const QRectF r = strokeRect(0);
        const QColor faint(239, 239, 239); // the tracing colour, three quarters towards white
        QVERIFY(pixelsLike(canvas->snapshot(), r, faint, 6) > 50);
        QTest::mouseClick(tab->chkShowGlyph, Qt::LeftButton);
        QCOMPARE(pixelsLike(canvas->snapshot(), r, faint, 6), 0);

        QTest::mouseClick(tab->btnPracticeNext, Qt::LeftButton);
        QCOMPARE(tab->session().currentChar(), QChar(0x597D));
        writeWithMouse(due());
        QCOMPARE(tab->session().currentStroke(), 1);
        QTest::mouseClick(tab->btnPracticeNext, Qt::LeftButton); // the last stays, and its work
        QCOMPARE(tab->session().currentChar(), QChar(0x597D));
        QCOMPARE(tab->session().currentStroke(), 1);
        QVERIFY(result().contains(QStringLiteral("第 1 笔写对了")));
        QTest::mouseClick(tab->btnRewrite, Qt::LeftButton);
        QCOMPARE(tab->session().currentStroke(), 0);
        QCOMPARE(pixelsLike(canvas->snapshot(), strokeRect(0), Qt::black), 0);
        QTest::mouseClick(tab->btnPracticePrev, Qt::LeftButton);
        QCOMPARE(tab->session().currentChar(), QChar(0x4EEC));
        // Coming back to the page keeps the work; a new text starts afresh.
        writeWithMouse(due());
        form->pgc1->setCurrentIndex(0);
        form->pgc1->setCurrentIndex(4);
        QCOMPARE(tab->session().currentStroke(), 1);
        form->edt1->setText(QStringLiteral("一"));
        form->pgc1->setCurrentIndex(0);
        form->pgc1->setCurrentIndex(4);
        QCOMPARE(tab->session().characters(), QStringLiteral("一"));
        // Nothing to practise in the text: said so, and the cell takes no stroke.
        form->edt1->setText(QStringLiteral("ab 😀"));
        form->pgc1->setCurrentIndex(0);
        form->pgc1->setCurrentIndex(4);
        QCOMPARE(result(), QStringLiteral("输入的文字里没有可以练习的汉字"));
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas->rect().center());
        QTest::mouseMove(canvas, canvas->rect().center() + QPoint(80, 0));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas->rect().center() + QPoint(80, 0));
        QCOMPARE(result(), QStringLiteral("输入的文字里没有可以练习的汉字"));
    }

    // Mouse strokes: a match is replaced by the model stroke, a miss is
    // told in words and fades on the clock, the third miss on one stroke
    // writes that stroke out in the brush's direction, and a finished
    // character and text get their lines with stars.
    void writingWithTheMouse()
    {
        form->edt1->setText(QStringLiteral("十口"));
        form->pgc1->setCurrentIndex(4);
        QCOMPARE(tab->session().currentChar(), QChar(0x5341));
        const QColor ink = form->pnl3->color();

        writeWithMouse(due());
        QCOMPARE(tab->session().currentStroke(), 1);
        QVERIFY2(result().contains(QStringLiteral("第 1 笔写对了")), qPrintable(result()));
        QVERIFY(pixelsLike(canvas->snapshot(), strokeRect(0), ink) > 200);
        QVERIFY(!canvas->isFading());

        // Three times backwards.
        const QColor red(214, 48, 49);
        for (int miss = 1; miss <= 3; ++miss) {
            writeWithMouse(reversed(due()));
            QCOMPARE(tab->session().currentStroke(), 1);
            QCOMPARE(tab->session().misses(1), miss);
            QVERIFY2(result().startsWith(QStringLiteral("方向反了")), qPrintable(result()));
            QVERIFY(canvas->isFading());
            QVERIFY(pixelsLike(canvas->snapshot(), strokeRect(1), red) > 50);
            if (miss < 3) {
                clock->advance(PracticeCanvas::FadeMs / 2);
                QVERIFY(canvas->inkOpacity() > 0.3 && canvas->inkOpacity() < 0.7);
                clock->advance(PracticeCanvas::FadeMs);
                QVERIFY(!canvas->isFading());
                QCOMPARE(pixelsLike(canvas->snapshot(), strokeRect(1), red), 0);
                QVERIFY(!canvas->isHinting());
            }
        }
        // The hint: stroke 2 (the 竖) uncovered from the top down.
        QVERIFY(result().contains(QStringLiteral("看一看第 2 笔怎么写")));
        QVERIFY(canvas->isHinting());
        QCOMPARE(canvas->hintStroke(), 1);
        clock->advance(300);
        const QImage &hint = canvas->hintLayer();
        const qreal dpr = canvas->devicePixelRatioF();
        const QRect s = QRectF(strokeRect(1).topLeft() * dpr, strokeRect(1).size() * dpr).toRect();
        int top = 0, bottom = 0;
        for (int y = s.top(); y <= s.bottom(); ++y)
            for (int x = s.left(); x <= s.right(); ++x)
                (y < s.center().y() ? top : bottom) += qAlpha(hint.pixel(x, y)) > 0;
        QVERIFY2(top > 100 && bottom < top / 4, qPrintable(QStringLiteral("%1 %2").arg(top).arg(bottom)));
        clock->advance(20000);
        QVERIFY(!canvas->isHinting());
        QCOMPARE(canvas->hintStroke(), 1);

        // Written right after the hint: the character is done, 3 misses, one star.
        writeWithMouse(due());
        QCOMPARE(canvas->hintStroke(), -1);
        QVERIFY(tab->session().characterDone());
        QVERIFY2(result().startsWith(QStringLiteral("十：2 笔，一次写对 1 笔，错 3 次  ★☆☆")), qPrintable(result()));
        QVERIFY(pixelsLike(canvas->snapshot(), strokeRect(1), ink) > 200);
        writeWithMouse(tab->session().centreLines().value(0)); // nothing is due any more
        QVERIFY(result().contains(QStringLiteral("这个字写完了")));

        QTest::mouseClick(tab->btnPracticeNext, Qt::LeftButton);
        for (int k = 0; k < 3; ++k)
            writeWithMouse(due());
        const QStringList lines = result().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].endsWith(QStringLiteral("★★★")), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("全部写完：2 个字")), qPrintable(lines[1]));
    }

    // A pen and a finger write as the mouse does; the tablet events are
    // taken, so no mouse event made up from them follows.
    void writingWithPenAndFinger()
    {
        form->edt1->setText(QStringLiteral("三"));
        form->pgc1->setCurrentIndex(4);

        QPointingDevice pen(QStringLiteral("pen"), 7001, QInputDevice::DeviceType::Stylus,
                            QPointingDevice::PointerType::Pen,
                            QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
        const QList<QPoint> pts = handPoints(canvas, due());
        for (int i = 0; i < pts.size(); ++i) {
            const QEvent::Type type = i == 0                   ? QEvent::TabletPress
                                      : i + 1 == pts.size() ? QEvent::TabletRelease
                                                            : QEvent::TabletMove;
            QTabletEvent ev(type, &pen, QPointF(pts[i]), QPointF(canvas->mapToGlobal(pts[i])), 0.6, 0, 0, 0, 0, 0, {},
                            Qt::LeftButton, type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
            ev.setAccepted(false);
            QApplication::sendEvent(canvas, &ev);
            QVERIFY(ev.isAccepted());
        }
        QCOMPARE(tab->session().currentStroke(), 1);
        QCOMPARE(canvas->lastStroke().size(), pts.size());

        // Qt 6.4's touch sequences find no window under QT_SCALE_FACTOR.
        if (!qFuzzyCompare(canvas->devicePixelRatioF(), 1.0))
            QSKIP("touch sequences need an unscaled window");
        // One finger, with a second resting on the glass that is ignored.
        QPointingDevice *touch = QTest::createTouchDevice();
        const QList<QPoint> f = handPoints(canvas, due());
        const QPoint rest = canvas->rect().bottomRight() - QPoint(5, 5);
        QTest::touchEvent(canvas, touch).press(0, f.first()).press(1, rest);
        for (int i = 1; i + 1 < f.size(); ++i)
            QTest::touchEvent(canvas, touch).move(0, f[i]).stationary(1);
        QTest::touchEvent(canvas, touch).release(0, f.last()).stationary(1);
        QTest::touchEvent(canvas, touch).release(1, rest);
        QCOMPARE(tab->session().currentStroke(), 2);
        QVERIFY(!canvas->isWriting());

        // A finger backwards is a miss like any other.
        const QList<QPoint> b = handPoints(canvas, reversed(due()));
        QTest::touchEvent(canvas, touch).press(0, b.first());
        for (int i = 1; i < b.size(); ++i)
            QTest::touchEvent(canvas, touch).move(0, b[i]);
        QTest::touchEvent(canvas, touch).release(0, b.last());
        QCOMPARE(tab->session().currentStroke(), 2);
        QCOMPARE(tab->session().misses(2), 1);
        // The ink of the stroke lies where the finger went, in the box.
        QVERIFY(QLineF(canvas->lastStroke().first(), reversed(due()).first()).length() < 8);
    }

    // Full screen has the same practice over its picture, on its own text,
    // in the main window's colours; leaving it shows the picture again.
    void practiceInFullScreen()
    {
        form->edt1->setText(QStringLiteral("口"));
        TForm2 full(form.get());
        form->setOtherWindows(&full, nullptr, nullptr);
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&full));
        QVERIFY(!full.practice->isVisible());
        QTest::mouseClick(full.btnPractice, Qt::LeftButton);
        QVERIFY(full.practice->isVisible() && !full.img1->isVisible());
        QCOMPARE(full.practice->geometry(), full.img1->geometry());
        canvas = full.practice->practiceCanvas;
        QCOMPARE(full.practice->session().currentChar(), QChar(0x53E3));
        QCOMPARE(canvas->look().charColor, form->pnl3->color());
        QVERIFY(canvas->cell().side > tab->practiceCanvas->cell().side);

        const PracticeSession &s = full.practice->session();
        writeWithMouse(s.centreLines().value(0));
        QCOMPARE(s.currentStroke(), 1);
        QVERIFY(full.practice->lblPracticeResult->text().contains(QStringLiteral("第 1 笔写对了")));

        full.edt1->setText(QStringLiteral("川"));
        QTest::keyClick(full.edt1, Qt::Key_Return);
        QCOMPARE(s.currentChar(), QChar(0x5DDD));
        // Opened again on a new text of the main window: that text is practised.
        QTest::keyClick(&full, Qt::Key_Escape);
        QVERIFY(!full.isVisible());
        form->edt1->setText(QStringLiteral("山水"));
        form->edt1->setSelection(1, 1);
        QTest::mouseClick(form->btn4, Qt::LeftButton);
        QVERIFY(full.practice->isVisible());
        QCOMPARE(s.characters(), QStringLiteral("山水"));
        QCOMPARE(s.currentChar(), QChar(0x6C34));
        QTest::mouseClick(full.btn3, Qt::LeftButton); // the window's 上一个 steps the practice
        QCOMPARE(s.currentChar(), QChar(0x5C71));
        QTest::mouseClick(full.btnPractice, Qt::LeftButton);
        QVERIFY(!full.practice->isVisible() && full.img1->isVisible());
        full.close();
        form->setOtherWindows(nullptr, nullptr, nullptr);
    }
};

QTEST_MAIN(TestPracticeTab)
#include "tst_practicetab.moc"
