#pragma once

#include "GraphicsPath.h"
#include "SheetStyle.h"

class Graphics;
struct StartupData;

// One cell centred in an image for the stroke-by-stroke display, in points.
struct StepCell
{
    int fsize = 0;
    int left = 0;
    int top = 10;
    int zx = 0;
    int zy = 0;
    int strokes = 0;
    GraphicsPath glyph; // placed at (left + zx, top + zy)
};

// The cell of ch for an image of imageWidth pixels (width in points =
// imageWidth * pointsPerPixel), em size fsize points.
StepCell strokeStepCell(const StartupData &data, const QString &ch, int fsize, int imageWidth,
                        double pointsPerPixel);

// Step -1: the empty cell with its frame and, on request, the outline.
void drawEmptyStepCell(Graphics &g, const StepCell &cell, const SheetStyle &style);
// Step k >= 0: fills stroke k + 1; nothing when k is past the last stroke.
void fillStrokeStep(Graphics &g, const StepCell &cell, int step, const QColor &color);
