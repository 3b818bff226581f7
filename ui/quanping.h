#pragma once

#include <QWidget>

class QTimer;
class TForm1;

// The full-screen window for projection.
class TForm2 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm2(TForm1 *main, QWidget *parent = nullptr);

    QTimer *tmr1 = nullptr;
    QTimer *tmr2 = nullptr;

private:
    TForm1 *m_main;
};
