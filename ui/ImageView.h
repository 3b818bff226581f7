#pragma once

#include <QImage>
#include <QWidget>

// An image control: a widget that owns a picture and paints it at its
// top-left corner. Drawing into the picture does not repaint by itself.
// The picture has the screen's pixels: its size is the widget's times the
// device pixel ratio, which it carries, so painters draw on it in the
// widget's logical units and a HiDPI screen shows it sharp.
class ImageView : public QWidget
{
    Q_OBJECT
public:
    ImageView(const QString &name, QWidget *parent);

    QImage &picture() { return m_picture; }
    const QImage &picture() const { return m_picture; }
    // A new blank white picture of the widget's current size, at dpi (the
    // logical resolution), at the screen's pixel ratio; at ratio 1 when the
    // screen's pixels would make it too large.
    void clearPicture(double dpi);
    // Device pixels per logical pixel of the picture.
    qreal pictureRatio() const { return m_picture.isNull() ? 1.0 : m_picture.devicePixelRatio(); }
    // A rectangle of picture pixels as the widget's area that shows it.
    QRect widgetArea(const QRect &picturePixels) const;
    // The picture's size follows the widget's.
    void setPicture(const QImage &image) { m_picture = image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
