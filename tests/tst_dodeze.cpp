#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "FactsLine.h"
#include "ImageView.h"
#include "ManualClock.h"
#include "QtTranslations.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "TypeText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

bool isFrame(QRgb c) // olive, maybe blended with white
{
    return qBlue(c) + 40 < qRed(c) && qAbs(qRed(c) - qGreen(c)) < 25 && qRed(c) < 230;
}
bool isInk(QRgb c) { return qGray(c) < 90; }
bool isTrace(QRgb c) // the tests use a blue tracing colour
{
    return qBlue(c) > 150 && qRed(c) < 120 && qGreen(c) < 120;
}

int countIn(const QImage &img, QRect r, bool (*pred)(QRgb))
{
    r &= img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(img.pixel(x, y));
    return n;
}

// Pixel rectangle of a cell given in points at 96 dpi.
QRect cellPx(int leftPt, int topPt, int sidePt)
{
    return QRect(leftPt * 4 / 3, topPt * 4 / 3, sidePt * 4 / 3, sidePt * 4 / 3);
}

} // namespace

class TestDoDeze : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;

    const QImage &pic() const { return form->img1->picture(); }

    void lookUp(const QString &text, int selStart = -1)
    {
        form->edt1->setText(text);
        if (selStart >= 0)
            form->edt1->setSelection(selStart, 1);
        QTest::keyClick(form->edt1, Qt::Key_Return);
    }

    // Left margin in points of a full centred row at the defaults.
    int defaultLeft() const
    {
        const int w = form->pnl10->width();
        return qMax(10, int((w * 0.75 - 64 * 8 - 7 * 7) / 2));
    }

private slots:
    void init()
    {
        resetQueryState();
        clock = std::make_unique<ManualClock>();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(1100, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
        clock.reset();
    }

    void controlsAndDefaults()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Kelvora v1.5"));
        QCOMPARE(form->pgc1->count(), 5);
        QCOMPARE(form->pgc1->tabText(0), QStringLiteral("学汉字笔顺"));
        QCOMPARE(form->pgc1->tabText(3), QStringLiteral("字母/数字字帖"));
        QCOMPARE(form->rg1->itemIndex(), 1);
        QCOMPARE(form->rg11->itemIndex(), 0);
        QCOMPARE(form->rg2->itemIndex(), 1);
        QCOMPARE(form->rg3->itemIndex(), 1);
        QCOMPARE(form->cbb1->currentText(), QStringLiteral("田字格"));
        QCOMPARE(form->cbb2->currentText(), QStringLiteral("外实里虚"));
        QCOMPARE(form->cbb3->currentIndex(), 10);
        QCOMPARE(form->cbb5->currentText(), QStringLiteral("72"));
        QCOMPARE(form->cbb6->currentText(), QStringLiteral("8"));
        QCOMPARE(form->pnl3->color(), QColor(0, 0, 0));
        QCOMPARE(form->pnl4->color(), QColor(192, 192, 192));
        QCOMPARE(form->pnl5->color(), QColor(128, 128, 0));
        QCOMPARE(form->tmr1->interval(), 800);
        QCOMPARE(form->tmr2->interval(), 500);
        QVERIFY(!form->tmr1->isActive() && !form->tmr2->isActive());
        QCOMPARE(form->btn1->toolTip(), QStringLiteral("查询汉字笔顺，输入完汉字后可按回车查询"));
        QVERIFY(form->findChild<QLineEdit *>("edt1"));
        QVERIFY(form->findChild<QComboBox *>("cbb6"));
        // The greeting fills the empty page.
        QVERIFY(countIn(pic(), pic().rect(), isInk) > 1000);
    }

    void numberBoxesTakeOnlyDigits()
    {
        QTest::keyClicks(form->cbb5->lineEdit(), "a-x");
        QCOMPARE(form->cbb5->currentText(), QStringLiteral("72"));
        QTest::keyClick(form->cbb6->lineEdit(), Qt::Key_End);
        QTest::keyClick(form->cbb6->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(form->cbb6->currentText(), QString());
        QTest::keyClicks(form->cbb6->lineEdit(), "5");
        QCOMPARE(form->cbb6->currentText(), QStringLiteral("5"));
    }

    void sheetCellsAtDefaults()
    {
        lookUp(QStringLiteral("川")); // 3 strokes
        QVERIFY(dialogs->messages.isEmpty());
        const int left = defaultLeft();
        for (int k = 0; k < 3; ++k) {
            const QRect cell = cellPx(left + k * 71, 7, 64);
            QVERIFY2(countIn(pic(), cell, isInk) > 50, qPrintable(QString::number(k)));
            // The outer square's left edge lies on the cell's left edge.
            QVERIFY(countIn(pic(), QRect(cell.left() - 1, cell.top() + 5, 3, cell.height() - 10), isFrame) > 40);
        }
        // No fourth cell.
        QCOMPARE(countIn(pic(), cellPx(left + 3 * 71, 7, 64), isFrame), 0);
        // Nothing between the cells.
        QCOMPARE(countIn(pic(), QRect((left + 64) * 4 / 3 + 2, 20, 5, 60), isFrame), 0);
        QVERIFY(!form->tmr1->isActive());
        QVERIFY(queryState().QueryDone);
    }

    void splitModes()
    {
        const int left = defaultLeft();
        const QRect first = cellPx(left, 7, 64), last = cellPx(left + 2 * 71, 7, 64);
        form->pnl4->setColor(QColor(0, 0, 255));
        form->rg1->item(0)->click(); // 跟随式: stroke k alone
        lookUp(QStringLiteral("川"));
        const int oneStroke = countIn(pic(), first, isInk);
        QVERIFY(oneStroke > 30);
        QVERIFY(countIn(pic(), last, isInk) > 30);
        QCOMPARE(countIn(pic(), first, isTrace), 0);

        form->rg1->item(1)->click(); // 笔画式: strokes accumulate
        QVERIFY(countIn(pic(), last, isInk) > 2 * oneStroke);
        QCOMPARE(countIn(pic(), first, isInk), oneStroke);

        form->rg1->item(2)->click(); // 描红: the rest in the tracing colour
        QVERIFY(countIn(pic(), first, isTrace) > oneStroke);
        QCOMPARE(countIn(pic(), last, isTrace), 0);

        form->rg1->item(0)->click();
        form->chk2->setChecked(true); // outline of the whole character in every cell
        QVERIFY(countIn(pic(), first, isTrace) > 20);
        QVERIFY(countIn(pic(), first, isInk) > 30);
    }

    void frameStyles()
    {
        const int left = defaultLeft();
        const QRect cell = cellPx(left, 7, 64);
        lookUp(QStringLiteral("一"));
        const int midY = (2 * 7 + 64) / 2 * 4 / 3;
        auto gapsAlong = [&](int y, int x0, int x1) {
            int gaps = 0;
            bool inGap = false;
            for (int x = x0; x <= x1; ++x) {
                const bool ink = isFrame(pic().pixel(x, y)) || isFrame(pic().pixel(x, y + 1));
                gaps += !ink && !inGap;
                inGap = !ink;
            }
            return gaps;
        };
        // 外实里虚: the horizontal mid-line is dashed, the top edge solid.
        QVERIFY(gapsAlong(midY - 1, cell.left() + 3, cell.left() + 20) >= 2);
        QCOMPARE(gapsAlong(cell.top() - 1, cell.left() + 3, cell.right() - 3), 0);
        const QRect corner(cell.left() + 4, cell.top() + 4, 8, 8);
        QCOMPARE(countIn(pic(), corner, isFrame), 0); // no diagonal in 田字格

        form->cbb2->setCurrentIndex(1); // all solid
        QCOMPARE(gapsAlong(midY - 1, cell.left() + 3, cell.left() + 20), 0);
        form->cbb2->setCurrentIndex(2); // all dashed, the outside too
        QVERIFY(gapsAlong(cell.top() - 1, cell.left() + 3, cell.right() - 3) >= 2);
        form->cbb1->setCurrentIndex(2); // 米字格 adds the diagonals
        QVERIFY(countIn(pic(), corner, isFrame) > 0);
        form->cbb1->setCurrentIndex(0); // none at all
        QCOMPARE(countIn(pic(), pic().rect(), isFrame), 0);
        QVERIFY(countIn(pic(), cell, isInk) > 30);
    }

    void wrappingAndScrollBars()
    {
        form->cbb6->setEditText(QStringLiteral("2"));
        lookUp(QStringLiteral("川"));
        const int left = qMax(10, int((form->pnl10->width() * 0.75 - 64 * 2 - 7) / 2));
        QVERIFY(countIn(pic(), cellPx(left, 7 + 71, 64), isInk) > 30); // stroke 3 on row 2
        QCOMPARE(countIn(pic(), cellPx(left + 71, 7 + 71, 64), isFrame), 0);

        form->cbb6->setEditText(QStringLiteral("8"));
        lookUp(QStringLiteral("爨")); // 30 strokes: 4 rows of 64 pt fit in the panel
        QCOMPARE(form->img1->size(), form->pnl10->size());
        QCOMPARE(form->scrlbx1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        form->cbb5->setEditText(QStringLiteral("150")); // 112 pt: taller and wider than the panel
        const int side = 112 + 10;
        QCOMPARE(form->img1->height(), int((4 * side + 3 * 7 + 20) * 4.0 / 3.0));
        QCOMPARE(form->img1->width(), int((8 * side + 7 * 7 + 20) * 4.0 / 3.0));
        QCOMPARE(form->scrlbx1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(form->scrlbx1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(countIn(pic(), cellPx(10, 7 + 3 * (side + 7), side), isInk) > 100); // row 4

        form->cbb5->setEditText(QStringLiteral("72"));
        QCOMPARE(form->img1->size(), form->pnl10->size());
    }

    void strokeByStrokeTimeline()
    {
        form->rg11->item(2)->click();
        lookUp(QStringLiteral("川"));
        QVERIFY(form->tmr1->isActive());
        QCOMPARE(queryState().StrokeStep, -1);
        QCOMPARE(countIn(pic(), pic().rect(), isInk), 0);
        QVERIFY(countIn(pic(), pic().rect(), isFrame) > 100);
        // Strokes are filled at 1.6, 2.4 and 3.2 s; the timer stops at 4.0 s.
        clock->advance(1599);
        QCOMPARE(countIn(pic(), pic().rect(), isInk), 0);
        clock->advance(1);
        QVERIFY(countIn(pic(), pic().rect(), isInk) > 0);
        clock->advance(2399);
        QVERIFY(form->tmr1->isActive());
        clock->advance(1);
        QVERIFY(!form->tmr1->isActive());
        QCOMPARE(queryState().StrokeStep, 4);
    }

    // Typed text and Enter, then "下一个": the line names each character's
    // readings (both of a polyphone), radical, strokes and structure.
    void factsLineFollowsTheLookUp()
    {
        form->edt1->setFocus();
        typeText(form->edt1, QStringLiteral("长你"));
        QTest::keyClick(form->edt1, Qt::Key_Home);
        QTest::keyClick(form->edt1, Qt::Key_Return);
        const QString chang = form->lblFacts->text();
        QCOMPARE(chang, factsLine(QChar(0x957F), form->data().Facts.facts(QChar(0x957F))));
        QVERIFY2(chang.startsWith(QStringLiteral("长 ")) && chang.contains(QStringLiteral("cháng"))
                     && chang.contains(QStringLiteral(" / ")) && chang.contains(QStringLiteral("4 画")),
                 qPrintable(chang));
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(form->lblFacts->text(), QStringLiteral("你 nǐ · 亻 · 7 画 · 左右结构"));
        // An unsupported character keeps the line, as it keeps the picture.
        QTest::keyClick(form->edt1, Qt::Key_End);
        typeText(form->edt1, QStringLiteral("A"));
        QTest::keyClick(form->edt1, Qt::Key_Left);
        QTest::keyClick(form->edt1, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(form->edt1, Qt::Key_Return);
        QCOMPARE(dialogs->messages.size(), 1);
        QCOMPARE(form->lblFacts->text(), QStringLiteral("你 nǐ · 亻 · 7 画 · 左右结构"));
    }

    // 逐笔显示 on the manual clock: the name of stroke k appears with the
    // stroke itself, one tick after its fill (at 800 (k + 2) ms), and the
    // last stays when the display ends.
    void strokeNameFollowsTheSteps()
    {
        form->rg11->item(2)->click();
        lookUp(QStringLiteral("你"));
        QVERIFY(form->lblStrokeName->text().isEmpty());
        clock->advance(2399);
        QVERIFY(form->lblStrokeName->text().isEmpty()); // stroke 1 is filled, not shown yet
        clock->advance(1);
        QCOMPARE(form->lblStrokeName->text(), QStringLiteral("第 1 笔：撇"));
        clock->advance(2400);
        QCOMPARE(form->lblStrokeName->text(), QStringLiteral("第 4 笔：横钩"));
        clock->advance(2400);
        QCOMPARE(form->lblStrokeName->text(), QStringLiteral("第 7 笔：点"));
        QVERIFY(!form->tmr1->isActive());
        clock->advance(800);
        QCOMPARE(form->lblStrokeName->text(), QStringLiteral("第 7 笔：点"));
        // A new look-up starts again without a name.
        form->rg11->item(0)->click();
        QVERIFY(form->lblStrokeName->text().isEmpty());
    }

    // "笔画名称" writes each stroke's name under its cell on the screen's sheet.
    void strokeNamesBoxWritesNames()
    {
        lookUp(QStringLiteral("你"));
        const QRect under = cellPx(defaultLeft(), 7 + 64 + 1, 64);
        const QRect nameBand(under.left(), under.top(), under.width(), 16 * 4 / 3);
        QCOMPARE(countIn(pic(), nameBand, isInk), 0);
        QCOMPARE(form->chkStrokeNames->text(), QStringLiteral("笔画名称"));
        QTest::mouseClick(form->chkStrokeNames, Qt::LeftButton);
        QVERIFY(form->chkStrokeNames->isChecked());
        QVERIFY(countIn(pic(), nameBand, isInk) > 20);
        QVERIFY(countIn(pic(), cellPx(defaultLeft(), 7, 64), isInk) > 50); // the cell stays where it was
    }

    void strokeStepsOneByOne()
    {
        form->rg11->item(2)->click();
        lookUp(QStringLiteral("川"));
        QList<int> ink;
        for (int tick = 0; tick < 5; ++tick) {
            clock->advance(800);
            ink << countIn(pic(), pic().rect(), isInk);
        }
        QCOMPARE(ink[0], 0);                      // the empty cell again
        QVERIFY(ink[1] > 0);                      // stroke 1
        QVERIFY(ink[2] > ink[1] && ink[3] > ink[2]);
        QCOMPARE(ink[4], ink[3]);                 // past the last stroke: nothing more
        QVERIFY(!form->tmr1->isActive());
        // Another query type stops a running display.
        lookUp(QStringLiteral("川"));
        QVERIFY(form->tmr1->isActive());
        form->rg11->item(0)->click();
        QVERIFY(!form->tmr1->isActive());
    }

    void steppingThroughText()
    {
        form->edt1->setText(QStringLiteral("你好吗"));
        form->edt1->deselect();
        form->btn79->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("你"));
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("你"));
        form->btn79->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("好"));
        form->btn79->click();
        form->btn79->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("吗"));
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("吗"));
        form->btn78->click();
        form->btn78->click();
        form->btn78->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("你"));
        // Several characters selected count by their start.
        form->edt1->selectAll();
        form->btn79->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("好"));
    }

    void selectionRestoredAfterLookUp()
    {
        form->edt1->setText(QStringLiteral("你好吗"));
        form->edt1->setCursorPosition(3);
        QTest::keyClick(form->edt1, Qt::Key_Return);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("你"));
        QVERIFY(!form->edt1->hasSelectedText());
        QCOMPARE(form->edt1->cursorPosition(), 3);
        form->edt1->setSelection(1, 2);
        form->btn1->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("好"));
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("好"));
    }

    void badInput()
    {
        lookUp(QStringLiteral("A"));
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("这个汉字未被支持！"));
        lookUp(QStringLiteral("😀你"), 0);
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("这个汉字未被支持！"));
        lookUp(QStringLiteral("丟"));
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("这个汉字未被支持！"));

        form->edt1->setText(QStringLiteral("你"));
        form->cbb5->setEditText(QString()); // redraws at once
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("'' is not a valid integer value"));
        form->cbb5->setEditText(QStringLiteral("100000"));
        QVERIFY(dialogs->messages.takeLast().contains(QStringLiteral("太大")));
        form->cbb5->setEditText(QStringLiteral("99999999999"));
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("'99999999999' is not a valid integer value"));
        form->cbb5->setEditText(QStringLiteral("0"));
        QVERIFY(dialogs->messages.isEmpty());
        form->cbb5->setEditText(QStringLiteral("72"));
        form->cbb6->setEditText(QStringLiteral("0"));
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("Floating point division by zero"));
        form->cbb6->setEditText(QString());
        QCOMPARE(dialogs->messages.takeLast(), QStringLiteral("'' is not a valid integer value"));
        form->cbb6->setEditText(QStringLiteral("8"));
        QVERIFY(dialogs->messages.isEmpty());

        // Pasted text with line breaks: the first character still looks up.
        form->edt1->clear();
        QApplication::clipboard()->setText(QStringLiteral("好\n你\r\n"));
        form->edt1->paste();
        form->edt1->deselect();
        form->btn1->click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("好"));
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(countIn(pic(), pic().rect(), isInk) > 50);
    }

    void colourSwatches()
    {
        form->edt1->setText(QStringLiteral("一"));
        form->chk2->setChecked(true); // the outline uses the tracing colour
        dialogs->nextColor = QColor(255, 0, 0);
        QTest::mouseClick(form->pnl3, Qt::LeftButton);
        QCOMPARE(dialogs->colorStarts.last(), QColor(Qt::black));
        QCOMPARE(form->pnl3->color(), QColor(255, 0, 0));
        auto isRed = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
        int red = 0;
        for (int y = 0; y < pic().height(); ++y)
            for (int x = 0; x < pic().width(); ++x)
                red += isRed(pic().pixel(x, y));
        QVERIFY(red > 50);
        // The next swatch opens with the colour chosen last; cancel still redraws.
        dialogs->colorOk = false;
        form->img1->picture().fill(Qt::white);
        QTest::mouseClick(form->pnl4, Qt::LeftButton);
        QCOMPARE(dialogs->colorStarts.last(), QColor(255, 0, 0));
        QCOMPARE(form->pnl4->color(), QColor(192, 192, 192));
        QVERIFY(countIn(pic(), pic().rect(), isFrame) > 50);
        QVERIFY(red > 50);
    }

    void requeryAfterAnimation()
    {
        form->edt1->setText(QStringLiteral("一"));
        queryState().StopRequested = false; // as after an animation ran to its end
        form->img1->picture().fill(Qt::white);
        form->btn1->click();
        QVERIFY(queryState().StopRequested);
        QVERIFY(form->tmr2->isActive());
        QCOMPARE(countIn(pic(), pic().rect(), isInk), 0);
        clock->advance(499);
        QCOMPARE(countIn(pic(), pic().rect(), isInk), 0);
        clock->advance(1);
        QVERIFY(!form->tmr2->isActive());
        QVERIFY(countIn(pic(), pic().rect(), isInk) > 30);
        QVERIFY(queryState().QueryDone);
    }

    void wheelDoesNothingOnFirstPage()
    {
        form->edt1->setText(QStringLiteral("爨"));
        form->cbb5->setEditText(QStringLiteral("300"));
        QScrollBar *bar = form->scrlbx1->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QWheelEvent wheel(QPointF(50, 50), form->img1->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->img1, &wheel);
        QCOMPARE(bar->value(), 0);
    }

    void typingNumbersKeepsTheFocus_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QSize>("image"); // of 爨's sheet (30 strokes)
        const double side150 = 112 + 10;
        // 150 passes through 1 and 15: no completion, no message on the way.
        QTest::newRow("字号 150") << "cbb5" << "150"
                                << QSize(int((8 * side150 + 7 * 7 + 20) * 4 / 3.0),
                                         int((4 * side150 + 3 * 7 + 20) * 4 / 3.0));
        QTest::newRow("字号 14") << "cbb5" << "14" << QSize();
        QTest::newRow("每行个数 10") << "cbb6" << "10" << QSize();
    }
    void typingNumbersKeepsTheFocus()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QSize, image);
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        typeText(QApplication::focusWidget(), QStringLiteral("爨我"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        auto *combo = form->findChild<QComboBox *>(box);
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), combo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeText(QApplication::focusWidget(), typed);
        QCOMPARE(combo->currentText(), typed);
        QCOMPARE(form->edt1->text(), QStringLiteral("爨我"));
        QCOMPARE(QApplication::focusWidget(), combo);
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(queryState().CurrentChar, QStringLiteral("爨"));
        if (image.isValid())
            QCOMPARE(form->img1->size(), image);
        QVERIFY(countIn(pic(), pic().rect(), isInk) > 100);
        // The radio groups and the check box keep the focus too.
        QTest::mouseClick(form->rg1->item(0), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), form->rg1->item(0));
        QTest::mouseClick(form->chk2, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), form->chk2);
        QCOMPARE(form->edt1->text(), QStringLiteral("爨我"));
    }

    void complaintsWaitUntilTheBoxIsLeft()
    {
        form->edt1->setText(QStringLiteral("你"));
        QTest::mouseClick(form->cbb6->lineEdit(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace); // empty
        QTest::keyClicks(QApplication::focusWidget(), "0");                // no cells per row
        QVERIFY(dialogs->messages.isEmpty());
        QTest::mouseClick(form->edt1, Qt::LeftButton); // leaving the box says why
        QCoreApplication::processEvents();
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("Floating point division by zero")});
        // A value fixed before leaving leaves nothing to say.
        QTest::mouseClick(form->cbb6->lineEdit(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClicks(QApplication::focusWidget(), "8");
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs->messages.size(), 1);
        // Sizes 0 and 1 draw empty cells, without a word.
        QTest::mouseClick(form->cbb5->lineEdit(), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "1");
        QCOMPARE(countIn(pic(), pic().rect(), isInk), 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClicks(QApplication::focusWidget(), "0");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(dialogs->messages.size(), 1);
    }

    void steppingFollowsTheLastLookUp()
    {
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        typeText(QApplication::focusWidget(), QStringLiteral("我们好"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("我"));
        const QImage first = pic().copy();
        QStringList seen;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(form->btn79, Qt::LeftButton);
            seen << queryState().CurrentChar;
        }
        QCOMPARE(seen, (QStringList{"们", "好", "好"}));
        QVERIFY(pic() != first);
        QTest::mouseClick(form->btn78, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("们"));
        QCOMPARE(QApplication::focusWidget(), form->edt1); // back to typing
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("们"));
        // A character the user selects counts over the last look-up.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("们"));
        // Edited text starts again at its first character.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        typeText(QApplication::focusWidget(), QStringLiteral("吗"));
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("我"));
    }

    // An emoji is one character: one step and one message, either way.
    void emojiIsOneStep()
    {
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        typeText(QApplication::focusWidget(), QStringLiteral("你😀好"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("你"));
        const QStringList refused{QStringLiteral("这个汉字未被支持！")};
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("😀"));
        QCOMPARE(dialogs->messages, refused);
        QTest::mouseClick(form->btn79, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("好"));
        QCOMPARE(dialogs->messages, refused);
        QTest::mouseClick(form->btn78, Qt::LeftButton);
        QCOMPARE(form->edt1->selectedText(), QStringLiteral("😀"));
        QCOMPARE(dialogs->messages.size(), 2);
        QTest::mouseClick(form->btn78, Qt::LeftButton);
        QCOMPARE(queryState().CurrentChar, QStringLiteral("你"));
        QCOMPARE(dialogs->messages.size(), 2);
    }

    void stockDialogsSpeakChinese()
    {
        QVERIFY(installQtTranslations());
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        QColorDialog colours;
        QCOMPARE(colours.windowTitle(), QStringLiteral("选择颜色"));
    }

    void closingStopsEverything()
    {
        form->edt1->setText(QStringLiteral("一"));
        form->rg11->item(2)->click();
        QVERIFY(form->tmr1->isActive());
        queryState().StopRequested = false;
        form->close();
        QVERIFY(queryState().MainClosing);
        QVERIFY(queryState().StopRequested);
        QVERIFY(!form->tmr1->isActive());
        QVERIFY(!form->data().isSupported(QStringLiteral("一")));
        form->btn1Click(); // nothing is dispatched any more
        QVERIFY(dialogs->messages.isEmpty());
    }
};

QTEST_MAIN(TestDoDeze)
#include "tst_dodeze.moc"
