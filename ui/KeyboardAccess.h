#pragma once

#include <QList>

class QWidget;
class TForm1;

// Tab moves through the widgets in the order given; a radio group is its
// items.
void chainTabOrder(const QList<QWidget *> &widgets);

// The main window's shortcuts, captions unchanged: Ctrl+S saves the shown
// page (the stroke-order picture or the copybook pages), Ctrl+P prints a
// copybook, F11 opens the full-screen window, Escape stops the writing
// animation and the stroke-by-stroke display.
void addMainShortcuts(TForm1 *window);
