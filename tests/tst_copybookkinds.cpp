#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kelvora-copybook --kind letters|digits: default texts, the pages written,
// characters outside the kind refused by name, options of the Chinese
// copybook refused.

class TestCopybookKinds : public QObject
{
    Q_OBJECT

    struct Run
    {
        int status = -1;
        QString err;
    };
    static Run run(const QStringList &args)
    {
        QProcess p;
        p.setProgram(QStringLiteral(KELVORA_COPYBOOK));
        p.setArguments(args);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start();
        if (!p.waitForFinished(120000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

private slots:
    void kinds_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("files");   // written into the output folder
        QTest::addColumn<QStringList>("errorHas"); // parts of the message
        QTest::addRow("digits default")
            << QStringList{"--kind", "digits", "--format", "png", "--dpi", "96"} << 0
            << QStringList{"1.png", "2.png"} << QStringList{};
        QTest::addRow("letters default, pages")
            << QStringList{"--kind", "letters", "--dpi", "96", "--pages", "10-11"} << 0
            << QStringList{"10.jpg", "11.jpg"} << QStringList{};
        QTest::addRow("letters one row each")
            << QStringList{"--kind", "letters", "--text", "Hello", "--rows", "1", "--trace", "0",
                           "--no-model", "--no-page-numbers", "--dpi", "96", "--format", "bmp"}
            << 0 << QStringList{"1.bmp"} << QStringList{};
        QTest::addRow("letters pdf") << QStringList{"--kind", "letters", "--format", "pdf"} << 0
                                     << QStringList{"book.pdf"} << QStringList{};
        QTest::addRow("digits refuses letters")
            << QStringList{"--kind", "digits", "--text", "12a3 b1"} << 2 << QStringList{}
            << QStringList{"--kind digits", "0-9", "'a'", "U+0020", "'b'"};
        QTest::addRow("letters refuses digits and Chinese")
            << QStringList{"--kind", "letters", "--text", "ab7你"} << 2 << QStringList{}
            << QStringList{"--kind letters", "'7'", "'你'"};
        QTest::addRow("no grid for letters") << QStringList{"--kind", "letters", "--grid", "mi"} << 2
                                             << QStringList{} << QStringList{"--grid"};
        QTest::addRow("no double-sided for digits") << QStringList{"--kind", "digits", "--double-sided"} << 2
                                                    << QStringList{} << QStringList{"--double-sided"};
        QTest::addRow("unknown kind") << QStringList{"--kind", "greek"} << 2 << QStringList{}
                                      << QStringList{"letters", "digits"};
        QTest::addRow("chinese still needs a text") << QStringList{"--kind", "chinese"} << 2
                                                    << QStringList{} << QStringList{"--text"};
    }
    void kinds()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, files);
        QFETCH(QStringList, errorHas);
        QTemporaryDir out;
        const bool pdf = args.contains(QStringLiteral("pdf"));
        args << QStringLiteral("--out") << (pdf ? out.filePath(QStringLiteral("book.pdf")) : out.path());
        const Run r = run(args);
        QVERIFY2(r.status == status, qPrintable(r.err));
        for (const QString &part : errorHas)
            QVERIFY2(r.err.contains(part), qPrintable(r.err));
        QStringList written = QDir(out.path()).entryList(QDir::Files, QDir::Name);
        std::sort(files.begin(), files.end());
        QCOMPARE(written, files);
        for (const QString &f : files) {
            if (f.endsWith(QLatin1String(".pdf"))) {
                QFile pdfFile(out.filePath(f));
                QVERIFY(pdfFile.open(QIODevice::ReadOnly));
                QCOMPARE(int(pdfFile.readAll().count("/Type /Page\n")), 11);
            } else {
                QCOMPARE(QImage(out.filePath(f)).size(), QSize(794, 1123));
            }
        }
    }
};

QTEST_MAIN(TestCopybookKinds)
#include "tst_copybookkinds.moc"
