// The pictures on screen at the screen's own pixels. Run with
// QT_SCALE_FACTOR=2 (CTest does): a picture drawn at the logical size and
// scaled up changes colour only between pixel pairs; one drawn at the
// device pixel ratio changes colour anywhere.
#include "CharWorksheetTab.h"
#include "DoDeze.h"
#include "FakeDialogs.h"
#include "ImageView.h"
#include "LetterWorksheetTab.h"
#include "ManualClock.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "WorksheetState.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

namespace {

// Colour changes between horizontal or vertical neighbours, split by
// whether they fall on the grid of pixel pairs or inside a pair.
struct Changes
{
    int onGrid = 0;
    int offGrid = 0;
};

Changes colourChanges(const QImage &img)
{
    Changes c;
    for (int y = 0; y + 1 < img.height(); ++y) {
        for (int x = 0; x + 1 < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            for (const QRgb q : {img.pixel(x + 1, y), img.pixel(x, y + 1)}) {
                if (p == q)
                    continue;
                // Between x and x + 1 (or y and y + 1): a pair boundary when x + 1 is even.
                const int next = q == img.pixel(x + 1, y) ? x + 1 : y + 1;
                (next % 2 == 0 ? c.onGrid : c.offGrid)++;
            }
        }
    }
    return c;
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<TForm1> form;

    void showTab(int index)
    {
        QTabBar *bar = form->pgc1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QCOMPARE(form->pgc1->currentIndex(), index);
    }

private slots:
    void init()
    {
        resetQueryState();
        CurrentPage = 1;
        clock = std::make_unique<ManualClock>();
        dialogs = std::make_unique<FakeDialogs>();
        form = std::make_unique<TForm1>(96);
        form->resize(1100, 700);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        dialogs.reset();
        clock.reset();
    }

    void picturesAtTheDeviceRatio_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("stroke-order sheet") << "sheet";
        QTest::newRow("animation") << "animation";
        QTest::newRow("stroke by stroke") << "steps";
        QTest::newRow("Chinese copybook") << "chars";
        QTest::newRow("letter copybook") << "letters";
        QTest::newRow("digit copybook") << "digits";
    }
    void picturesAtTheDeviceRatio()
    {
        QFETCH(QString, display);
        const qreal ratio = form->devicePixelRatioF();
        if (ratio < 2)
            QSKIP("needs QT_SCALE_FACTOR=2");
        ImageView *img = form->img1;
        if (display == "sheet" || display == "animation" || display == "steps") {
            form->rg11->setItemIndex(display == "sheet" ? 0 : display == "animation" ? 1 : 2);
            form->edt1->setText(QStringLiteral("永"));
            form->edt1->setFocus();
            QTest::keyClick(form->edt1, Qt::Key_Return);
            clock->advance(60000); // the whole animation, or every step
        } else {
            showTab(display == "chars" ? 2 : 3);
            if (display == "digits")
                QTest::mouseClick(form->letterTab->rg8->item(1), Qt::LeftButton);
            img = display == "chars" ? form->img2 : form->img3;
        }
        const QImage &pic = img->picture();
        QCOMPARE(pic.devicePixelRatio(), ratio);
        QCOMPARE(pic.size(), img->size() * ratio);
        const Changes c = colourChanges(pic.convertToFormat(QImage::Format_RGB32));
        // Scaled up, every change would fall between pixel pairs. Lines
        // one logical pixel wide at whole logical pixels still do; the
        // edges of the strokes fall anywhere.
        QVERIFY2(c.onGrid > 200, qPrintable(QString::number(c.onGrid)));
        QVERIFY2(c.offGrid > 1000, qPrintable(QStringLiteral("%1 %2").arg(c.onGrid).arg(c.offGrid)));
    }
};

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
