#include "PracticeCanvas.h"

#include "Graphics.h"
#include "GraphicsPath.h"
#include "QueryClock.h"
#include "StartupData.h"
#include "StrokeSheet.h"
#include "WritingCell.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTabletEvent>
#include <QTouchEvent>

#include <cmath>

namespace {

const QColor MissColor(214, 48, 49);

QPointF mid(QPointF a, QPointF b)
{
    return (a + b) / 2.0;
}

// The smoothed ink of points: straight to the first midpoint, a quadratic
// through every inner point from midpoint to midpoint, straight to the end.
QPainterPath inkPath(const QPolygonF &pts)
{
    QPainterPath path;
    if (pts.isEmpty())
        return path;
    path.moveTo(pts[0]);
    if (pts.size() == 1) {
        path.lineTo(pts[0]);
        return path;
    }
    path.lineTo(mid(pts[0], pts[1]));
    for (int i = 1; i + 1 < pts.size(); ++i)
        path.quadTo(pts[i], mid(pts[i], pts[i + 1]));
    path.lineTo(pts.last());
    return path;
}

QImage layer(QSize logical, qreal dpr, QImage::Format format)
{
    QImage img(QSize(int(std::ceil(logical.width() * dpr)), int(std::ceil(logical.height() * dpr))), format);
    if (img.isNull())
        return img;
    img.setDevicePixelRatio(dpr);
    img.fill(format == QImage::Format_RGB32 ? qRgb(255, 255, 255) : 0);
    return img;
}

// The main direction of a line as a reveal code, for a stroke the segment
// font cannot be matched with.
int codeOf(const QPolygonF &line)
{
    if (line.size() < 2)
        return 1;
    const QPointF d = line.last() - line.first();
    if (std::abs(d.x()) >= std::abs(d.y()))
        return d.x() >= 0 ? 1 : 3;
    return d.y() >= 0 ? 2 : 4;
}

} // namespace

PracticeCanvas::PracticeCanvas(const StartupData &data, PracticeSession &session, QWidget *parent)
    : QWidget(parent), m_data(data), m_session(session)
{
    setObjectName(QStringLiteral("practiceCanvas"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_StaticContents);
    setCursor(Qt::CrossCursor);
    setMinimumSize(200, 200);
    m_fadeTimer.setInterval(FadeFrameMs);
    connect(&m_fadeTimer, &QueryTimer::timeout, this, &PracticeCanvas::fadeTick);
}

PracticeCanvas::~PracticeCanvas() = default;

void PracticeCanvas::setLook(const PracticeLook &look)
{
    m_look = look;
    rebuild();
}

void PracticeCanvas::characterChanged()
{
    cancelStroke();
    clearInk();
    stopHint();
    m_hintStroke = -1;
    m_lastStroke.clear();
    rebuild();
}

double PracticeCanvas::penWidth() const
{
    return std::max(3.0, m_cell.fsize * 0.035);
}

void PracticeCanvas::rebuild()
{
    const qreal dpr = devicePixelRatioF();
    m_base = layer(size(), dpr, QImage::Format_RGB32);
    m_ink = layer(size(), dpr, QImage::Format_ARGB32_Premultiplied);
    m_inkArea = QRect();
    m_points.clear();
    m_source = Source::None; // a stroke under way when the cell changes is dropped
    m_touchId = -1;
    m_fadeTimer.stop();
    const QChar ch = m_session.currentChar();
    const SheetGlyph glyph(m_data.PrivateFonts, m_data.CharFontFamily, ch.isNull() ? QString() : QString(ch));
    m_cell = practiceCell(glyph, size());
    if (!m_base.isNull() && m_cell.isValid()) {
        Graphics g(m_base, 96.0 * dpr);
        g.setAntialiasing(true);
        FrameStyle frame = m_look.frame;
        frame.width = 2.0;
        drawCellFrame(g, frame, m_cell.left, m_cell.top, m_cell.side);
        if (m_look.showGlyph) {
            // Three quarters of the way from the tracing colour to white:
            // seen, not read as ink, and lighter than a hint.
            const QColor t = m_look.traceColor;
            const QColor faint((t.red() + 3 * 255) / 4, (t.green() + 3 * 255) / 4, (t.blue() + 3 * 255) / 4);
            for (const QPainterPath &s : m_cell.strokes)
                g.fillPath(s, faint);
        }
        const int done = std::min(m_session.currentStroke(), int(m_cell.strokes.size()));
        for (int k = 0; k < done; ++k)
            g.fillPath(m_cell.strokes[k], m_look.charColor);
    }
    // A hint standing in the cell is shown again, whole, at the new size.
    if (m_hintStroke >= 0 && m_hintStroke == m_session.currentStroke()) {
        const int stroke = m_hintStroke;
        startHint(stroke);
        if (m_hint) {
            m_hint->stop();
            m_hint->advance(m_hintLayer, m_hint->totalLines());
        }
    } else {
        stopHint();
        m_hintStroke = -1;
        m_hintLayer = QImage();
    }
    update();
}

void PracticeCanvas::resizeEvent(QResizeEvent *)
{
    rebuild();
}

QImage *PracticeCanvas::picture()
{
    return m_hintLayer.isNull() ? nullptr : &m_hintLayer;
}

void PracticeCanvas::refresh(const QRect &area)
{
    const qreal dpr = devicePixelRatioF();
    update(QRectF(area.x() / dpr, area.y() / dpr, area.width() / dpr, area.height() / dpr)
               .toAlignedRect()
               .adjusted(-1, -1, 1, 1));
}

double PracticeCanvas::linesPerSecond()
{
    // The reveal counts device lines; the pace on screen stays that of the
    // main window's animation at 中.
    return revealLinesPerSecond(RevealSpeed::Medium) * devicePixelRatioF();
}

void PracticeCanvas::stopHint()
{
    if (m_hint)
        m_hint->stop();
    m_hint.reset();
}

void PracticeCanvas::startHint(int stroke)
{
    stopHint();
    const QChar ch = m_session.currentChar();
    if (ch.isNull() || !m_cell.isValid() || stroke < 0 || stroke >= m_cell.strokes.size())
        return;
    const qreal dpr = devicePixelRatioF();
    m_hintLayer = QImage(QSize(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr))),
                         QImage::Format_ARGB32_Premultiplied);
    if (m_hintLayer.isNull())
        return;
    m_hintLayer.fill(0);
    const QTransform toDevice = QTransform::fromScale(dpr, dpr);
    GraphicsPath segments;
    segments.addString(QString(ch), m_data.PrivateFonts, m_data.SegmentFontFamily, m_cell.fsize, m_cell.origin);
    const QList<int> group = groupSegments(m_cell.strokes, segments.subpaths());
    const QList<int> codes = revealCodes(m_data.directionCodes(QString(ch)));
    QList<QPainterPath> parts;
    QList<int> partCodes;
    for (int j = 0; j < group.size(); ++j) {
        if (group[j] != stroke)
            continue;
        parts << toDevice.map(segments.subpath(j));
        partCodes << codes.value(j, -1);
    }
    if (parts.isEmpty()) {
        // The segment font disagrees with the stroke font here: the whole
        // stroke, uncovered along its centre line's main direction.
        parts << toDevice.map(m_cell.strokes[stroke]);
        partCodes << codeOf(m_session.centreLines().value(stroke));
    }
    m_hintStroke = stroke;
    m_hint = std::make_unique<RevealAnimation>(parts, partCodes, m_look.traceColor.rgb(), 96.0 * dpr, this);
    m_hint->start();
}

double PracticeCanvas::inkOpacity() const
{
    if (!m_fadeTimer.isActive())
        return 1.0;
    const qint64 elapsed = QueryClock::instance().nowMs() - m_fadeStart;
    return std::clamp(1.0 - double(elapsed) / FadeMs, 0.0, 1.0);
}

void PracticeCanvas::clearInk()
{
    m_fadeTimer.stop();
    if (!m_inkArea.isEmpty()) {
        QPainter p(&m_ink);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.fillRect(m_inkArea, Qt::transparent);
        update(m_inkArea);
    }
    m_inkArea = QRect();
}

void PracticeCanvas::fadeTick()
{
    if (inkOpacity() <= 0.0) {
        clearInk();
        return;
    }
    update(m_inkArea);
}

void PracticeCanvas::beginStroke(Source source, QPointF p)
{
    if (m_ink.isNull() || !m_cell.isValid())
        return;
    clearInk();
    m_source = source;
    m_points.clear();
    extendStroke(p);
}

void PracticeCanvas::extendStroke(QPointF p)
{
    if (m_source == Source::None || !std::isfinite(p.x()) || !std::isfinite(p.y()))
        return;
    const int n = int(m_points.size());
    if (n > 0 && std::abs(p.x() - m_points.last().x()) + std::abs(p.y() - m_points.last().y()) < 0.5)
        return;
    m_points << p;
    // Only the newest piece is drawn, and only its area repainted.
    QPainterPath piece;
    if (n == 0) {
        piece.moveTo(p);
        piece.lineTo(p);
    } else if (n == 1) {
        piece.moveTo(m_points[0]);
        piece.lineTo(mid(m_points[0], p));
    } else {
        piece.moveTo(mid(m_points[n - 2], m_points[n - 1]));
        piece.quadTo(m_points[n - 1], mid(m_points[n - 1], p));
    }
    const double w = penWidth();
    {
        QPainter painter(&m_ink);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(m_look.charColor, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(piece);
    }
    const QRect dirty = piece.controlPointRect().adjusted(-w, -w, w, w).toAlignedRect();
    m_inkArea |= dirty;
    update(dirty);
}

void PracticeCanvas::cancelStroke()
{
    m_source = Source::None;
    m_touchId = -1;
    m_points.clear();
    clearInk();
}

void PracticeCanvas::endStroke()
{
    if (m_source == Source::None)
        return;
    m_source = Source::None;
    m_touchId = -1;
    const QPolygonF points = m_points;
    m_points.clear();
    QPolygonF box;
    box.reserve(points.size());
    for (const QPointF &p : points)
        box << m_cell.toBox(p);
    m_lastStroke = box;
    const PracticeSession::Outcome out = m_session.submit(box);
    if (!out.judged) {
        clearInk();
    } else if (out.verdict.match) {
        clearInk();
        {
            Graphics g(m_base, 96.0 * devicePixelRatioF());
            g.setAntialiasing(true);
            g.fillPath(m_cell.strokes.value(out.stroke), m_look.charColor);
        }
        update(m_cell.strokes.value(out.stroke).boundingRect().toAlignedRect().adjusted(-2, -2, 2, 2));
        if (m_hintStroke == out.stroke) {
            stopHint();
            m_hintStroke = -1;
            m_hintLayer = QImage();
            update();
        }
    } else {
        // The miss in red, the whole stroke at once, then fading away.
        const QPainterPath path = inkPath(points);
        const double w = penWidth();
        {
            QPainter painter(&m_ink);
            painter.setCompositionMode(QPainter::CompositionMode_Clear);
            painter.fillRect(m_inkArea, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(MissColor, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(path);
        }
        m_inkArea |= path.controlPointRect().adjusted(-w, -w, w, w).toAlignedRect();
        update(m_inkArea);
        m_fadeStart = QueryClock::instance().nowMs();
        m_fadeTimer.start();
        if (out.hint) {
            startHint(out.stroke);
            m_session.hintShown();
        }
    }
    emit strokeJudged(out);
}

void PracticeCanvas::paintEvent(QPaintEvent *event)
{
    if (!qFuzzyCompare(m_base.devicePixelRatio(), devicePixelRatioF()))
        rebuild(); // moved to a screen of another pixel ratio
    QPainter p(this);
    const QRect r = event->rect();
    const auto source = [&r](const QImage &img, qreal dpr) {
        return QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr) & QRectF(img.rect());
    };
    const qreal dpr = devicePixelRatioF();
    if (m_base.isNull()) {
        p.fillRect(r, Qt::white);
        return;
    }
    const auto draw = [&](const QImage &img) {
        const QRectF s = source(img, dpr);
        p.drawImage(QRectF(s.x() / dpr, s.y() / dpr, s.width() / dpr, s.height() / dpr), img, s);
    };
    draw(m_base);
    if (!m_hintLayer.isNull())
        draw(m_hintLayer);
    if (!m_inkArea.isEmpty() && m_inkArea.intersects(r)) {
        p.setOpacity(inkOpacity());
        draw(m_ink);
    }
}

QImage PracticeCanvas::snapshot() const
{
    QImage out = m_base.copy();
    if (out.isNull())
        return out;
    QPainter p(&out);
    p.setTransform(QTransform()); // device pixels
    const qreal dpr = m_base.devicePixelRatio();
    p.scale(1.0 / dpr, 1.0 / dpr);
    if (!m_hintLayer.isNull())
        p.drawImage(0, 0, m_hintLayer);
    if (!m_inkArea.isEmpty()) {
        p.setOpacity(inkOpacity());
        QImage ink = m_ink;
        ink.setDevicePixelRatio(1.0);
        p.drawImage(0, 0, ink);
    }
    return out;
}

void PracticeCanvas::mousePressEvent(QMouseEvent *event)
{
    // A mouse event Qt made up from a touch or a pen is one already taken.
    if (event->button() != Qt::LeftButton || m_source != Source::None
        || event->source() == Qt::MouseEventSynthesizedByQt)
        return;
    beginStroke(Source::Mouse, event->position());
}

void PracticeCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_source == Source::Mouse)
        extendStroke(event->position());
}

void PracticeCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_source != Source::Mouse || event->button() != Qt::LeftButton)
        return;
    extendStroke(event->position());
    endStroke();
}

void PracticeCanvas::tabletEvent(QTabletEvent *event)
{
    // Accepted, so Qt sends no mouse event made up from the pen's.
    event->accept();
    switch (event->type()) {
    case QEvent::TabletPress:
        if (m_source == Source::None || m_source == Source::Mouse) {
            m_source = Source::None;
            beginStroke(Source::Tablet, event->position());
        }
        break;
    case QEvent::TabletMove:
        if (m_source == Source::Tablet)
            extendStroke(event->position());
        break;
    case QEvent::TabletRelease:
        if (m_source == Source::Tablet) {
            extendStroke(event->position());
            endStroke();
        }
        break;
    default:
        break;
    }
}

bool PracticeCanvas::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: {
        auto *touch = static_cast<QTouchEvent *>(event);
        event->accept();
        // One finger writes; others resting on the screen are ignored.
        for (const QEventPoint &pt : touch->points()) {
            if (m_source == Source::None && pt.state() == QEventPoint::Pressed) {
                m_touchId = pt.id();
                beginStroke(Source::Touch, pt.position());
                continue;
            }
            if (m_source != Source::Touch || pt.id() != m_touchId)
                continue;
            if (pt.state() == QEventPoint::Released) {
                extendStroke(pt.position());
                endStroke();
            } else if (pt.state() == QEventPoint::Updated) {
                extendStroke(pt.position());
            }
        }
        return true;
    }
    case QEvent::TouchCancel:
        if (m_source == Source::Touch)
            cancelStroke();
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}
