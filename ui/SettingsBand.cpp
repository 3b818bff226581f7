#include "SettingsBand.h"

#include <QResizeEvent>
#include <QScrollBar>

SettingsBand::SettingsBand(const QString &name, QWidget *band, int designWidth, QWidget *parent)
    : QScrollArea(parent), m_band(band), m_designWidth(designWidth)
{
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    band->setMinimumWidth(designWidth);
    setWidget(band);
    setFixedHeight(band->minimumHeight());
}

void SettingsBand::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    // Room for the sideways scroll bar only while it shows.
    const int bar = width() < m_designWidth ? horizontalScrollBar()->sizeHint().height() : 0;
    const int h = std::max(m_band->minimumHeight(), m_band->sizeHint().height()) + bar;
    if (height() != h)
        setFixedHeight(h);
}
