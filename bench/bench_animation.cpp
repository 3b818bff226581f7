// The writing animation of 你 in the main window at its default size
// (maximised on a 1920 x 1080 screen), at each speed of "速度".
//
// The time is what the user sees: the animation is paced by the query clock,
// so a clock driven in 16 ms frames gives its length exactly; one more run
// at "快" on the system clock checks that the wall time agrees.
#include "DoDeze.h"
#include "ImageView.h"
#include "ManualClock.h"
#include "QueryState.h"
#include "RadioGroup.h"
#include "WritingAnimation.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollArea>

#include <cstdio>
#include <memory>

namespace {

// Client area of the main window maximised on a 1920 x 1080 screen under a
// window manager with a title bar (measured under Xvfb with openbox).
QSize maximisedClient(int argc, char **argv)
{
    if (argc >= 3)
        return QSize(atoi(argv[1]), atoi(argv[2]));
    return QSize(1920, 1061);
}

std::unique_ptr<TForm1> window(QSize client)
{
    resetQueryState();
    auto form = std::make_unique<TForm1>(96);
    form->resize(client);
    form->show();
    QCoreApplication::processEvents();
    form->edt1->setText(QString::fromUtf8("你"));
    form->rg11->setItemIndex(1);
    return form;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QSize client = maximisedClient(argc, argv);
    const char *names[] = {"慢", "中", "快"};
    {
        ManualClock clock;
        for (int speed = 0; speed < 3; ++speed) {
            auto form = window(client);
            form->cbbSpeed->setCurrentIndex(speed);
            const qint64 t0 = clock.nowMs();
            form->btn1Click();
            const RevealAnimation *reveal = form->animation()->reveal();
            while (form->animation()->isRunning())
                clock.advance(RevealAnimation::FrameMs);
            std::printf("你 at 速度 %s: %.1f s (%d lines, image %dx%d, em %d px; query clock in 16 ms frames)\n",
                        names[speed], (clock.nowMs() - t0) / 1000.0, reveal->totalLines(), form->img1->width(),
                        form->img1->height(), qMin(form->img1->width(), form->img1->height()) - 40);
        }
    }
    // The system clock at 快: wall time, and the time spent drawing frames.
    auto form = window(client);
    form->cbbSpeed->setCurrentIndex(2);
    QElapsedTimer wall;
    wall.start();
    form->btn1Click();
    while (form->animation()->isRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("你 at 速度 快 on the system clock: %.1f s wall\n", wall.elapsed() / 1000.0);
    return 0;
}
