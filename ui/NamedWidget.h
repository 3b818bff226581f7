#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// Controls carry their name as objectName, so tests find them by it.
template<typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

// A named label at (x, y), as wide as its text.
inline QLabel *label(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *l = named(new QLabel(text, parent), name);
    l->move(x, y);
    l->adjustSize();
    return l;
}
