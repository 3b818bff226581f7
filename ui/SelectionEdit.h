#pragma once

#include <QLineEdit>

// The look-up's input field. Unlike a plain QLineEdit it keeps its
// selection when another control takes the focus, so a click on a button
// finds the character the user selected or the last look-up left selected.
class SelectionEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit SelectionEdit(QWidget *parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent *event) override;
};
