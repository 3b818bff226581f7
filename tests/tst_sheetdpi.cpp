// The screen resolutions the copybooks follow: inside the range every kind
// of sheet lies on A4 with its page number below it; kelvora-copybook
// refuses what is outside it and the window brings its screen into it.
#include "Bitmap.h"
#include "CharWorksheetTab.h"
#include "LetterWorksheetTab.h"
#include "DoDeze.h"
#include "Graphics.h"
#include "PagePainter.h"
#include "QueryState.h"
#include "StartupData.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor Ink(200, 0, 0);
const QSizeF A4(595, 841);
constexpr double Ppi = 96; // the picture the sheets are painted into

// Everything non-white of a picture, in pixels; null when blank.
QRect inkBounds(const QImage &img)
{
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if (qRed(line[x]) < 250 || qGreen(line[x]) < 250 || qBlue(line[x]) < 250) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

// What of one full first page lies off A4 or under its page number; empty
// when nothing. The picture is larger than the page, so what runs past its
// right or bottom edge is still painted and seen; what runs past its left or
// top edge touches the picture's first column or row.
QString offThePage(const StartupData &data, WorksheetKind kind, int screenDpi)
{
    WorksheetSettings s;
    s.kind = kind;
    s.text = kind == WorksheetKind::Chinese ? QStringLiteral("永永永永永")
             : kind == WorksheetKind::Letters ? QStringLiteral("AgBgC")
                                              : QStringLiteral("01234");
    s.rowsPerChar = 3; // 15 rows: a full page
    s.tracingRows = 3;
    s.modelColor = s.traceColor = s.frame.color = Ink;
    s.pointsPerPixel = 72.0 / screenDpi;
    auto paint = [&](bool numbers) {
        QImage img = makeBitmap(1000, 1400, int(Ppi), qRgb(255, 255, 255));
        Graphics g(img, Ppi);
        s.pageNumbers = numbers;
        paintWorksheetPage(g, data, s, 1, {A4, PageOutput::Picture});
        return img;
    };
    const QImage sheet = paint(false);
    const QImage numbered = paint(true);
    QImage number(sheet.size(), QImage::Format_RGB32);
    number.fill(Qt::white);
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            if (sheet.pixel(x, y) != numbered.pixel(x, y))
                number.setPixel(x, y, numbered.pixel(x, y));
    const QRect cells = inkBounds(sheet), digits = inkBounds(number);
    const QRect paper(0, 0, int(A4.width() * Ppi / 72), int(A4.height() * Ppi / 72));
    if (cells.isNull() || digits.isNull())
        return QStringLiteral("nothing painted");
    if (!paper.adjusted(1, 1, -1, -1).contains(cells))
        return QStringLiteral("the cells reach %1,%2 - %3,%4, the paper ends at %5,%6")
            .arg(cells.left()).arg(cells.top()).arg(cells.right()).arg(cells.bottom())
            .arg(paper.right()).arg(paper.bottom());
    if (!paper.contains(digits))
        return QStringLiteral("the page number lies off the paper");
    if (digits.top() <= cells.bottom())
        return QStringLiteral("the page number (from %1) overlaps the cells (to %2)")
            .arg(digits.top()).arg(cells.bottom());
    return QString();
}

int runCopybook(const QStringList &args, QString *err)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_COPYBOOK), args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode();
}

} // namespace

class TestSheetDpi : public QObject
{
    Q_OBJECT
    StartupData data;
    PointsPerPixelRange range;
    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        loadStartupData(data, 96, StartupTables | StartupCharFont | StartupNumberFont);
        range = worksheetPointsPerPixelRange();
        QVERIFY(range.contains(0.75)); // the 96 dpi the sheets are laid out for
    }

    void sheetsOnA4_data()
    {
        QTest::addColumn<int>("screenDpi");
        QTest::addColumn<bool>("inRange");
        const int low = worksheetPointsPerPixelRange().lowestDpi();
        const int high = worksheetPointsPerPixelRange().highestDpi();
        QTest::addRow("72, cells too large") << 72 << false;
        QTest::addRow("just below the range") << low - 1 << false;
        QTest::addRow("lowest") << low << true;
        QTest::addRow("96") << 96 << true;
        QTest::addRow("highest") << high << true;
        QTest::addRow("just above the range") << high + 1 << false;
        QTest::addRow("144, letter rows pushed down") << 144 << false;
    }

    // Painted pages of every kind stay on the paper inside the range, and
    // the range ends where some kind would not.
    void sheetsOnA4()
    {
        QFETCH(int, screenDpi);
        QFETCH(bool, inRange);
        QCOMPARE(range.contains(72.0 / screenDpi), inRange);
        QStringList faults;
        for (WorksheetKind kind : {WorksheetKind::Chinese, WorksheetKind::Letters, WorksheetKind::Digits}) {
            const QString fault = offThePage(data, kind, screenDpi);
            if (!fault.isEmpty())
                faults << QStringLiteral("kind %1: %2").arg(int(kind)).arg(fault);
            if (inRange)
                QVERIFY(worksheetFitsPage(kind, A4, 72.0 / screenDpi));
        }
        if (inRange)
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        else if (screenDpi == 72 || screenDpi == 144) // far out: seen on the paper
            QVERIFY(!faults.isEmpty());
        bool allFit = true;
        for (WorksheetKind kind : {WorksheetKind::Chinese, WorksheetKind::Letters, WorksheetKind::Digits})
            allFit = allFit && worksheetFitsPage(kind, A4, 72.0 / screenDpi);
        QCOMPARE(allFit, inRange);

        // kelvora-copybook takes the range and nothing else, saying why.
        QString err;
        const int code = runCopybook({QStringLiteral("--kind=letters"), QStringLiteral("--format=pdf"),
                                      QStringLiteral("--screen-dpi=%1").arg(screenDpi),
                                      QStringLiteral("--out"), tmp.filePath(QStringLiteral("%1.pdf").arg(screenDpi))},
                                     &err);
        QCOMPARE(code, inRange ? 0 : 2);
        if (!inRange)
            QVERIFY2(err.contains(QStringLiteral("off A4; give %1 to %2").arg(range.lowestDpi()).arg(range.highestDpi())),
                     qPrintable(err));
    }

    // The copybook tabs on an unusual screen lay the sheets out for the
    // nearest resolution inside; the rest of the window follows the screen.
    void windowClamps_data()
    {
        QTest::addColumn<double>("screenDpi");
        QTest::addColumn<double>("sheetDpi");
        const double low = worksheetPointsPerPixelRange().lowestDpi();
        const double high = worksheetPointsPerPixelRange().highestDpi();
        QTest::addRow("72") << 72.0 << low;
        QTest::addRow("96") << 96.0 << 96.0;
        QTest::addRow("144") << 144.0 << high;
    }
    void windowClamps()
    {
        QFETCH(double, screenDpi);
        QFETCH(double, sheetDpi);
        resetQueryState();
        TForm1 form(screenDpi);
        QCOMPARE(form.screenDpi(), screenDpi);
        QCOMPARE(form.charTab->settings().pointsPerPixel, 72.0 / sheetDpi);
        QCOMPARE(form.letterTab->settings().pointsPerPixel, 72.0 / sheetDpi);
    }
};

QTEST_MAIN(TestSheetDpi)
#include "tst_sheetdpi.moc"
