// The "汉字字帖" tab, driven by real input through the main window.
#include "CharWorksheetTab.h"
#include "ColorSwatch.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "Graphics.h"
#include "ImageView.h"
#include "PagePainter.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "WorkProgress.h"
#include "WorksheetRuns.h"
#include "WorksheetState.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QImageReader>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

int countIn(const QImage &img, QRect r, bool (*pred)(QRgb))
{
    r &= img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += pred(img.pixel(x, y));
    return n;
}
bool isInk(QRgb c) { return qGray(c) < 90; }
bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; }
bool isFrame(QRgb c) { return qBlue(c) + 40 < qRed(c) && qAbs(qRed(c) - qGreen(c)) < 25 && qRed(c) < 230; }

// The preview cell (row q, column c), from 0, inset from its frame.
QRect cell(int q, int c)
{
    return QRect((33 + 44 * c) * 4 / 3 + 5, (28 + 53 * q) * 4 / 3 + 5, 48, 48);
}

QByteArray bytesOf(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPages(const QString &file)
{
    return QFile::exists(file) ? int(bytesOf(file).count("/Type /Page\n")) : -1;
}

// A document title as the PDF holds it: UTF-16 big-endian after a mark.
QByteArray pdfTitle(const QString &title)
{
    QByteArray t("/Title (\xfe\xff", 10);
    for (QChar c : title)
        t.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    return t + ')';
}

} // namespace

class TestCharWorksheet : public QObject
{
    Q_OBJECT
    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> temp;
    CharWorksheetTab *tab = nullptr;

    const QImage &pic() const { return tab->img2->picture(); }

    // The print run's private folder is gone and the shared picture folder
    // under TEMP stays unused.
    bool noPrintLeftovers() const
    {
        const QDir t(temp->path());
        return t.entryList(QDir::NoDotAndDotDot | QDir::AllEntries) == QStringList{QStringLiteral("jivpic")}
               && QDir(t.filePath("jivpic")).isEmpty();
    }

    // A save or print goes on after the click: wait for its worker (and
    // its sheets) to end.
    void waitForRun()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!worksheetRunActive(tab), 60000);
    }
    WorkProgress *progress() const { return form->findChild<WorkProgress *>(); }

    // The default text fifteen times: about a hundred pages.
    void pasteLongText()
    {
        QApplication::clipboard()->setText(tab->edt2->text().repeated(15));
        tab->edt2->setFocus();
        QTest::keyClick(tab->edt2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(tab->edt2, Qt::Key_V, Qt::ControlModifier);
    }

    void openTab()
    {
        QTabBar *bar = form->pgc1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QCOMPARE(form->pgc1->currentWidget(), form->ts3);
    }
    void typeInto(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        // Chinese arrives as key events carrying their text.
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void pickIndex(QComboBox *box, int index)
    {
        box->setFocus();
        while (box->currentIndex() < index)
            QTest::keyClick(box, Qt::Key_Down);
        while (box->currentIndex() > index)
            QTest::keyClick(box, Qt::Key_Up);
    }
    void clickPage(int times, QToolButton *arrow)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(arrow, Qt::LeftButton);
    }

private slots:
    void init()
    {
        resetQueryState();
        CurrentPage = 1;
        temp = std::make_unique<QTemporaryDir>();
        qputenv("TEMP", temp->path().toUtf8());
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(1100, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        tab = form->charTab;
        QVERIFY(tab);
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
    }

    void firstDisplayCountsAndDraws()
    {
        QVERIFY(tab->lbl24->text().isEmpty());
        QVERIFY(pic().isNull());
        openTab();
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：7 页A4纸"));
        QCOMPARE(tab->edt4->text(), QStringLiteral("1"));
        QCOMPARE(tab->pageMaximum(), 7);
        QCOMPARE(pic().size(), QSize(794, 1123));
        QVERIFY(countIn(pic(), cell(0, 0), isInk) > 100); // the model
        QVERIFY(countIn(pic(), cell(1, 0), isInk) == 0);
        for (const char *name : {"lbl12", "edt2", "pnl14", "pnl16", "grp3", "cbb7", "cbb8", "pnl15", "cbb9",
                                 "cbb10", "chk3", "chk4", "chkStrokeRow", "chkStrokeRowNames", "chkPinyin", "rg4", "rg5", "btn71", "btn76", "grp4", "rg6",
                                 "rg7", "btn72", "lbl24", "edt4", "ud1", "pnl12", "pnl13", "scrlbx2", "img2"})
            QVERIFY2(tab->findChild<QWidget *>(QLatin1String(name)), name);
        QVERIFY(!tab->btn71->isVisible());
        // The page stays centred in its panel as the window grows.
        for (int width : {1100, 1500}) {
            form->resize(width, 700);
            QTRY_COMPARE(tab->img2->x(), (tab->scrlbx2->viewport()->width() - 794) / 2);
        }
        QVERIFY(!tab->rg4->isEnabled());
        QVERIFY(dialogs->messages.isEmpty());
    }

    // Settings redraw the page shown; rows per character and the numbering
    // side recount and go back to page 1.
    void settingsKeepOrResetThePage()
    {
        openTab();
        clickPage(2, tab->ud1Up);
        QCOMPARE(tab->edt4->text(), QStringLiteral("3"));
        QCOMPARE(CurrentPage, 3);
        const QImage before = pic();
        pickIndex(tab->cbb7, 0); // no grid
        QCOMPARE(CurrentPage, 3);
        QVERIFY(countIn(pic(), QRect(40, 30, 700, 1000), isFrame) == 0);
        QVERIFY(pic() != before);
        pickIndex(tab->cbb10, 3);
        QVERIFY(countIn(pic(), cell(1, 1), isInk) == 0 && countIn(pic(), cell(1, 1), [](QRgb c) { return qGray(c) < 230; }) > 50);
        QTest::mouseClick(tab->chk3, Qt::LeftButton);
        QCOMPARE(tab->edt4->text(), QStringLiteral("3"));
        QTest::mouseClick(tab->rg5->item(1), Qt::LeftButton);
        QCOMPARE(tab->edt4->text(), QStringLiteral("1"));
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：7 页A4纸"));
        clickPage(1, tab->ud1Up);
        pickIndex(tab->cbb9, 0);
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：3 页A4纸"));
        QCOMPARE(tab->edt4->text(), QStringLiteral("1"));
        clickPage(9, tab->ud1Up); // the arrows stop at the last page
        QCOMPARE(tab->edt4->text(), QStringLiteral("3"));
    }

    // "笔顺行" puts each character's stroke order above its rows: the count
    // grows (33 more rows: 9 pages), the selector goes back to page 1, and
    // the first row shows stroke 1 where the model stood.
    void strokeRowBoxRecounts()
    {
        openTab();
        QCOMPARE(tab->chkStrokeRow->text(), QStringLiteral("笔顺行"));
        QVERIFY(!tab->chkStrokeRow->isChecked());
        const int model = countIn(pic(), cell(0, 0), isInk);
        clickPage(2, tab->ud1Up);
        QTest::mouseClick(tab->chkStrokeRow, Qt::LeftButton);
        QVERIFY(tab->chkStrokeRow->isChecked());
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：9 页A4纸"));
        QCOMPARE(tab->pageMaximum(), 9);
        QCOMPARE(tab->edt4->text(), QStringLiteral("1"));
        QCOMPARE(CurrentPage, 1);
        const int firstStroke = countIn(pic(), cell(0, 0), isInk);
        QVERIFY(firstStroke > 0 && firstStroke < model / 2);
        QVERIFY(countIn(pic(), cell(1, 0), isInk) > model * 3 / 4); // the model, a row down
        clickPage(9, tab->ud1Up);
        QCOMPARE(tab->edt4->text(), QStringLiteral("9"));
        QTest::mouseClick(tab->chkStrokeRow, Qt::LeftButton);
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：7 页A4纸"));
        QCOMPARE(countIn(pic(), cell(0, 0), isInk), model);
        QVERIFY(dialogs->messages.isEmpty());
    }

    // "拼音" adds a pinyin row above each character's model row: 132 rows,
    // 9 pages; with the stroke-order rows as well 165 rows, 11 pages. The
    // model moves a row down and its reading stands above it.
    void pinyinBoxRecounts()
    {
        openTab();
        QCOMPARE(tab->chkPinyin->text(), QStringLiteral("拼音"));
        const int model = countIn(pic(), cell(0, 0), isInk);
        QTest::mouseClick(tab->chkPinyin, Qt::LeftButton);
        QVERIFY(tab->chkPinyin->isChecked());
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：9 页A4纸"));
        QCOMPARE(tab->pageMaximum(), 9);
        const int reading = countIn(pic(), cell(0, 0), isInk);
        QVERIFY2(reading > 20 && reading < model, qPrintable(QString::number(reading)));
        QCOMPARE(countIn(pic(), cell(0, 1), isInk), 0); // the child's box
        QVERIFY(countIn(pic(), cell(1, 0), isInk) > model * 3 / 4);
        QTest::mouseClick(tab->chkStrokeRow, Qt::LeftButton);
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：11 页A4纸"));
        QTest::mouseClick(tab->chkPinyin, Qt::LeftButton);
        QTest::mouseClick(tab->chkStrokeRow, Qt::LeftButton);
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：7 页A4纸"));
        QCOMPARE(countIn(pic(), cell(0, 0), isInk), model);
        QVERIFY(dialogs->messages.isEmpty());
    }

    void typingRecounts()
    {
        openTab();
        typeInto(tab->edt2, QStringLiteral("天地人"));
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：1 页A4纸"));
        typeInto(tab->edt2, QString());
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：1 页A4纸")); // an empty text changes nothing
        QVERIFY(countIn(pic(), cell(0, 0), isInk) > 100);
        // A right click selects the whole text.
        typeInto(tab->edt2, QStringLiteral("天地"));
        QTest::mouseClick(tab->edt2, Qt::RightButton);
        QCOMPARE(tab->edt2->selectedText(), QStringLiteral("天地"));
    }

    // Exactly 100 pages: choosing a page must not send the user back to 1.
    void hundredPagesKeepTheChosenPage()
    {
        openTab();
        QString text;
        for (int i = 0; i < 100; ++i)
            text += QChar(0x4E00 + (i % 2 ? 0x4E : 0x0)); // 一 and 乎, both supported
        tab->edt2->setFocus();
        tab->edt2->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(tab->edt2, Qt::Key_V, Qt::ControlModifier);
        pickIndex(tab->cbb9, 14);
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：100 页A4纸"));
        typeInto(tab->edt4, QStringLiteral("5"));
        QCOMPARE(CurrentPage, 5);
        QCOMPARE(tab->edt4->text(), QStringLiteral("5"));
        clickPage(1, tab->ud1Up);
        QCOMPARE(CurrentPage, 6);
    }

    void pagesOutsideTheWorksheet()
    {
        openTab();
        typeInto(tab->edt4, QStringLiteral("0"));
        QCOMPARE(CurrentPage, 0);
        QCOMPARE(countIn(pic(), QRect(0, 0, 794, 1123), isInk), 0);
        typeInto(tab->edt4, QStringLiteral("2147483647"));
        QCOMPARE(CurrentPage, 2147483647LL);
        QCOMPARE(countIn(pic(), cell(0, 0), isInk), 0);
        QVERIFY(countIn(pic(), QRect(700, 1070, 94, 50), isInk) > 0); // only the number
        typeInto(tab->edt4, QStringLiteral("123456789012345678901234"));
        QCOMPARE(CurrentPage, 1234567890LL); // the last number that converted
        QVERIFY(dialogs->messages.last().contains(QStringLiteral("is not a valid integer value")));
    }

    // A pasted text with letters, spaces, punctuation and emoji: those are
    // left out of the sheet and named beside the page count, never asked about.
    void mixedTextLeavesOutWhatCannotBeDrawn()
    {
        openTab();
        const QString original = tab->edt2->text();
        tab->edt2->setFocus();
        QTest::keyClick(tab->edt2, Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(QStringLiteral("Hi 你好！"));
        QTest::keyClick(tab->edt2, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(tab->edt2->text(), QStringLiteral("Hi 你好！"));
        QCOMPARE(tab->lbl24->text(), QStringLiteral("共：1 页A4纸"));
        QCOMPARE(tab->lblLeftOut->text(), QStringLiteral("已略去：H i ！ 和 1 个空格"));
        QVERIFY(dialogs->messages.isEmpty());
        // Page 1 shows 你 then 好, as if they had been typed alone.
        WorksheetSettings alone = tab->settings();
        QCOMPARE(alone.text, QStringLiteral("你好"));
        QImage expected(pic().size(), QImage::Format_ARGB32);
        expected.fill(Qt::white);
        {
            Graphics g(expected, form->data().PixelsPerPoint * 72.0);
            g.setPageUnit(PageUnit::Point);
            g.setAntialiasing(true);
            paintWorksheetPage(g, form->data(), alone, 1,
                               PageCanvas{QSizeF(expected.size()) * form->data().PointsPerPixel, PageOutput::Preview});
        }
        QCOMPARE(pic().convertToFormat(QImage::Format_ARGB32), expected);
        QVERIFY(countIn(pic(), cell(0, 0), isInk) > 0);
        QTest::sendKeyEvent(QTest::Click, tab->edt2, Qt::Key_unknown, QStringLiteral("😀"), Qt::NoModifier);
        QCOMPARE(tab->lblLeftOut->text(), QStringLiteral("已略去：H i ！ 😀 和 1 个空格"));
        // Nothing drawable at all: a blank page, and saving says why instead of writing nothing silently.
        QTest::keyClick(tab->edt2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(tab->edt2, QStringLiteral("Hi"));
        QCOMPARE(countIn(pic(), QRect(0, 0, 794, 1123), isInk), 0);
        QTest::mouseClick(tab->btn72, Qt::LeftButton);
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("没有可以写的汉字。已略去：H i")});
        QVERIFY(dialogs->folderStarts.isEmpty());
        tab->edt2->setText(original);
    }

    void saveRun_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("ext");
        QTest::newRow("jpg") << 1 << ".jpg";
        QTest::newRow("png") << 2 << ".png";
        QTest::newRow("bmp") << 0 << ".bmp";
    }
    void saveRun()
    {
        QFETCH(int, type);
        QFETCH(QString, ext);
        openTab();
        clickPage(1, tab->ud1Up);
        QTest::mouseClick(tab->rg6->item(type), Qt::LeftButton);
        QTest::mouseClick(tab->rg7->item(0), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->folder = out.path();
        QTest::mouseClick(tab->btn72, Qt::LeftButton);
        // Under way: the progress window shows, the run's buttons wait.
        QVERIFY(progress() && progress()->isVisible());
        QVERIFY(!tab->btn72->isEnabled() && !tab->btn76->isEnabled());
        waitForRun();
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("保存完毕！")});
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("字帖已保存：") + out.path());
        QVERIFY(!progress());
        QVERIFY(tab->btn72->isEnabled() && tab->btn76->isEnabled());
        for (int p = 1; p <= 7; ++p)
            QVERIFY(QFile::exists(out.filePath(QString::number(p) + ext)));
        QCOMPARE(CurrentPage, 2);
        QCOMPARE(tab->edt4->text(), QStringLiteral("2"));
    }

    void saveRunReportsWhatWasNotWritten()
    {
        openTab();
        QTest::mouseClick(tab->rg7->item(0), Qt::LeftButton);
        QTemporaryDir out;
        QVERIFY(QDir(out.path()).mkdir(QStringLiteral("7.jpg"))); // page 7 cannot take its name
        dialogs->folder = out.path();
        dialogs->messages.clear();
        QTest::mouseClick(tab->btn72, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].contains(QStringLiteral("有 1 页没有保存")));
        QVERIFY(dialogs->messages[0].contains(QStringLiteral("第 7 页")));
        QVERIFY(QFile::exists(out.filePath("6.jpg")));
        QVERIFY(QFileInfo(out.filePath("7.jpg")).isDir());
    }

    void savePdf()
    {
        openTab();
        QTest::mouseClick(tab->rg6->item(3), Qt::LeftButton);
        QVERIFY(!tab->rg7->isEnabled());
        QTemporaryDir out;
        dialogs->saveName = out.filePath("book");
        QTest::mouseClick(tab->btn72, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("保存完毕！")});
        QCOMPARE(pdfPages(out.filePath("book.pdf")), 7);
        QVERIFY(bytesOf(out.filePath("book.pdf")).contains(pdfTitle(QStringLiteral("语文汉字字帖"))));
        // Replacing it asks first; the dialog opens where the last one went, named after the copybook.
        QTest::mouseClick(tab->btn72, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->questions.size(), 1);
        QCOMPARE(dialogs->suggestions.last(), out.filePath(QStringLiteral("语文汉字字帖.pdf")));
    }

    // 停止 in the progress window of a long run, or closing the main window
    // during it: pictures keep the pages written so far, each whole; a PDF
    // save and a print leave nothing.
    void stopEndsTheRun_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("print");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QString>("stopped");
        const QString pictures = QStringLiteral("已停止：已保存 %1 页，共 %2 页");
        QTest::newRow("pictures") << 1 << false << false << pictures;
        QTest::newRow("pdf") << 3 << false << false << QStringLiteral("已停止：没有保存 PDF");
        QTest::newRow("print") << 1 << true << false << QStringLiteral("已停止：没有打印");
        QTest::newRow("pictures, window closed") << 1 << false << true << QString();
        QTest::newRow("pdf, window closed") << 3 << false << true << QString();
        QTest::newRow("print, window closed") << 1 << true << true << QString();
    }
    void stopEndsTheRun()
    {
        QFETCH(int, type);
        QFETCH(bool, print);
        QFETCH(bool, closing);
        QFETCH(QString, stopped);
        openTab();
        pasteLongText();
        const int n = tab->CharPageCount();
        QVERIFY2(n >= 90, qPrintable(QString::number(n)));
        QTest::mouseClick(tab->rg6->item(type), Qt::LeftButton);
        QTest::mouseClick(tab->rg7->item(1), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->folder = out.path();
        dialogs->saveName = out.filePath("book.pdf");
        dialogs->printFile = out.filePath("printed.pdf");
        dialogs->messages.clear();
        QTest::mouseClick(print ? tab->btn76 : tab->btn72, Qt::LeftButton);
        const QPointer<WorkProgress> p = progress();
        QVERIFY(p && p->isVisible());
        QVERIFY(!tab->btn72->isEnabled() && !tab->btn76->isEnabled());
        QCOMPARE(p->lblRun->text().section(QStringLiteral("："), -1), QStringLiteral("第 1 / %1 页").arg(n));
        QTRY_VERIFY_WITH_TIMEOUT(p->pbRun->value() >= 2, 60000); // two pages done on the worker
        if (closing) {
            // The program ends: the run stops with the window, silently.
            form->close();
            form.reset();
            const QStringList files = QDir(out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
            QVERIFY(dialogs->messages.isEmpty());
            QVERIFY2(files.size() < n && (files.isEmpty() || type != 3), qPrintable(files.join(' ')));
            if (type == 3 || print)
                QVERIFY(files.isEmpty());
            for (int page = 1; page <= files.size(); ++page)
                QCOMPARE(QImageReader(out.filePath(QStringLiteral("%1.jpg").arg(page))).read().size(),
                         a4PicturePixels(300));
            QVERIFY(noPrintLeftovers());
            return;
        }
        QTest::mouseClick(p->btnStop, Qt::LeftButton);
        waitForRun();
        const QStringList files = QDir(out.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        if (type == 3 || print) {
            QCOMPARE(dialogs->messages, QStringList{stopped});
            QVERIFY2(files.isEmpty(), qPrintable(files.join(' ')));
        } else {
            QVERIFY2(files.size() >= 2 && files.size() < n, qPrintable(files.join(' ')));
            QCOMPARE(dialogs->messages, QStringList{stopped.arg(files.size()).arg(n)});
            QCOMPARE(form->statusBar()->currentMessage(),
                     QStringLiteral("字帖已保存 %1 页：%2").arg(files.size()).arg(out.path()));
            for (int page = 1; page <= files.size(); ++page)
                QCOMPARE(QImageReader(out.filePath(QStringLiteral("%1.jpg").arg(page))).read().size(),
                         a4PicturePixels(300));
        }
        QVERIFY(!progress());
        QVERIFY(tab->btn72->isEnabled() && tab->btn76->isEnabled());
        QVERIFY(noPrintLeftovers());
    }

    // Once the sheets go to the printer the job is handed over whole: 停止
    // is off, and closing the window still gives the printer every sheet.
    void closingWhileTheSheetsGoOut()
    {
        openTab();
        pasteLongText();
        QTest::mouseClick(tab->rg7->item(1), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->printFile = out.filePath("printed.pdf");
        dialogs->printFrom = 1;
        dialogs->printTo = 20;
        QTest::mouseClick(tab->btn76, Qt::LeftButton);
        const QPointer<WorkProgress> p = progress();
        QVERIFY(p);
        QTRY_VERIFY_WITH_TIMEOUT(p->lblRun->text().startsWith(QStringLiteral("正在送往打印机")), 60000);
        QVERIFY(!p->btnStop->isEnabled());
        form->close();
        form.reset();
        QCOMPARE(pdfPages(dialogs->printFile), 20);
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(noPrintLeftovers());
    }

    void print_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("sheets");
        QTest::newRow("all, jpg") << 1 << 0 << 0 << 1 << 7;
        QTest::newRow("range 2-3") << 1 << 2 << 3 << 1 << 2;
        QTest::newRow("two copies of 7") << 2 << 7 << 7 << 2 << 2;
        QTest::newRow("vector") << 3 << 0 << 0 << 1 << 7;
        QTest::newRow("pages 1,3-4") << 1 << -1 << 0 << 1 << 3;
        QTest::newRow("pages 1,3-4 x2, vector") << 3 << -1 << 0 << 2 << 6;
    }
    void print()
    {
        QFETCH(int, type);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(int, sheets);
        openTab();
        clickPage(3, tab->ud1Up);
        QTest::mouseClick(tab->rg6->item(type), Qt::LeftButton);
        QTest::mouseClick(tab->rg7->item(0), Qt::LeftButton);
        QTemporaryDir out;
        dialogs->printFile = out.filePath("printed.pdf");
        dialogs->printFrom = from < 0 ? 1 : from;
        dialogs->printTo = from < 0 ? 4 : to;
        if (from < 0)
            dialogs->printRanges = QStringLiteral("1,3-4");
        dialogs->printCopies = copies;
        QTest::mouseClick(tab->btn76, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->printTitles, QStringList{QStringLiteral("语文汉字字帖")});
        QCOMPARE(dialogs->printPageCounts, QList<int>{7});
        QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->messages.join('|')));
        QCOMPARE(pdfPages(dialogs->printFile), sheets);
        const QByteArray printed = bytesOf(dialogs->printFile);
        QVERIFY(printed.contains(pdfTitle(QStringLiteral("语文汉字字帖")))); // the job's title
        QCOMPARE(int(printed.count("/MediaBox [0 0 595")), sheets);      // A4 portrait
        QCOMPARE(CurrentPage, 4); // the page shown, as the selector says
        QVERIFY(tab->btn76->isEnabled() && tab->grp4->isEnabled());
        QVERIFY(noPrintLeftovers());
        // Said only once the sheets are out, and how many.
        QCOMPARE(form->statusBar()->currentMessage(),
                 QStringLiteral("已打印 %1 张到文件：%2").arg(sheets).arg(QDir::toNativeSeparators(dialogs->printFile)));
    }

    void printCancelledOrFailing()
    {
        openTab();
        QTemporaryDir out;
        dialogs->printFile = out.filePath("printed.pdf");
        dialogs->printOk = false;
        QTest::mouseClick(tab->btn76, Qt::LeftButton);
        waitForRun();
        QVERIFY(!QFile::exists(dialogs->printFile));
        QVERIFY(tab->btn76->isEnabled() && tab->grp4->isEnabled());
        QVERIFY(dialogs->messages.isEmpty());
        // A printer that cannot start: reported, buttons back.
        dialogs->printOk = true;
        dialogs->printFile = out.filePath("no/such/folder/printed.pdf");
        QTest::mouseClick(tab->btn76, Qt::LeftButton);
        waitForRun();
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].startsWith(QStringLiteral("打印失败")));
        QVERIFY(!form->statusBar()->currentMessage().startsWith(QStringLiteral("已打印")));
        QVERIFY(tab->btn76->isEnabled() && tab->grp4->isEnabled());
        QVERIFY(noPrintLeftovers());
    }

    void colourAndWheel()
    {
        openTab();
        dialogs->nextColor = Qt::red;
        QTest::mouseClick(tab->pnl16, Qt::LeftButton);
        QVERIFY(countIn(pic(), cell(0, 1), isRed) > 100);
        QVERIFY(countIn(pic(), cell(0, 0), isRed) == 0);
        dialogs->colorOk = false; // cancelled: still redrawn, colours kept
        QTest::mouseClick(tab->pnl14, Qt::LeftButton);
        QVERIFY(countIn(pic(), cell(0, 0), isInk) > 100);

        QScrollBar *bar = tab->scrlbx2->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QWidget *view = tab->scrlbx2->viewport();
        const QPoint at = view->rect().center();
        QWheelEvent down(at, view->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &down);
        QCOMPARE(bar->value(), qMin(bar->maximum(), bar->pageStep()));
        QWheelEvent up(at, view->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &up);
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(TestCharWorksheet)
#include "tst_charworksheet.moc"
