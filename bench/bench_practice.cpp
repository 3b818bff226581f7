// The ink following the pointer in the full-screen practice cell: the cost
// of one mouse move event, the repaint of the changed area included, at
// 1920 x 1080 (target: at most 8 ms a move).
#include "ManualClock.h"
#include "PracticeCanvas.h"
#include "PracticeSession.h"
#include "StartupData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ManualClock clock;
    StartupData data;
    loadStartupData(data, 96, StartupTables | StartupCharFont | StartupSegmentFont | StartupCenterLines);
    PracticeSession session([&data](QChar c) { return data.CenterLines.strokes(c); });
    session.setText(QString::fromUtf8("永"));
    PracticeCanvas canvas(data, session);
    canvas.resize(1920, 1040); // the full-screen window less its bottom panel
    canvas.show();
    QCoreApplication::processEvents();

    // Long wavy strokes across the whole cell, a point every 3 pixels.
    QList<double> perMove;
    for (int stroke = 0; stroke < 20; ++stroke) {
        const QRect c(canvas.cell().left, canvas.cell().top, canvas.cell().side, canvas.cell().side);
        QList<QPointF> pts;
        for (double t = 0; t <= 1.0; t += 3.0 / c.width())
            pts << QPointF(c.left() + t * c.width(), c.center().y() + 0.3 * c.height() * std::sin(6.28 * t + stroke));
        const auto send = [&canvas](QEvent::Type type, QPointF p, Qt::MouseButtons buttons) {
            QMouseEvent ev(type, p, canvas.mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(&canvas, &ev);
        };
        send(QEvent::MouseButtonPress, pts.first(), Qt::LeftButton);
        for (int i = 1; i < pts.size(); ++i) {
            QElapsedTimer t;
            t.start();
            send(QEvent::MouseMove, pts[i], Qt::LeftButton);
            canvas.repaint(canvas.rect() & QRectF(pts[i - 1], pts[i]).normalized().toAlignedRect().adjusted(-40, -40, 40, 40));
            perMove << t.nsecsElapsed() / 1e6;
        }
        send(QEvent::MouseButtonRelease, pts.last(), Qt::NoButton);
        clock.advance(5000);
    }
    std::sort(perMove.begin(), perMove.end());
    const auto at = [&perMove](double q) { return perMove[std::min<qsizetype>(perMove.size() - 1, qsizetype(q * perMove.size()))]; };
    double sum = 0;
    for (double v : perMove)
        sum += v;
    std::printf("move events: %lld in a cell of %d px at pixel ratio %.1f\n", static_cast<long long>(perMove.size()),
                canvas.cell().side, canvas.devicePixelRatioF());
    std::printf("per move, repaint included: mean %.3f ms, median %.3f ms, 99th %.3f ms, max %.3f ms (target <= 8 ms)\n",
                sum / perMove.size(), at(0.5), at(0.99), perMove.last());
    return at(0.99) <= 8.0 ? 0 : 1;
}
