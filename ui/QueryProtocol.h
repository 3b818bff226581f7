#pragma once

#include <QString>

class ImageView;
class QLineEdit;
class QTimer;
struct SheetStyle;
struct StartupData;

// The controls a look-up works with. The main window and the full-screen
// window each have their own set and share the flags of queryState().
struct QueryControls
{
    QLineEdit *edit = nullptr;
    QTimer *stepTimer = nullptr;    // tmr1, 800 ms: one stroke per tick
    QTimer *requeryTimer = nullptr; // tmr2, 500 ms: the look-up after a stop
    ImageView *image = nullptr;
};

namespace QueryProtocol {

// Focuses the edit and selects the character at pos; at or beyond the end
// nothing is selected and the caret stands at the end.
void selectCharAt(QLineEdit *edit, int pos);

// The gate of the query button: stops the stepping timer, saves the
// selection start, and turns a click during an animation into a stop request
// with a re-query. True when the look-up may go on.
bool gate(const QueryControls &c);

// Selects the first character when nothing is selected and makes the first
// selected character the current one.
QString takeCurrentChar(const QueryControls &c);

// After a look-up: the saved selection back, and the look-up marked done.
void epilogue(const QueryControls &c);

// One tick of the re-query timer: true when the query button is to be clicked now.
bool requeryDue(const QueryControls &c);

// Moves the selection one character back (delta -1) or forward (+1) for the
// stepping buttons; false when the edit is empty and nothing is to be done.
bool stepSelection(const QueryControls &c, int delta);

// One step of the stroke-by-stroke display (-1: the empty cell) at em size
// (smaller image side - sideLoss pixels) in points; switches the stepping
// timer off after the last stroke.
void drawStrokeStep(const QueryControls &c, const StartupData &data, const QString &ch, int step,
                    int sideLoss, const SheetStyle &style, double dpi);

} // namespace QueryProtocol
