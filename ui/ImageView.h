#pragma once

#include <QImage>
#include <QWidget>

// An image control: a widget that owns a picture and paints it at its
// top-left corner. Drawing into the picture does not repaint by itself.
class ImageView : public QWidget
{
    Q_OBJECT
public:
    ImageView(const QString &name, QWidget *parent);

    QImage &picture() { return m_picture; }
    const QImage &picture() const { return m_picture; }
    // A new blank white picture of the widget's current size, at dpi.
    void clearPicture(double dpi);
    // The picture's size follows the widget's.
    void setPicture(const QImage &image) { m_picture = image; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
