#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

UpDown::UpDown(const QString &name, QLineEdit *buddy, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    setObjectName(name);
    m_up->setObjectName(name + QStringLiteral("_up"));
    m_down->setObjectName(name + QStringLiteral("_down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_pos = std::clamp(m_pos, m_min, m_max);
}

void UpDown::step(int delta)
{
    // Start from the number in the field; a field without one (empty, too
    // long) starts from the last position.
    bool ok = false;
    const qint64 shown = m_buddy ? m_buddy->text().toLongLong(&ok) : 0;
    const qint64 from = ok ? shown : m_pos;
    m_pos = int(std::clamp<qint64>(from + delta, m_min, m_max));
    if (m_buddy)
        m_buddy->setText(QString::number(m_pos));
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
