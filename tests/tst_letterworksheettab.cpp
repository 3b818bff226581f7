#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "ImageView.h"
#include "LetterWorksheetTab.h"
#include "PageModel.h"
#include "RadioGroup.h"
#include "UpDown.h"
#include "WorkProgress.h"
#include "WorksheetRuns.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

// The tab "字母/数字字帖" driven as a user drives it: mouse clicks on the
// tab, the mode items, the arrows and the panels; keys to the focused field.

namespace {

const QString Letters = QStringLiteral("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz");

bool isDark(QRgb c) { return qGray(c) < 90; }
bool isOlive(QRgb c) { return qRed(c) > qBlue(c) + 40 && qAbs(qRed(c) - qGreen(c)) < 25 && qRed(c) < 230; }
bool isSilver(QRgb c) { return qAbs(qRed(c) - qBlue(c)) < 20 && qGray(c) < 235 && qGray(c) > 100; }
bool isRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100; }

// Pixels of a kind in a rectangle given in points (96-dpi preview).
int countPt(const QImage &img, QRectF pt, bool (*pred)(QRgb))
{
    const QRect r = QRect(int(pt.x() * 4 / 3), int(pt.y() * 4 / 3), int(pt.width() * 4 / 3),
                          int(pt.height() * 4 / 3)) & img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(img.pixel(x, y));
    return n;
}

int pdfPages(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? int(f.readAll().count("/Type /Page\n")) : -1;
}

// The first letter cell of page row q and the band of its four lines.
QRectF firstLetterCell(int q) { return QRectF(38, 33 + (q - 1) * 52 - 8, 37, 46); }

} // namespace

class TestLetterWorksheetTab : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> form;
    LetterWorksheetTab *tab = nullptr;

    const QImage &pic() const { return tab->img3->picture(); }

    void clickMode(int index) { QTest::mouseClick(tab->rg8->item(index), Qt::LeftButton); }
    void clickIntoText()
    {
        QTest::mouseClick(tab->edt3, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), tab->edt3);
        QTest::keyClick(tab->edt3, Qt::Key_End);
    }
    // Keys go to whatever has the focus, as from the keyboard.
    // A save or print goes on after the click: wait for its worker.
    void waitForRun() { QTRY_VERIFY_WITH_TIMEOUT(!worksheetRunActive(tab), 60000); }
    static void type(const QString &keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    void typePage(const QString &page)
    {
        QTest::mouseClick(tab->edt5, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), tab->edt5);
        press(Qt::Key_A, Qt::ControlModifier);
        type(page);
    }
    void chooseRows(QComboBox *box, Qt::Key key)
    {
        box->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), box);
        press(key);
    }

private slots:
    void init()
    {
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(1100, 800);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        tab = form->letterTab;
        QVERIFY(tab);
        QVERIFY(pic().isNull()); // nothing drawn before the tab is shown
        QTabBar *bar = form->pgc1->tabBar();
        QCOMPARE(form->pgc1->tabText(3), QStringLiteral("字母/数字字帖"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        QTRY_COMPARE(form->pgc1->currentWidget(), static_cast<QWidget *>(tab));
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
    }

    void firstDisplay()
    {
        QCOMPARE(tab->objectName(), QStringLiteral("ts4"));
        QCOMPARE(tab->edt3->text(), Letters);
        QCOMPARE(tab->letterText(), Letters);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：11 页"));
        QCOMPARE(tab->edt5->text(), QStringLiteral("1"));
        QCOMPARE(tab->ud2->maximum(), 11);
        QCOMPARE(tab->currentPage(), 1);
        QCOMPARE(pic().size(), QSize(794, 1123));
        // Page 1: "AaBbC", a model in the first cell of rows 1, 4, 7, 10, 13.
        for (int q = 1; q <= 15; ++q)
            QCOMPARE(countPt(pic(), firstLetterCell(q), isDark) > 0, (q - 1) % 3 == 0);
        QVERIFY(countPt(pic(), QRectF(38, 33 + 14 * 52, 500, 31), isOlive) > 0); // the 15th group
        // Defaults of the other controls.
        QCOMPARE(tab->rg8->itemIndex(), 0);
        QCOMPARE(tab->cbb11->currentText(), QStringLiteral("3行"));
        QCOMPARE(tab->cbb11->count(), 15);
        QCOMPARE(tab->cbb12->currentText(), QStringLiteral("1行"));
        QCOMPARE(tab->cbb12->count(), 16);
        QVERIFY(tab->chk6->isChecked() && tab->chk7->isChecked());
        QCOMPARE(tab->rg9->itemIndex(), 1);
        QCOMPARE(tab->rg10->itemIndex(), 1);
        QVERIFY(!tab->btn73->isVisible());
        QCOMPARE(tab->img3->x(), std::max(0, (tab->scrlbx3->viewport()->width() - 794) / 2));
        // Switching away and back keeps the letter text and the page.
        QTabBar *bar = form->pgc1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        QCOMPARE(tab->letterText(), Letters);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：11 页"));
    }

    void keyFilter_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("note");
        QTest::addRow("letters") << 0 << QStringLiteral("x1 Y!.") << QStringLiteral("xY") << QStringLiteral("HelloWorld")
                                 << QStringLiteral("已略去：, 1 2 3 和 2 个空格（只能输入英文字母）");
        QTest::addRow("digits") << 1 << QStringLiteral("5a 9.,") << QStringLiteral("59") << QStringLiteral("123")
                                << QStringLiteral("已略去：H e l o , W r d 和 2 个空格（只能输入数字）");
    }
    void keyFilter()
    {
        QFETCH(int, mode);
        QFETCH(QString, keys);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, note);
        if (mode == 1)
            clickMode(1);
        const QString before = tab->edt3->text();
        clickIntoText();
        type(keys);
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_Eacute,
                            QStringLiteral("é"), Qt::NoModifier);
        QCOMPARE(tab->edt3->text(), before + typed);
        // A refused key says why.
        QCOMPARE(tab->lblLetterNote->text(), mode == 1 ? QStringLiteral("只能输入数字") : QStringLiteral("只能输入英文字母"));
        press(Qt::Key_Backspace);
        QCOMPARE(tab->edt3->text(), before + typed.left(1));
        // Both paste keys take what the kind allows and name the rest; copy and cut stay off.
        QGuiApplication::clipboard()->setText(QStringLiteral("Hello, World 123"));
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(tab->edt3->text(), before + typed.left(1) + pasted);
        QCOMPARE(tab->lblLetterNote->text(), note);
        press(Qt::Key_Insert, Qt::ShiftModifier);
        const QString now = before + typed.left(1) + pasted + pasted;
        press(Qt::Key_A, Qt::ControlModifier); // select all still works
        QCOMPARE(tab->edt3->selectedText(), now);
        press(Qt::Key_C, Qt::ControlModifier);
        press(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(tab->edt3->text(), now);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Hello, World 123"));
        // The page count follows the pasted text.
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：%1 页").arg(worksheetPageCount(int(now.size()), 3)));
        // The input method is off, and composed text is filtered all the same.
        QVERIFY(!tab->edt3->testAttribute(Qt::WA_InputMethodEnabled));
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("你好"));
        QApplication::sendEvent(tab->edt3, &composed);
        QCOMPARE(tab->edt3->text(), now);
    }

    void rightClickSelectsAllAndThePasteItemFilters()
    {
        QTest::mousePress(tab->edt3, Qt::RightButton);
        QCOMPARE(tab->edt3->selectedText(), Letters);
        QTest::mouseRelease(tab->edt3, Qt::RightButton);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), tab->edt3->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(tab->edt3, &menuEvent);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"));
        QVERIFY(paste);
        QGuiApplication::clipboard()->setText(QStringLiteral("Ab 1"));
        paste->trigger();
        menu->close();
        QCOMPARE(tab->edt3->text(), QStringLiteral("Ab"));
        QCOMPARE(tab->lblLetterNote->text(), QStringLiteral("已略去：1 和 1 个空格（只能输入英文字母）"));
        tab->edt3->setText(Letters);
    }

    void modeSwitching()
    {
        clickMode(1);
        QCOMPARE(tab->edt3->text(), QStringLiteral("0123456789"));
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：2 页"));
        QVERIFY(countPt(pic(), QRectF(33, 25, 44, 44), isOlive) > 0); // the first digit cell
        QVERIFY(countPt(pic(), QRectF(33, 25, 44, 44), isDark) > 0);  // its model "0"
        clickIntoText();
        for (int i = 0; i < 8; ++i)
            press(Qt::Key_Backspace);
        type(QStringLiteral("2"));
        QCOMPARE(tab->edt3->text(), QStringLiteral("012"));
        QCOMPARE(tab->digitText(), QStringLiteral("012"));
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：1 页"));
        clickMode(0);
        QCOMPARE(tab->edt3->text(), Letters);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：11 页"));
        QVERIFY(countPt(pic(), firstLetterCell(1), isDark) > 0);
        clickMode(1);
        QCOMPARE(tab->edt3->text(), QStringLiteral("012"));
        // Emptied digits come back as the default digits.
        clickIntoText();
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Backspace);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：1 页")); // an empty text counts nothing
        clickMode(0);
        clickMode(1);
        QCOMPARE(tab->edt3->text(), QStringLiteral("0123456789"));
    }

    void settingsRedrawOrRecount()
    {
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QCOMPARE(tab->edt5->text(), QStringLiteral("3"));
        QCOMPARE(tab->currentPage(), 3);
        const QRectF numberArea(500, 795, 95, 40);
        QVERIFY(countPt(pic(), numberArea, isDark) > 0);
        // Page numbers off: redrawn on the same page.
        QTest::mouseClick(tab->chk7, Qt::LeftButton);
        QCOMPARE(countPt(pic(), numberArea, isDark), 0);
        QCOMPARE(tab->currentPage(), 3);
        // No tracing rows: the same page without copies.
        QVERIFY(countPt(pic(), QRectF(75, 25, 480, 46), isSilver) > 0);
        chooseRows(tab->cbb12, Qt::Key_Home);
        QCOMPARE(tab->cbb12->currentText(), QStringLiteral("0行"));
        QCOMPARE(tab->currentPage(), 3);
        QCOMPARE(countPt(pic(), QRectF(75, 25, 480, 46), isSilver), 0);
        // Rows per character recount and go back to page 1.
        chooseRows(tab->cbb11, Qt::Key_Home);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：4 页"));
        QCOMPARE(tab->edt5->text(), QStringLiteral("1"));
        QCOMPARE(tab->ud2->maximum(), 4);
        QCOMPARE(tab->currentPage(), 1);
        for (int q = 1; q <= 15; ++q)
            QVERIFY(countPt(pic(), firstLetterCell(q), isDark) > 0);
    }

    void pageSelector()
    {
        for (int i = 0; i < 12; ++i)
            QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QCOMPARE(tab->edt5->text(), QStringLiteral("11"));
        QCOMPARE(tab->currentPage(), 11);
        // Page 11: "Zz" in rows 1 to 6.
        QVERIFY(countPt(pic(), firstLetterCell(4), isDark) > 0);
        QCOMPARE(countPt(pic(), firstLetterCell(7), isDark), 0);
        // Typed past the end: an empty page, no lines.
        typePage(QStringLiteral("99"));
        QCOMPARE(tab->currentPage(), 99);
        QCOMPARE(countPt(pic(), QRectF(38, 25, 520, 780), isOlive), 0);
        // Too large for a page number: the conversion error at the tenth
        // digit, and the page stays the last good one, far past the end.
        typePage(QStringLiteral("99999999999"));
        QCOMPARE(dialogs->messages.value(0), QStringLiteral("'9999999999' is not a valid integer value"));
        QCOMPARE(tab->currentPage(), 999999999);
        // A sheet of exactly 100 pages keeps the chosen page.
        clickIntoText();
        type(QString(48, QLatin1Char('k')));
        chooseRows(tab->cbb11, Qt::Key_End);
        QCOMPARE(tab->lbl27->text(), QStringLiteral("共：100 页"));
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QCOMPARE(tab->edt5->text(), QStringLiteral("3"));
        QCOMPARE(tab->currentPage(), 3);
    }

    void saveRun_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("files");
        QTest::addRow("digits png") << 1 << 2 << QStringList{"1.png", "2.png"};
        QTest::addRow("letters bmp") << 0 << 0 << QStringList{"1.bmp", "11.bmp"};
    }
    void saveRun()
    {
        QFETCH(int, mode);
        QFETCH(int, type);
        QFETCH(QStringList, files);
        if (mode == 1)
            clickMode(1);
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QTest::mouseClick(tab->rg9->item(type), Qt::LeftButton);
        QTest::mouseClick(tab->rg10->item(0), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->folder = out.path();
        QTest::mouseClick(tab->btn74, Qt::LeftButton);
        // The same run as the other copybook: a progress window, buttons off.
        QVERIFY(form->findChild<WorkProgress *>() && form->findChild<WorkProgress *>()->isVisible());
        QVERIFY(!tab->btn74->isEnabled() && !tab->btn75->isEnabled());
        waitForRun();
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("保存完毕！")});
        QVERIFY(tab->btn74->isEnabled() && tab->btn75->isEnabled());
        for (const QString &f : files) {
            const QImage page(out.filePath(f));
            QCOMPARE(page.size(), QSize(794, 1123));
            QCOMPARE(qRound(page.dotsPerMeterX() * 0.0254), 96);
        }
        // The selector and the page shown stay.
        QCOMPARE(tab->edt5->text(), QStringLiteral("2"));
        QCOMPARE(tab->currentPage(), 2);
        // A folder that cannot be written: said so, not "保存完毕！".
        dialogs->messages.clear();
        dialogs->folder = out.filePath("no/such");
        QTest::mouseClick(tab->btn74, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0] != QStringLiteral("保存完毕！"));
    }

    void savePdf()
    {
        QTest::mouseClick(tab->rg9->item(3), Qt::LeftButton);
        QVERIFY(!tab->rg10->isEnabled());
        QTemporaryDir out;
        dialogs->saveName = out.filePath("letters");
        QTest::mouseClick(tab->btn74, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("保存完毕！")});
        QCOMPARE(pdfPages(out.filePath("letters.pdf")), 11);
    }

    void print_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("sheets");
        QTest::addRow("digits jpg") << 1 << 1 << 0 << 0 << QStringLiteral("数学数字字帖") << 2 << 2;
        QTest::addRow("letters 10-11") << 0 << 1 << 10 << 11 << QStringLiteral("英文字母字帖") << 11 << 2;
        QTest::addRow("letters vector") << 0 << 3 << 0 << 0 << QStringLiteral("英文字母字帖") << 11 << 11;
    }
    void print()
    {
        QFETCH(int, mode);
        QFETCH(int, type);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, title);
        QFETCH(int, pageCount);
        QFETCH(int, sheets);
        if (mode == 1)
            clickMode(1);
        QTest::mouseClick(tab->ud2->upButton(), Qt::LeftButton);
        QTest::mouseClick(tab->rg9->item(type), Qt::LeftButton);
        QTest::mouseClick(tab->rg10->item(0), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->printFile = out.filePath("printed.pdf");
        dialogs->printFrom = from;
        dialogs->printTo = to;
        QTest::mouseClick(tab->btn75, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->printTitles, QStringList{title});
        QCOMPARE(dialogs->printPageCounts, QList<int>{pageCount});
        QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->messages.join('|')));
        QCOMPARE(pdfPages(dialogs->printFile), sheets);
        QCOMPARE(tab->currentPage(), 2); // the page shown, as the selector says
        QVERIFY(tab->btn75->isEnabled() && tab->grp5->isEnabled());
        // Cancelled: nothing printed, the buttons back.
        dialogs->printOk = false;
        dialogs->printFile = out.filePath("cancelled.pdf");
        QTest::mouseClick(tab->btn75, Qt::LeftButton);
        waitForRun();
        QVERIFY(!QFile::exists(dialogs->printFile));
        QVERIFY(tab->btn75->isEnabled() && tab->grp5->isEnabled());
    }

    void colourPanelsRedraw()
    {
        dialogs->nextColor = Qt::red;
        QTest::mouseClick(tab->pnl18, Qt::LeftButton);
        QCOMPARE(tab->pnl18->color(), QColor(Qt::red));
        QVERIFY(countPt(pic(), firstLetterCell(1), isRed) > 0);
    }

    void centringAndWheel()
    {
        form->resize(1500, 900);
        QTRY_COMPARE(tab->img3->x(), std::max(0, (tab->scrlbx3->viewport()->width() - 794) / 2));
        QVERIFY(tab->img3->x() > 0);
        QScrollBar *bar = tab->scrlbx3->verticalScrollBar();
        QCOMPARE(bar->value(), 0);
        const QPointF at(100, 100);
        QWheelEvent down(at, tab->img3->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(tab->img3, &down);
        QCOMPARE(bar->value(), std::min(bar->maximum(), bar->pageStep()));
    }
};

QTEST_MAIN(TestLetterWorksheetTab)
#include "tst_letterworksheettab.moc"
