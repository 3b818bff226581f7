#pragma once

#include <QColor>

enum class DashStyle { Solid, Dash };

// A pen of one colour and width in the surface's unit; the dash pattern
// scales with the width.
struct Pen
{
    QColor color = Qt::black;
    double width = 1.0;
    DashStyle dashStyle = DashStyle::Solid;
};
