#include "SelectionEdit.h"

#include <QFocusEvent>

SelectionEdit::SelectionEdit(QWidget *parent) : QLineEdit(parent) {}

void SelectionEdit::focusOutEvent(QFocusEvent *event)
{
    const bool had = hasSelectedText();
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::focusOutEvent(event);
    if (had && !hasSelectedText())
        setSelection(start, length);
}
