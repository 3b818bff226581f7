#pragma once

#include <QColor>
#include <QFrame>

// A small panel whose background colour is a drawing colour; a click, or
// Space or Enter while it has the focus, asks for a new one.
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    ColorSwatch(const QString &name, const QColor &color, QWidget *parent);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
