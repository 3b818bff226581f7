#pragma once

#include <QFont>
#include <QWidget>

// The compact interface font the windows' fixed layouts were made for.
inline void useInterfaceFont(QWidget *w)
{
    QFont f = w->font();
    f.setPixelSize(12);
    w->setFont(f);
}
