#pragma once

#include <QString>

// The process-wide flags that keep one drawing at a time, shared by the
// main window and the full-screen window. Everything runs on the GUI thread.
struct QueryState
{
    bool StopRequested = true; // false while an animation may go on
    bool QueryDone = true;     // the last dispatched look-up has returned
    bool MainClosing = false;
    int SavedSelStart = 0;
    QString CurrentChar;
    int StrokeStep = 0;   // -1 = empty cell, k >= 0 = fill stroke k + 1
    int RevealDelay = 0;  // ms slept on every third line of the animation
    int ActiveDrawings = 0; // drawings on the call stack that use the fonts
};

QueryState &queryState();
// Back to the state at program start (for a second main window in tests).
void resetQueryState();

// Marks a drawing that uses the private fonts while it is on the call stack,
// so the fonts are released only after it has unwound.
class DrawingScope
{
public:
    DrawingScope() { ++queryState().ActiveDrawings; }
    ~DrawingScope() { --queryState().ActiveDrawings; }
    DrawingScope(const DrawingScope &) = delete;
    DrawingScope &operator=(const DrawingScope &) = delete;
};
