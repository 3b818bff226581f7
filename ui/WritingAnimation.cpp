#include "WritingAnimation.h"

#include "ImageView.h"
#include "QueryState.h"
#include "StartupData.h"
#include "WritingCell.h"

#include <QComboBox>
#include <QTransform>

#include <algorithm>

namespace {
WritingAnimation *g_running = nullptr;
}

QComboBox *makeSpeedChoice(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems({QStringLiteral("慢"), QStringLiteral("中"), QStringLiteral("快")});
    c->setCurrentIndex(1);
    c->setToolTip(QStringLiteral("动画演示的书写速度"));
    return c;
}

RevealSpeed speedOfChoice(const QComboBox *choice)
{
    switch (choice->currentIndex()) {
    case 0:
        return RevealSpeed::Slow;
    case 2:
        return RevealSpeed::Fast;
    default:
        return RevealSpeed::Medium;
    }
}

WritingAnimation::WritingAnimation(ImageView *img, std::function<RevealSpeed()> speed, QObject *parent)
    : QObject(parent), m_img(img), m_speed(std::move(speed))
{
}

WritingAnimation::~WritingAnimation()
{
    if (g_running == this)
        g_running = nullptr;
}

bool WritingAnimation::isRunning() const
{
    return m_reveal && m_reveal->isRunning();
}

void WritingAnimation::stop()
{
    if (m_reveal)
        m_reveal->stop();
    if (g_running == this)
        g_running = nullptr;
}

void WritingAnimation::start(const StartupData &data, const QString &ch, const QString &codes,
                             const FrameStyle &frame, const QColor &charColor, double dpi)
{
    if (ch.isEmpty() || codes.isEmpty() || !m_img)
        return;
    if (g_running)
        g_running->stop(); // a newer query ends the older animation for good
    stop();
    DrawingScope drawing;
    QueryState &q = queryState();
    q.StopRequested = false;
    q.QueryDone = false;
    q.RevealDelay = 1;

    ImageView *img = m_img;
    img->clearPicture(dpi);
    if (std::min(img->width(), img->height()) - 40 < 1 || img->picture().isNull())
        return; // no room for a cell
    const QList<QPainterPath> placed = drawWritingCell(img->picture(), dpi, data.PrivateFonts, data.CharFontFamily,
                                                       data.SegmentFontFamily, ch, frame);
    img->update();

    // The reveal uncovers device pixel lines: on a HiDPI picture the
    // segments are scaled to its own pixels.
    const qreal ratio = img->pictureRatio();
    QList<QPainterPath> segments;
    for (const QPainterPath &s : placed)
        segments << QTransform::fromScale(ratio, ratio).map(s);
    m_reveal = std::make_unique<RevealAnimation>(segments, revealCodes(codes), charColor.rgb(), dpi * ratio, this);
    connect(m_reveal.get(), &RevealAnimation::finished, this, [this] {
        if (g_running == this)
            g_running = nullptr;
        emit finished();
    });
    g_running = this;
    m_reveal->start();
}

QImage *WritingAnimation::picture()
{
    return m_img ? &m_img->picture() : nullptr;
}

void WritingAnimation::refresh(const QRect &area)
{
    if (m_img)
        m_img->update(m_img->widgetArea(area));
}

double WritingAnimation::linesPerSecond()
{
    // Lines are device lines: the pace on screen stays the same at any ratio.
    const double ratio = m_img ? m_img->pictureRatio() : 1.0;
    return revealLinesPerSecond(m_speed ? m_speed() : RevealSpeed::Medium) * ratio;
}

bool WritingAnimation::stopRequested()
{
    return queryState().StopRequested;
}
