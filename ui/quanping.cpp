#include "quanping.h"

#include <QTimer>

TForm2::TForm2(TForm1 *main, QWidget *parent) : QWidget(parent), m_main(main)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("全屏模式"));
    tmr1 = new QTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(800);
    tmr2 = new QTimer(this);
    tmr2->setObjectName(QStringLiteral("tmr2"));
    tmr2->setInterval(500);
}
