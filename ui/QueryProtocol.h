#pragma once

#include <QList>
#include <QString>

class ImageView;
class QLineEdit;
class QWidget;
class QueryTimer;
struct SheetStyle;
struct StartupData;

// The controls a look-up works with, and where the last look-up was. The
// main window and the full-screen window each have their own set and share
// the flags of queryState().
struct QueryControls
{
    QLineEdit *edit = nullptr;
    QueryTimer *stepTimer = nullptr;    // tmr1, 800 ms: one stroke per tick
    QueryTimer *requeryTimer = nullptr; // tmr2, 500 ms: the look-up after a stop
    ImageView *image = nullptr;
    // Controls (the look-up and stepping buttons) from which a look-up
    // hands the keyboard focus to the edit. From anywhere else the focus
    // stays where it is: the user may be typing there.
    QList<QWidget *> focusToEdit;
    // The character last looked up: stepping goes on from it while the text
    // is unchanged and nothing else is selected.
    int lookedUpPos = -1;
    QString lookedUpText;
};

namespace QueryProtocol {

// Selects the character at pos; at or beyond the end nothing is selected
// and the caret stands at the end. The edit gets the focus only when the
// focus is on it, on one of c.focusToEdit or nowhere.
void selectCharAt(QueryControls &c, int pos);

// The gate of the query button: stops the stepping timer, saves the
// selection start, and turns a click during an animation into a stop request
// with a re-query. True when the look-up may go on.
bool gate(QueryControls &c);

// Selects the first character when nothing is selected and makes the first
// selected character the current one.
QString takeCurrentChar(QueryControls &c);

// After a look-up: the saved selection back, and the look-up marked done.
void epilogue(QueryControls &c);

// One tick of the re-query timer: true when the query button is to be clicked now.
bool requeryDue(QueryControls &c);

// Moves the selection one character back (delta -1) or forward (+1) for the
// stepping buttons, from the selection or else from the character last
// looked up; false when the edit is empty and nothing is to be done.
bool stepSelection(QueryControls &c, int delta);

// One step of the stroke-by-stroke display (-1: the empty cell) at em size
// (smaller image side - sideLoss pixels) in points; switches the stepping
// timer off after the last stroke.
void drawStrokeStep(const QueryControls &c, const StartupData &data, const QString &ch, int step,
                    int sideLoss, const SheetStyle &style, double dpi);

} // namespace QueryProtocol
