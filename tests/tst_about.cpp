#include "DoDeze.h"
#include "about.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString Description =
    QStringLiteral("        本软件共收录了GB2312-1980国标字符集里的6763个汉字，适合学前儿童及上小学的小朋友学习汉字及拼音字母。\n"
                   "        为适用更多的使用环境，针对软件进行优化设计，如：在家的小朋友在大人的陪同下直接打开软件学习，"
                   "辅导老师可保存笔顺为图片使用Office软件进行整理使用，多媒体教室可以使用全屏模式让笔顺以满屏方式显示，"
                   "出版社可保存笔顺为高分辨率（300dpi或600dpi）图片方便排版印刷等。");

// What a look inside the open dialog saw.
struct Seen
{
    bool ran = false;
    bool visible = false;
    bool modal = false;
    bool focusOnButton = false;
    bool openAfterEscape = false;
    int mainClicks = 0;
    QImage picture;
    QRect frame;
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm6> about;
    int btn78Clicks = 0;

    void clickMainWindow()
    {
        const QPoint p = form->btn78->mapTo(form.get(), form->btn78->rect().center());
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, p);
    }

    // Opens the dialog through "关于"; `close` runs inside it, after the look,
    // and must end the modal show. A watchdog ends it if it does not.
    Seen openAndLook(const std::function<void()> &close)
    {
        Seen seen;
        QTimer::singleShot(0, about.get(), [&] {
            seen.ran = true;
            seen.visible = about->isVisible();
            seen.modal = QApplication::activeModalWidget() == about.get();
            // The button holds the dialog's focus, and the keyboard's once
            // the window system has activated the dialog.
            seen.focusOnButton = about->focusWidget() == about->btn1
                && QTest::qWaitFor([this] { return QApplication::focusWidget() == about->btn1; }, 3000);
            seen.frame = about->frameGeometry();
            seen.picture = about->grab().toImage();
            const int before = btn78Clicks;
            clickMainWindow();
            seen.mainClicks = btn78Clicks - before;
            QTest::keyClick(about->windowHandle(), Qt::Key_Escape);
            seen.openAfterEscape = about->isVisible();
            close();
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, about.get(), [this] { about->done(-1); });
        watchdog.start(10000);
        form->btn70->click(); // returns when the dialog is closed
        watchdog.stop();
        return seen;
    }

private slots:
    void initTestCase()
    {
        form = std::make_unique<TForm1>(96.0);
        about = std::make_unique<TForm6>(form.get());
        form->setOtherWindows(nullptr, nullptr, about.get());
        connect(form->btn78, &QPushButton::clicked, this, [this] { ++btn78Clicks; });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanupTestCase()
    {
        about.reset();
        form.reset();
    }

    void content()
    {
        QCOMPARE(about->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(about->size(), QSize(634, 452));
        QCOMPARE(about->minimumSize(), QSize(634, 452));
        QCOMPARE(about->maximumSize(), QSize(634, 452));
        QVERIFY(!(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(about->font().pixelSize(), 11);

        QCOMPARE(about->lbl1->text(), Description);
        QVERIFY(about->lbl1->wordWrap());
        QCOMPARE(about->lbl1->geometry(), QRect(32, 17, 567, 89));
        QVERIFY(about->lbl3->text().isEmpty());
        QCOMPARE(about->lbl3->geometry(), QRect(35, 93, 564, 13));
        QCOMPARE(about->img1->geometry(), QRect(96, 120, 450, 271));
        QCOMPARE(about->img1->pixmap().size(), QSize(450, 271));
        QCOMPARE(about->btn1->text(), QStringLiteral("确定"));
        QCOMPARE(about->btn1->geometry(), QRect(532, 405, 75, 25));

        // The button is the only control that takes the focus.
        const auto focusable = about->findChildren<QWidget *>();
        for (QWidget *w : focusable)
            if (w != about->btn1)
                QVERIFY2(w->focusPolicy() == Qt::NoFocus, qPrintable(w->objectName()));
        QVERIFY(about->btn1->focusPolicy() != Qt::NoFocus);
    }

    void descriptionFitsItsLabel()
    {
        // Both paragraphs, wrapped at the label's width, fit its height.
        const int needed = about->lbl1->heightForWidth(about->lbl1->width());
        QVERIFY2(needed <= 89, qPrintable(QString::number(needed)));
        QVERIFY(needed >= 3 * QFontMetrics(about->lbl1->font()).height()); // it does wrap
    }

    void openedTwiceShowsTheSameAndBlocksTheMainWindow()
    {
        const Seen first = openAndLook([this] { QTest::keyClick(about->windowHandle(), Qt::Key_Return); });
        QVERIFY(first.ran);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
        const Seen second = openAndLook([this] { QTest::keyClick(about->windowHandle(), Qt::Key_Space); });
        QVERIFY(second.ran);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));

        for (const Seen &s : {first, second}) {
            QVERIFY(s.visible);
            QVERIFY(s.modal);
            QVERIFY(s.focusOnButton);
            QCOMPARE(s.mainClicks, 0);
            QVERIFY(s.openAfterEscape);
            // Centred on the desktop.
            const QPoint centre = about->screen()->availableGeometry().center();
            QVERIFY(qAbs(s.frame.center().x() - centre.x()) <= 1);
            QVERIFY(qAbs(s.frame.center().y() - centre.y()) <= 1);
        }
        QCOMPARE(first.picture.size(), QSize(634, 452));
        QCOMPARE(first.picture, second.picture);

        // The same click reaches the main window once the dialog is closed.
        const int before = btn78Clicks;
        clickMainWindow();
        QCOMPARE(btn78Clicks - before, 1);
    }

    void closeBoxAndButtonEndTheShow()
    {
        const Seen byClose = openAndLook([this] { about->close(); });
        QVERIFY(byClose.ran);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Rejected));
        const Seen byButton = openAndLook([this] { QTest::mouseClick(about->btn1, Qt::LeftButton); });
        QVERIFY(byButton.ran);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
