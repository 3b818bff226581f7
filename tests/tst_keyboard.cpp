// Every page worked from the keyboard alone: the focus order, the colour
// swatches, the shortcuts, and the two copybook page fields.
#include "CharWorksheetTab.h"
#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "ImageView.h"
#include "LetterWorksheetTab.h"
#include "ManualClock.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "RadioGroup.h"
#include "WorksheetRuns.h"
#include "WorksheetState.h"
#include "WritingAnimation.h"
#include "quanping.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QWidget *focused() { return QApplication::focusWidget(); }

void press(Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QVERIFY(focused());
    QTest::keyClick(focused(), key, mods);
}

// The named control the focus is in: a radio button counts as its group,
// a combo box's line edit as the combo box.
QString focusName(const QStringList &names)
{
    for (QWidget *w = focused(); w; w = w->parentWidget())
        if (names.contains(w->objectName()))
            return w->objectName();
    return focused() ? QStringLiteral("<%1>").arg(focused()->metaObject()->className()) : QStringLiteral("<none>");
}

int nonWhite(const QImage &img, QRect r)
{
    r &= img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 200;
    return n;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> temp;
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm2> full;
    std::unique_ptr<TForm1> form;

    // Ctrl+Tab from the page shown, as a keyboard user switches pages.
    void showPage(int index)
    {
        while (form->pgc1->currentIndex() != index)
            press(Qt::Key_Tab, Qt::ControlModifier);
    }

private slots:
    void init()
    {
        resetQueryState();
        CurrentPage = 1;
        temp = std::make_unique<QTemporaryDir>();
        qputenv("TEMP", temp->path().toUtf8());
        clock = std::make_unique<ManualClock>();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        full = std::make_unique<TForm2>(form.get());
        form->setOtherWindows(full.get(), nullptr, nullptr);
        form->resize(1100, 760);
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        form.reset();
        full.reset();
        dialogs.reset();
        clock.reset();
        temp.reset();
    }

    void focusFollowsTheReadingOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("学汉字笔顺") << 0
                               << QStringList{"edt1", "btn1",  "btn78", "btn79", "rg11", "rg1",  "chkStrokeNames", "pnl3",
                                              "pnl4", "cbb3",  "cbb4",  "cbb1",  "cbb2", "pnl5", "rg2",
                                              "rg3",  "btn2",  "cbb5",  "cbb6",  "chk2", "cbbSpeed",
                                              "btn69", "btn70", "btn4", "btnSaveGif"};
        QTest::newRow("汉字字帖") << 2
                              << QStringList{"edt2", "pnl14", "pnl16", "btn76", "cbb7", "cbb8", "pnl15",
                                             "rg5",  "cbb9",  "cbb10", "rg6",   "rg7",  "btn72", "chk3",
                                             "chk4", "chkStrokeRow", "chkStrokeRowNames", "chkPinyin", "edt4"};
        QTest::newRow("字母/数字字帖") << 3
                                  << QStringList{"edt3", "rg8",   "pnl18", "pnl19", "pnl20", "cbb11", "cbb12",
                                                 "chk6", "chk7",  "btn75", "edt5",  "rg9",   "rg10",  "btn74"};
    }
    // Each page opens at its text field; Tab walks its controls in reading
    // order (a radio group is one stop, at its chosen item) and Shift+Tab
    // walks back.
    void focusFollowsTheReadingOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        if (page != 0)
            showPage(page);
        QCOMPARE(form->pgc1->currentIndex(), page);
        QCOMPARE(focusName(order), order.first());
        QStringList walked{order.first()};
        while (walked.size() < order.size()) {
            press(Qt::Key_Tab);
            const QString now = focusName(order);
            if (now != walked.last())
                walked << now;
            QVERIFY2(walked.size() <= order.size() && now == order.at(walked.size() - 1),
                     qPrintable(walked.join(QLatin1Char(' '))));
        }
        for (int i = order.size() - 2; i >= 0; --i) {
            do
                press(Qt::Key_Tab, Qt::ShiftModifier);
            while (focusName(order) == order.at(i + 1));
            QCOMPARE(focusName(order), order.at(i));
        }
    }

    // Space or Enter on a swatch opens the colour dialog, then the page is redrawn.
    void swatchesOpenTheirDialogFromTheKeyboard_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("tabs"); // from the text field
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<int>("key");
        QTest::newRow("pnl3 Space") << 0 << 7 << "pnl3" << int(Qt::Key_Space);
        QTest::newRow("pnl15 Enter") << 2 << 6 << "pnl15" << int(Qt::Key_Return);
        QTest::newRow("pnl20 keypad Enter") << 3 << 4 << "pnl20" << int(Qt::Key_Enter);
    }
    void swatchesOpenTheirDialogFromTheKeyboard()
    {
        QFETCH(int, page);
        QFETCH(int, tabs);
        QFETCH(QString, swatch);
        QFETCH(int, key);
        if (page == 0) {
            form->edt1->setText(QStringLiteral("一"));
            QTest::keyClick(form->edt1, Qt::Key_Return);
        } else {
            showPage(page);
        }
        for (int i = 0; i < tabs; ++i)
            press(Qt::Key_Tab);
        auto *s = qobject_cast<ColorSwatch *>(focused());
        QVERIFY2(s && s->objectName() == swatch, qPrintable(focusName({swatch})));
        QVERIFY(s->focusPolicy() == Qt::StrongFocus);
        dialogs->nextColor = QColor(255, 0, 0);
        press(Qt::Key(key));
        QCOMPARE(dialogs->colorStarts.size(), 1);
        QCOMPARE(s->color(), QColor(255, 0, 0));
        QCOMPARE(focused(), s); // the focus stays for the next key
        press(Qt::Key_A); // other keys do nothing
        QCOMPARE(dialogs->colorStarts.size(), 1);
    }

    // Ctrl+S and Ctrl+P reach the shown page's save and print buttons,
    // whatever control has the focus; on the first page Ctrl+P does nothing.
    void shortcutsReachTheShownPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::newRow("first page Ctrl+S") << 0 << int(Qt::Key_S) << "btn2";
        QTest::newRow("first page Ctrl+P") << 0 << int(Qt::Key_P) << "";
        QTest::newRow("汉字字帖 Ctrl+S") << 2 << int(Qt::Key_S) << "btn72";
        QTest::newRow("汉字字帖 Ctrl+P") << 2 << int(Qt::Key_P) << "btn76";
        QTest::newRow("字母字帖 Ctrl+S") << 3 << int(Qt::Key_S) << "btn74";
        QTest::newRow("字母字帖 Ctrl+P") << 3 << int(Qt::Key_P) << "btn75";
    }
    void shortcutsReachTheShownPage()
    {
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(QString, button);
        if (page != 0)
            showPage(page);
        press(Qt::Key_Tab); // away from the text field
        QStringList clicked;
        for (QPushButton *b : form->findChildren<QPushButton *>())
            connect(b, &QPushButton::clicked, this, [&clicked, b] { clicked << b->objectName(); });
        // Nothing to save on the first page, and no folder chosen: nothing runs.
        dialogs->folder.clear();
        dialogs->saveName.clear();
        dialogs->printOk = false;
        press(Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(clicked, button.isEmpty() ? QStringList() : QStringList{button});
        QTRY_VERIFY_WITH_TIMEOUT(!worksheetRunActive(form->charTab) && !worksheetRunActive(form->letterTab), 60000);
    }

    // F11 opens the full screen and leaves it; Escape stops the animation
    // and the stroke-by-stroke display, and the next Enter looks up at once.
    void fullScreenAndEscape()
    {
        form->edt1->setText(QStringLiteral("永"));
        form->rg11->setItemIndex(1);
        QTest::keyClick(form->edt1, Qt::Key_Return);
        clock->advance(200);
        QVERIFY(form->animation()->isRunning());
        const int shown = form->animation()->reveal()->linesRevealed();
        press(Qt::Key_Escape);
        QVERIFY(!form->animation()->isRunning());
        clock->advance(2000);
        QCOMPARE(form->animation()->reveal()->linesRevealed(), shown);
        QCOMPARE(focused(), form->edt1);
        form->rg11->setItemIndex(2);
        press(Qt::Key_Return);
        QVERIFY(form->tmr1->isActive());
        press(Qt::Key_Escape);
        QVERIFY(!form->tmr1->isActive() && !form->tmr2->isActive());

        press(Qt::Key_F11);
        QTRY_VERIFY(full->isVisible());
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == full.get());
        press(Qt::Key_F11);
        QTRY_VERIFY(!full->isVisible());
    }

    // Both page fields take the same numbers, step alike from page 0 and
    // past the end, and show page 0 as a blank page without a number.
    void pageFieldsAgree_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // then pressed, 0 for none
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("current"); // -1: the last page
        QTest::addColumn<int>("refusals"); // conversion messages, one per digit too many
        QTest::addColumn<QString>("shows"); // "blank", "number" (only), "sheet"
        for (const int page : {2, 3}) {
            const char *tab = page == 2 ? "汉字字帖" : "字母字帖";
            auto row = [&](const char *name) -> QTestData & { return QTest::addRow("%s %s", tab, name); };
            row("0") << page << "0" << 0 << "0" << qint64(0) << 0 << "blank";
            row("0 up") << page << "0" << int(Qt::Key_Up) << "1" << qint64(1) << 0 << "sheet";
            row("0 down") << page << "0" << int(Qt::Key_Down) << "1" << qint64(1) << 0 << "sheet";
            row("3 up") << page << "3" << int(Qt::Key_Up) << "4" << qint64(4) << 0 << "sheet";
            row("1 down") << page << "1" << int(Qt::Key_Down) << "1" << qint64(1) << 0 << "sheet";
            row("007") << page << "007" << 0 << "007" << qint64(7) << 0 << "sheet";
            row("past the end") << page << "150" << 0 << "150" << qint64(150) << 0 << "number";
            row("past the end down") << page << "150" << int(Qt::Key_Down) << "last" << qint64(-1) << 0
                                     << "sheet";
            row("largest integer") << page << "2147483647" << 0 << "2147483647" << qint64(2147483647) << 0
                                   << "number";
            row("one more") << page << "2147483648" << 0 << "2147483648" << qint64(214748364) << 1 << "number";
            row("eleven digits") << page << "99999999999" << 0 << "99999999999" << qint64(999999999) << 2
                                 << "number";
            row("letters") << page << "x" << 0 << "1" << qint64(1) << 0 << "sheet";
        }
    }
    void pageFieldsAgree()
    {
        QFETCH(int, page);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, field);
        QFETCH(qint64, current);
        QFETCH(int, refusals);
        QFETCH(QString, shows);
        showPage(page);
        const bool chars = page == 2;
        QLineEdit *edit = chars ? form->charTab->edt4 : form->letterTab->edt5;
        ImageView *img = chars ? form->img2 : form->img3;
        const qint64 last = chars ? 7 : 11;
        auto currentPage = [&] { return chars ? CurrentPage : form->letterTab->currentPage(); };
        // To the page field by Tab, as a keyboard user gets there.
        while (focused() != edit)
            press(Qt::Key_Tab);
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), typed);
        if (key)
            press(Qt::Key(key));
        QCOMPARE(edit->text(), field == "last" ? QString::number(last) : field);
        QCOMPARE(currentPage(), current < 0 ? last : current);
        QCOMPARE(dialogs->messages.size(), refusals);
        if (refusals)
            QCOMPARE(dialogs->messages.last(), QStringLiteral("'%1' is not a valid integer value").arg(typed));
        const QImage &pic = img->picture();
        const QRect number(660, 1030, 134, 93); // the page number's corner at 96 dpi
        const int inNumber = nonWhite(pic, number);
        const int all = nonWhite(pic, pic.rect());
        if (shows == "blank") {
            QCOMPARE(all, 0);
        } else if (shows == "number") {
            QVERIFY(inNumber > 0);
            QCOMPARE(all, inNumber);
        } else {
            QVERIFY(all > inNumber + 1000);
        }
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
