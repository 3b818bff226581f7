#include "DoDeze.h"

#include "ColorSwatch.h"
#include "PracticeTab.h"
#include "SheetStyle.h"

#include <QLineEdit>

PracticeSource TForm1::practiceSource() const
{
    PracticeSource s;
    s.text = edt1->text();
    // The character on show on the first tab: the one selected there, else
    // the one last looked up in this same text, else the first.
    if (edt1->hasSelectedText())
        s.position = edt1->selectionStart();
    else if (m_query.lookedUpText == s.text && m_query.lookedUpPos >= 0)
        s.position = m_query.lookedUpPos;
    const SheetStyle style = sheetStyle();
    s.look.frame = style.frame;
    s.look.charColor = style.charColor;
    s.look.traceColor = style.traceColor;
    return s;
}
