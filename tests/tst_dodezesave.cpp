#include "DoDeze.h"
#include "FakeDialogs.h"
#include "QueryState.h"
#include "RadioGroup.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestDoDezeSave : public QObject
{
    Q_OBJECT
    std::unique_ptr<TForm1> form;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<QTemporaryDir> tmp;

    void save(const QString &text, const QString &chosen)
    {
        form->edt1->setText(text);
        dialogs->saveName = chosen;
        form->btn2Click();
    }

private slots:
    void init()
    {
        resetQueryState();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(994, 572);
        tmp = std::make_unique<QTemporaryDir>();
    }

    void cleanup()
    {
        form.reset();
        dialogs.reset();
        tmp.reset();
    }

    void savesTheWritingAnimation()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QTest::mouseClick(form->edt1, Qt::LeftButton);
        QInputMethodEvent typed; // Chinese comes from an input method
        typed.setCommitString(QStringLiteral("你好"));
        QApplication::sendEvent(QApplication::focusWidget(), &typed);
        QCOMPARE(form->edt1->text(), QStringLiteral("你好"));
        dialogs->saveName = tmp->filePath(QStringLiteral("ni.png"));
        QTest::mouseClick(form->btnSaveGif, Qt::LeftButton);
        QCOMPARE(dialogs->filters, QStringList{QStringLiteral("动画(*.gif)")});
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("动画已保存！")});
        QImageReader gif(tmp->filePath(QStringLiteral("ni.png.gif")));
        QCOMPARE(gif.format(), QByteArray("gif"));
        QVERIFY(gif.imageCount() > 10);

        // Not a character of the set: told, nothing written.
        form->edt1->selectAll();
        QTest::keyClicks(form->edt1, QStringLiteral("A"));
        QTest::mouseClick(form->btnSaveGif, Qt::LeftButton);
        QCOMPARE(dialogs->messages.last(), QStringLiteral("该汉字不在标准字库中！"));
    }

    void savesWithTheChosenTypeAndResolution()
    {
        form->rg2->setItemIndex(1);
        form->rg3->setItemIndex(2);
        save(QStringLiteral("大"), tmp->filePath(QStringLiteral("abc.gif")));
        QCOMPARE(dialogs->filters, QStringList{QStringLiteral("图片(*.bmp *.jpg *.png)")});
        // The dialog opened on the character's name.
        QVERIFY2(dialogs->suggestions.value(0).endsWith(QStringLiteral("/大.jpg")), qPrintable(dialogs->suggestions.value(0)));
        const QString jpg = tmp->filePath(QStringLiteral("abc.jpg"));
        QVERIFY(!QFileInfo::exists(tmp->filePath(QStringLiteral("abc.gif"))));
        QImageReader reader(jpg);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage img = reader.read();
        QCOMPARE(img.size(), QSize(1841, 658));
        QCOMPARE(int(std::lround(img.dotsPerMeterX() * 0.0254)), 600);
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("图片已保存！")});
        QVERIFY(dialogs->questions.isEmpty());
        // The status line names the file, and the next dialog opens in its folder.
        QVERIFY(form->statusBar()->currentMessage().contains(jpg));
        dialogs->suggestions.clear();
        save(QStringLiteral("大"), tmp->filePath(QStringLiteral("typed.png")));
        QCOMPARE(dialogs->suggestions.value(0), tmp->filePath(QStringLiteral("大.jpg")));
        // A typed extension of another offered type chooses that type.
        QCOMPARE(QImageReader(tmp->filePath(QStringLiteral("typed.png"))).format(), QByteArray("png"));
        QCOMPARE(form->rg2->itemIndex(), 2);
    }

    // pdf and svg come after the pictures; they are sized in points, so the
    // resolution is off while one of them is chosen.
    void vectorSheetsTakeNoResolution()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->edt1->setText(QStringLiteral("大"));
        const QStringList says{QStringLiteral("<svg width=\"221pt\" height=\"79pt\""),
                               QStringLiteral("/MediaBox [0 0 221.000000 79.000000]")};
        for (const auto &[item, ext] : {std::pair{3, "pdf"}, std::pair{4, "svg"}}) {
            QTest::mouseClick(form->rg2->item(item), Qt::LeftButton);
            QCOMPARE(form->rg2->item(item)->text(), QLatin1String(ext));
            QVERIFY(!form->rg3->isEnabled());
            dialogs->filters.clear();
            dialogs->messages.clear();
            dialogs->saveName = tmp->filePath(QStringLiteral("v.png"));
            QTest::mouseClick(form->btn2, Qt::LeftButton);
            QCOMPARE(dialogs->filters, QStringList{QStringLiteral("矢量图(*.%1)").arg(QLatin1String(ext))});
            QCOMPARE(dialogs->messages, QStringList{QStringLiteral("图片已保存！")});
            const QByteArray bytes = contents(tmp->filePath(QStringLiteral("v.") + QLatin1String(ext)));
            QVERIFY(bytes.contains(says[item == 4 ? 0 : 1].toLatin1()));
        }
        QVERIFY(!QFileInfo::exists(tmp->filePath(QStringLiteral("v.png"))));
        QTest::mouseClick(form->rg2->item(2), Qt::LeftButton);
        QVERIFY(form->rg3->isEnabled());
    }

    void onlyTheFileNamesExtensionIsReplaced()
    {
        const QString folder = tmp->filePath(QStringLiteral("x.png"));
        QVERIFY(QDir().mkdir(folder));
        form->rg2->setItemIndex(0);
        save(QStringLiteral("大"), folder + QStringLiteral("/pic"));
        QCOMPARE(QImageReader(folder + QStringLiteral("/pic.bmp")).format(), QByteArray("bmp"));
        form->rg2->setItemIndex(2);
        save(QStringLiteral("大"), folder + QStringLiteral("/a.b.tif"));
        QCOMPARE(QImageReader(folder + QStringLiteral("/a.b.png")).format(), QByteArray("png"));
    }

    void declinedOverwriteLeavesTheOldFile()
    {
        const QString path = tmp->filePath(QStringLiteral("old.jpg"));
        writeFile(path, "old bytes");
        dialogs->answerOk = false;
        save(QStringLiteral("大"), path);
        QCOMPARE(contents(path), QByteArray("old bytes"));
        QCOMPARE(dialogs->questions, QStringList{QStringLiteral("提示信息|该文件名已存在，你确定要覆盖吗？")});
        QVERIFY(dialogs->messages.isEmpty());

        dialogs->answerOk = true;
        save(QStringLiteral("大"), path);
        QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("图片已保存！")});
    }

    void cancelledDialogWritesNothing()
    {
        save(QStringLiteral("大"), QString());
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(QDir(tmp->path()).isEmpty());
    }

    void refusals()
    {
        save(QString(), tmp->filePath(QStringLiteral("a")));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("请先输入汉字！")});
        QVERIFY(dialogs->filters.isEmpty());

        dialogs->messages.clear();
        save(QStringLiteral("A"), tmp->filePath(QStringLiteral("a")));
        // The look-up of the new character speaks first.
        QCOMPARE(dialogs->messages,
                 (QStringList{QStringLiteral("这个汉字未被支持！"), QStringLiteral("该汉字不在标准字库中！")}));
        QVERIFY(dialogs->filters.isEmpty());
        QVERIFY(QDir(tmp->path()).isEmpty());
    }

    void savesTheSelectedCharacterAndShowsIt()
    {
        form->edt1->setText(QStringLiteral("你大"));
        form->edt1->setSelection(1, 1);
        dialogs->saveName = tmp->filePath(QStringLiteral("sel"));
        form->rg2->setItemIndex(2);
        form->btn2Click();
        QCOMPARE(queryState().CurrentChar, QStringLiteral("大"));
        QCOMPARE(QImageReader(tmp->filePath(QStringLiteral("sel.png"))).size(), QSize(920, 329));
    }

    void emptySizeBoxAbandonsTheSave()
    {
        form->cbb5->setEditText(QString());
        dialogs->messages.clear();
        save(QStringLiteral("大"), tmp->filePath(QStringLiteral("e")));
        QVERIFY(dialogs->messages.contains(QStringLiteral("'' is not a valid integer value")));
        QVERIFY(!dialogs->messages.contains(QStringLiteral("图片已保存！")));
        QVERIFY(QDir(tmp->path()).isEmpty());
    }

    void failedWriteIsReportedWithTheFileName()
    {
        // Root may write into read-only folders: the folder is removed instead.
        const QString gone = tmp->filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkdir(gone));
        const QString chosen = gone + QStringLiteral("/pic.jpg");
        QVERIFY(QDir(gone).removeRecursively());
        save(QStringLiteral("大"), chosen);
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages.first().startsWith(QStringLiteral("图片未能保存：")));
        QVERIFY(dialogs->messages.first().contains(chosen));
        QVERIFY(!QFileInfo::exists(gone));

        // A file standing where the folder should be.
        writeFile(gone, "x");
        dialogs->messages.clear();
        save(QStringLiteral("大"), chosen);
        QVERIFY(dialogs->messages.first().contains(chosen));
        QCOMPARE(contents(gone), QByteArray("x"));
    }

    void saveDoDezeReportsOnlyWhatItCannotSay()
    {
        const QString path = tmp->filePath(QStringLiteral("d.jpg"));
        QString why = QStringLiteral("stale");
        QVERIFY(form->SaveDoDeze(QStringLiteral("大"), path, &why));
        QVERIFY(!form->SaveDoDeze(QStringLiteral("A"), tmp->filePath(QStringLiteral("A.jpg")), &why));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("暂时不能读取笔画数据！")});
        QVERIFY(why.isEmpty()); // already told
        form->cbb5->setEditText(QStringLiteral("5000"));
        form->rg3->setItemIndex(2);
        QVERIFY(!form->SaveDoDeze(QStringLiteral("黑"), tmp->filePath(QStringLiteral("big.jpg")), &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!QFileInfo::exists(tmp->filePath(QStringLiteral("big.jpg"))));
    }

    void sizeBelowOnePointIsNeverSaved()
    {
        // 1 pixel is 0.75 points: the cells would hold no stroke.
        form->cbb5->setEditText(QStringLiteral("1"));
        dialogs->messages.clear();
        save(QStringLiteral("大"), tmp->filePath(QStringLiteral("small")));
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY2(dialogs->messages.first().startsWith(QStringLiteral("字号太小")), qPrintable(dialogs->messages.first()));
        QVERIFY(dialogs->messages.first().contains(QStringLiteral("2")));
        QVERIFY(dialogs->filters.isEmpty()); // refused before a file name is asked for
        dialogs->messages.clear();
        QVERIFY(!form->SaveDoDeze(QStringLiteral("大"), tmp->filePath(QStringLiteral("small.jpg"))));
        QVERIFY(!dialogs->messages.contains(QStringLiteral("图片已保存！")));
        QVERIFY(QDir(tmp->path()).isEmpty());
        // The least size that draws saves again.
        form->cbb5->setEditText(QStringLiteral("2"));
        dialogs->messages.clear();
        save(QStringLiteral("大"), tmp->filePath(QStringLiteral("two")));
        QCOMPARE(dialogs->messages, QStringList{QStringLiteral("图片已保存！")});
    }

    void gridTypeNoneDrawsNoFrame()
    {
        form->rg2->setItemIndex(2);
        form->cbb1->setCurrentIndex(0); // 无
        const QString path = tmp->filePath(QStringLiteral("noframe.png"));
        QVERIFY(form->SaveDoDeze(QStringLiteral("一"), path));
        const QImage img = QImageReader(path).read();
        // Only the one stroke: no ink along the cell's top edge.
        const int top = int(7 * 300 / 72.0);
        int ink = 0;
        for (int x = 0; x < img.width(); ++x)
            ink += qAlpha(img.pixel(x, top)) > 0;
        QCOMPARE(ink, 0);
    }
};

QTEST_MAIN(TestDoDezeSave)
#include "tst_dodezesave.moc"
