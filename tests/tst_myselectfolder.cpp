#include "FakeDialogs.h"
#include "MySelectFolder.h"
#include "MySelectFolderOld.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class TestMySelectFolder : public QObject
{
    Q_OBJECT
    FakeDialogs dialogs;
    QTemporaryDir tmp;

private slots:
    void init()
    {
        dialogs.folderStarts.clear();
        LastFolder.clear();
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
    }

    void chosenFolderEndsWithTheSeparator()
    {
        dialogs.folder = QStringLiteral("/srv/out");
        QCOMPARE(SelectFolder(nullptr, QString()), QStringLiteral("/srv/out/"));
        QVERIFY(dialogs.lastNative);
        dialogs.folder = QStringLiteral("/");
        QCOMPARE(SelectFolder(nullptr, QString()), QStringLiteral("/"));
        dialogs.folder = QStringLiteral("/srv/out");
        QCOMPARE(SelectFolderOld(nullptr, QStringLiteral("选择文件夹"), QString()), QStringLiteral("/srv/out/"));
        QVERIFY(!dialogs.lastNative);
    }

    void cancelGivesEmpty()
    {
        dialogs.folder.clear();
        QCOMPARE(SelectFolder(nullptr, tmp.path()), QString());
        QCOMPARE(SelectFolderOld(nullptr, QStringLiteral("选择文件夹"), tmp.path()), QString());
    }

    void startingFolder()
    {
        dialogs.folder.clear();
        const QString gone = tmp.filePath(QStringLiteral("gone"));
        SelectFolder(nullptr, tmp.path());
        SelectFolder(nullptr, gone); // no longer there: not offered
        SelectFolderOld(nullptr, QStringLiteral("选择文件夹"), gone); // asked for anyway, to no effect
        QCOMPARE(dialogs.folderStarts, (QStringList{tmp.path(), QString(), gone}));
    }

    void lastFolderIsSharedAndKeptOnCancel()
    {
        QWidget batch, main;
        dialogs.folder = tmp.path();
        QCOMPARE(ChooseFolder(&batch), tmp.path() + QLatin1Char('/'));
        QCOMPARE(LastFolder, tmp.path() + QLatin1Char('/'));
        QVERIFY(dialogs.lastNative);

        dialogs.folder.clear();
        QCOMPARE(ChooseFolder(&main), QString());
        QCOMPARE(LastFolder, tmp.path() + QLatin1Char('/'));
        // Every caller starts where the last one chose; the first at nowhere special.
        QCOMPARE(dialogs.folderStarts, (QStringList{QString(), tmp.path() + QLatin1Char('/')}));
    }

    void qtsOwnDialogWhenNativeOnesAreOff()
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
        dialogs.folder = QStringLiteral("/srv/out");
        QCOMPARE(ChooseFolder(nullptr), QStringLiteral("/srv/out/"));
        QVERIFY(!dialogs.lastNative);
        QCOMPARE(dialogs.folderTitles.last(), QStringLiteral("选择文件夹"));
        QCOMPARE(LastFolder, QStringLiteral("/srv/out/"));
    }
};

QTEST_MAIN(TestMySelectFolder)
#include "tst_myselectfolder.moc"
