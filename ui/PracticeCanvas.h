#pragma once

#include "CellFrame.h"
#include "PracticeCell.h"
#include "PracticeSession.h"
#include "QueryTimer.h"
#include "RevealAnimation.h"

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QWidget>

#include <memory>

struct StartupData;

// How the practice cell looks: the first tab's grid and colours.
struct PracticeLook
{
    FrameStyle frame;
    QColor charColor = Qt::black;
    QColor traceColor = QColor(192, 192, 192);
    bool showGlyph = true; // the character faintly under the writing
};

// The cell the learner writes in. Mouse, pen (tablet) and finger (touch)
// make one stream of points; on release the stroke goes to the session and
// the verdict shows at once: a match is replaced by the model stroke, a miss
// turns red and fades, and a stroke missed three times is written out by
// the animation in the brush's direction before the learner tries again.
// Fading and the animation run on the query clock.
class PracticeCanvas : public QWidget, public RevealTarget
{
    Q_OBJECT
public:
    PracticeCanvas(const StartupData &data, PracticeSession &session, QWidget *parent = nullptr);
    ~PracticeCanvas() override;

    static constexpr int FadeMs = 1200;
    static constexpr int FadeFrameMs = 40;

    void setLook(const PracticeLook &look);
    const PracticeLook &look() const { return m_look; }
    // The session has moved to another character, or started it again.
    void characterChanged();

    const PracticeCell &cell() const { return m_cell; }
    // Where a point of the stroke data's box lies on the widget.
    QPointF widgetPoint(QPointF box) const { return m_cell.fromBox(box); }
    bool isWriting() const { return m_source != Source::None; }
    // The last stroke sent to the session, in the box.
    const QPolygonF &lastStroke() const { return m_lastStroke; }
    bool isFading() const { return m_fadeTimer.isActive(); }
    double inkOpacity() const;
    bool isHinting() const { return m_hint && m_hint->isRunning(); }
    // The stroke shown by the last hint, -1 when none stands in the cell.
    int hintStroke() const { return m_hintStroke; }
    // What the widget shows, at its device pixel ratio.
    QImage snapshot() const;
    // The hint layer the animation reveals on (device pixels).
    const QImage &hintLayer() const { return m_hintLayer; }

    // The writing animation's target: the hint layer.
    QImage *picture() override;
    void refresh(const QRect &area) override;
    double linesPerSecond() override;
    bool stopRequested() override { return false; }

signals:
    // A stroke was judged (or fell on a finished character: judged false).
    void strokeJudged(const PracticeSession::Outcome &outcome);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void tabletEvent(QTabletEvent *event) override;
    bool event(QEvent *event) override;

private:
    enum class Source { None, Mouse, Tablet, Touch };

    void beginStroke(Source source, QPointF p);
    void extendStroke(QPointF p);
    void endStroke();
    void cancelStroke();
    void clearInk();
    void fadeTick();
    void startHint(int stroke);
    void stopHint();
    // The frame, the faint character and the strokes written so far.
    void rebuild();
    double penWidth() const;

    const StartupData &m_data;
    PracticeSession &m_session;
    PracticeLook m_look;
    PracticeCell m_cell;
    QImage m_base;      // logical size × device pixel ratio
    QImage m_ink;       // the stroke being written, or the one fading
    QImage m_hintLayer; // device pixels, without a ratio: the reveal writes pixels
    QRect m_inkArea;    // logical area the ink covers
    Source m_source = Source::None;
    int m_touchId = -1;
    QPolygonF m_points; // widget coordinates of the stroke being written
    QPolygonF m_lastStroke;
    QueryTimer m_fadeTimer;
    qint64 m_fadeStart = 0;
    std::unique_ptr<RevealAnimation> m_hint;
    int m_hintStroke = -1;
};
