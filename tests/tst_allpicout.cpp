#include "AllPicOut.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "MySelectFolder.h"
#include "QueryState.h"
#include "RadioGroup.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestAllPicOut : public QObject
{
    Q_OBJECT
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> main;
    std::unique_ptr<TForm5> form;
    std::unique_ptr<QTemporaryDir> tmp;

    QStringList files() const
    {
        return QDir(tmp->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name);
    }

    void chooseFolder(const QString &folder)
    {
        dialogs->folder = folder;
        form->btn1Click();
    }

    // The run goes on in the export engine's workers: wait for its end.
    void exportMemo(const QString &text)
    {
        form->mmo1->setPlainText(text);
        form->btn2Click();
        QTRY_VERIFY_WITH_TIMEOUT(!form->running(), 60000);
    }

private slots:
    void init()
    {
        resetQueryState();
        LastFolder.clear();
        dialogs = std::make_unique<FakeDialogs>();
        main = std::make_unique<TForm1>(96);
        form = std::make_unique<TForm5>(main.get(), main.get());
        tmp = std::make_unique<QTemporaryDir>();
        main->rg3->setItemIndex(0); // small pictures keep the tests quick
    }

    void cleanup()
    {
        form.reset();
        main.reset();
        dialogs.reset();
        tmp.reset();
    }

    void controls()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("批量导出汉字笔顺"));
        QCOMPARE(form->size(), QSize(428, 275));
        QVERIFY(form->rb1->isChecked());
        QCOMPARE(form->rb2->text(), QStringLiteral("全部汉字（6763个）"));
        QVERIFY(form->edt1->isReadOnly());
        QCOMPARE(form->rg1->itemIndex(), 0);
        QCOMPARE(form->rg1->item(1)->text(), QStringLiteral("以字的Unicode码命名"));
        QVERIFY(!form->lbl2->isHidden());
        QVERIFY(form->pb1->isHidden());
        QVERIFY(form->btn2->isEnabled());
        QVERIFY(!form->btn3->isEnabled());
        for (const char *name : {"pnl1", "rb1", "rb2", "mmo1", "lbl1", "edt1", "btn1", "rg1", "lbl2",
                                 "pb1", "btn2", "btn3"})
            QVERIFY2(form->findChild<QWidget *>(QLatin1String(name)), name);
    }

    void memoEnabledOnlyForCustomCharacters()
    {
        form->rb2->click();
        QVERIFY(!form->mmo1->isEnabled());
        form->rb1->click();
        QVERIFY(form->mmo1->isEnabled());
    }

    void browseSetsTheSharedFolder()
    {
        chooseFolder(tmp->path());
        QCOMPARE(form->edt1->text(), tmp->path() + QLatin1Char('/'));
        QCOMPARE(LastFolder, tmp->path() + QLatin1Char('/'));
        chooseFolder(QString()); // cancelled
        QCOMPARE(form->edt1->text(), tmp->path() + QLatin1Char('/'));
        QCOMPARE(dialogs->folderStarts.last(), tmp->path() + QLatin1Char('/'));
    }

    void noFolderChosen()
    {
        exportMemo(QStringLiteral("你"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("请选择保存目录！")});
        QVERIFY(form->btn2->isEnabled());
    }

    void namesByCode()
    {
        chooseFolder(tmp->path());
        main->rg2->setItemIndex(2);
        form->rg1->setItemIndex(1);
        exportMemo(QStringLiteral("你好"));
        QCOMPARE(files(), (QStringList{QStringLiteral("4F60.png"), QStringLiteral("597D.png")}));
        QCOMPARE(QImageReader(tmp->filePath(QStringLiteral("4F60.png"))).format(), QByteArray("png"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("导出完毕！")});
        QCOMPARE(form->pb1->maximum(), 2);
        QCOMPARE(form->pb1->value(), 2);
        QVERIFY(form->pb1->isHidden());
        QVERIFY(!form->lbl2->isHidden());
    }

    void namesByCharacterWithTheMainWindowsType()
    {
        chooseFolder(tmp->path());
        main->rg2->setItemIndex(0);
        exportMemo(QStringLiteral("你"));
        QCOMPARE(files(), QStringList{QStringLiteral("你.bmp")});
    }

    void lineBreaksAndRepeats()
    {
        chooseFolder(tmp->path());
        int steps = 0;
        connect(form->pb1, &QProgressBar::valueChanged, this, [&steps](int v) { steps += v > 0; });
        exportMemo(QStringLiteral("你\r\n好 A,你"));
        QCOMPARE(files(), (QStringList{QStringLiteral("你.jpg"), QStringLiteral("好.jpg")}));
        QCOMPARE(steps, 3);
        QCOMPARE(form->pb1->maximum(), 3);
        // The end names what had no picture; line breaks are no characters.
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("导出完毕！\n有 3 个字符没有笔顺图片，已略去：A , 和 1 个空格")});
    }

    void runningStateAndStopAfterTheThirdCharacter()
    {
        // 停止 stops after the pictures under way: every picture started is
        // written, no later one starts, and the run says that it stopped
        // and what it wrote.
        chooseFolder(tmp->path());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(form->rb2, Qt::LeftButton); // all 6763: far more than can start before 停止
        bool runningSeen = false;
        connect(form->pb1, &QProgressBar::valueChanged, this, [&](int v) {
            runningSeen = runningSeen
                          || (form->running() && !form->btn2->isEnabled() && form->btn3->isEnabled()
                              && !form->pb1->isHidden() && form->lbl2->isHidden());
            // A click that lands while the third character is under way.
            if (v == 3)
                QTest::mouseClick(form->btn3, Qt::LeftButton);
        });
        QTest::mouseClick(form->btn2, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form->running(), 60000);
        QVERIFY(runningSeen);
        const int started = form->pb1->value();
        QVERIFY2(started >= 3 && started < 6763, qPrintable(QString::number(started)));
        QStringList expected;
        for (const QChar c : main->data().allSupported().left(started))
            expected << QString(c) + QStringLiteral(".jpg");
        expected.sort();
        QCOMPARE(files(), expected);
        QCOMPARE(dialogs->messages,
                 QStringList{QStringLiteral("已停止：已导出 %1 张，共 6763 张").arg(started)});
        QVERIFY(!form->running());
        QVERIFY(form->btn2->isEnabled());
        QVERIFY(!form->btn3->isEnabled());
    }

    void sizeBelowOnePointIsRefused()
    {
        chooseFolder(tmp->path());
        main->cbb5->setEditText(QStringLiteral("1")); // 0.75 points
        dialogs->messages.clear();
        exportMemo(QStringLiteral("你好"));
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY2(dialogs->messages.first().startsWith(QStringLiteral("字号太小")), qPrintable(dialogs->messages.first()));
        QVERIFY(files().isEmpty());
        QVERIFY(form->btn2->isEnabled());
    }

    void nothingToExport()
    {
        chooseFolder(tmp->path());
        exportMemo(QStringLiteral("abc \n"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("没有可以导出的汉字。有 4 个字符没有笔顺图片，已略去：a b c 和 1 个空格")});
        QVERIFY(files().isEmpty());
        QVERIFY(form->pb1->isHidden());
        QVERIFY(form->btn2->isEnabled());
    }

    void failedWritesAreCountedAndTheFirstNamed()
    {
        // Tests run as root, for whom a read-only folder is still writable:
        // the chosen folder is removed before the run.
        const QString gone = tmp->filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkdir(gone));
        chooseFolder(gone);
        QVERIFY(QDir(gone).removeRecursively());
        form->rg1->setItemIndex(1);
        exportMemo(QStringLiteral("你好"));
        QCOMPARE(dialogs->messages.size(), 1);
        const QString m = dialogs->messages.first();
        QVERIFY2(m.startsWith(QStringLiteral("导出完毕，但有 2 张图片未能保存。")), qPrintable(m));
        QVERIFY2(m.contains(gone + QStringLiteral("/4F60.jpg")), qPrintable(m));
        QVERIFY(files().isEmpty());

        // A file in place of the folder: nothing is written beside or into it.
        QFile blocker(gone);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        dialogs->messages.clear();
        exportMemo(QStringLiteral("你"));
        QVERIFY(dialogs->messages.first().contains(QStringLiteral("1 张图片未能保存")));
        QCOMPARE(files(), QStringList{QStringLiteral("gone")});
        QCOMPARE(blocker.size(), 0);
    }

    void emptySizeBoxAbandonsTheRun()
    {
        chooseFolder(tmp->path());
        main->cbb5->setEditText(QString());
        dialogs->messages.clear();
        exportMemo(QStringLiteral("你好"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("'' is not a valid integer value")});
        QVERIFY(files().isEmpty());
        QVERIFY(!form->running());
        QVERIFY(form->btn2->isEnabled());
    }

    void closingWaitsForTheRun()
    {
        chooseFolder(tmp->path());
        form->show();
        bool stillOpen = false;
        connect(form->pb1, &QProgressBar::valueChanged, this, [&](int v) {
            if (v == 1)
                form->reject();
            if (v == 2)
                stillOpen = form->isVisible();
        });
        exportMemo(QStringLiteral("你好"));
        QVERIFY(stillOpen);
        QVERIFY(!form->isVisible());
        QCOMPARE(files().size(), 2);
    }
};

QTEST_MAIN(TestAllPicOut)
#include "tst_allpicout.moc"
