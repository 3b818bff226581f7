#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// Two arrow buttons bound to an edit field: each click writes the field's
// number plus or minus one, kept within minimum .. maximum, into the field.
// The Up and Down keys in the field do the same. Typing any number into the
// field stays possible.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(const QString &name, QLineEdit *buddy, QWidget *parent);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int position() const { return m_pos; }
    void setRange(int minimum, int maximum);
    void setMaximum(int maximum) { setRange(m_min, maximum); }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(int delta);

    QLineEdit *m_buddy;
    QToolButton *m_up;
    QToolButton *m_down;
    int m_min = 1;
    int m_max = 100;
    int m_pos = 1;
};
