// The pinyin sound board page of the main window.
#include "DoDeze.h"

#include <QWidget>

void TForm1::buildPinyinPage()
{
    pnl1 = new QWidget(ts2);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    pnl6 = new QWidget(ts2);
    pnl6->setObjectName(QStringLiteral("pnl6"));
    pnl7 = new QWidget(ts2);
    pnl7->setObjectName(QStringLiteral("pnl7"));
}

void TForm1::layoutPinyinPage()
{
}

void TForm1::btn5Click(QPushButton *sender)
{
    Q_UNUSED(sender);
}
