#include "DoDeze.h"

#include "ColorSwatch.h"
#include "PracticeTab.h"
#include "SheetStyle.h"

#include <QLineEdit>

PracticeSource TForm1::practiceSource() const
{
    PracticeSource s;
    s.text = edt1->text();
    s.position = currentCharPos(); // the character on show on the first tab
    const SheetStyle style = sheetStyle();
    s.look.frame = style.frame;
    s.look.charColor = style.charColor;
    s.look.traceColor = style.traceColor;
    return s;
}
