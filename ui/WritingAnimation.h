#pragma once

#include "CellFrame.h"
#include "RevealAnimation.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class ImageView;
class QComboBox;
class QWidget;
struct StartupData;

// The "速度" choice of a window: 慢, 中 (the default), 快.
QComboBox *makeSpeedChoice(QWidget *parent, const QString &name);
RevealSpeed speedOfChoice(const QComboBox *choice);

// The animated writing of one character on an image control: the cell frame
// (pen 2.0), then every segment of the segment font uncovered line by line
// in the direction of its code, paced by the query clock at the speed the
// window's control shows at each frame. Only one animation runs in the
// program: starting one ends any other for good, and so does a stop request.
class WritingAnimation : public QObject, public RevealTarget
{
    Q_OBJECT
public:
    WritingAnimation(ImageView *img, std::function<RevealSpeed()> speed, QObject *parent = nullptr);
    ~WritingAnimation() override;

    // Sets the flags of a running animation, clears the picture (the image
    // must already have its final size), draws the frame and starts the
    // reveal. Nothing happens for an empty character or code string.
    void start(const StartupData &data, const QString &ch, const QString &codes, const FrameStyle &frame,
               const QColor &charColor, double dpi);
    void stop();
    bool isRunning() const;
    // The reveal under way or last run; nullptr before the first.
    const RevealAnimation *reveal() const { return m_reveal.get(); }

    // What the reveal draws on and asks at every frame.
    QImage *picture() override;
    void refresh(const QRect &area) override;
    double linesPerSecond() override;
    bool stopRequested() override;

signals:
    void finished();

private:
    QPointer<ImageView> m_img;
    std::function<RevealSpeed()> m_speed;
    std::unique_ptr<RevealAnimation> m_reveal;
};
