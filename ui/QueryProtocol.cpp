#include "QueryProtocol.h"

#include "Graphics.h"
#include "ImageView.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "StartupData.h"
#include "StrokeStep.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>

namespace QueryProtocol {

void selectCharAt(QueryControls &c, int pos)
{
    QLineEdit *edit = c.edit;
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == edit || c.focusToEdit.contains(focus))
        edit->setFocus();
    if (pos >= 0 && pos < edit->text().size()) {
        edit->setSelection(pos, 1);
    } else {
        edit->deselect();
        edit->setCursorPosition(edit->text().size());
    }
}

bool gate(QueryControls &c)
{
    QueryState &q = queryState();
    if (c.stepTimer->isActive())
        c.stepTimer->stop();
    if (c.edit->text().isEmpty())
        return false;
    q.SavedSelStart = c.edit->hasSelectedText() ? c.edit->selectionStart() : c.edit->cursorPosition();
    if (!q.StopRequested) {
        // An animation runs (or ran to its end): stop it, look up later.
        q.StopRequested = true;
        c.requeryTimer->start();
        return false;
    }
    if (q.MainClosing)
        return false;
    // This look-up is the one a pending re-query was waiting to make.
    c.requeryTimer->stop();
    return true;
}

QString takeCurrentChar(QueryControls &c)
{
    if (!c.edit->hasSelectedText())
        selectCharAt(c, 0);
    const QString ch = c.edit->selectedText().left(1);
    queryState().CurrentChar = ch;
    c.lookedUpPos = c.edit->selectionStart();
    c.lookedUpText = c.edit->text();
    return ch;
}

void epilogue(QueryControls &c)
{
    selectCharAt(c, queryState().SavedSelStart);
    queryState().QueryDone = true;
}

bool requeryDue(QueryControls &c)
{
    if (!queryState().QueryDone)
        return false;
    c.requeryTimer->stop();
    selectCharAt(c, queryState().SavedSelStart);
    return true;
}

bool stepSelection(QueryControls &c, int delta)
{
    if (c.stepTimer->isActive())
        c.stepTimer->stop();
    QLineEdit *edit = c.edit;
    if (edit->text().isEmpty())
        return false;
    int from = -1;
    if (edit->hasSelectedText())
        from = edit->selectionStart();
    else if (c.lookedUpPos >= 0 && edit->text() == c.lookedUpText)
        from = c.lookedUpPos;
    if (from < 0) {
        selectCharAt(c, 0);
        return true;
    }
    const int next = from + delta;
    edit->setSelection(next >= 0 && next <= edit->text().size() - 1 ? next : from, 1);
    return true;
}

void drawStrokeStep(const QueryControls &c, const StartupData &data, const QString &ch, int step,
                    int sideLoss, const SheetStyle &style, double dpi)
{
    DrawingScope drawing;
    ImageView *img = c.image;
    const double ppp = data.PointsPerPixel;
    const int fsize = int((std::min(img->width(), img->height()) - sideLoss) * ppp);
    const StepCell cell = strokeStepCell(data, ch, fsize, img->width(), ppp);
    if (img->picture().isNull())
        img->clearPicture(dpi);
    {
        Graphics g(img->picture(), dpi);
        g.setPageUnit(PageUnit::Point);
        g.setAntialiasing(true);
        if (step == -1 && fsize > 0)
            drawEmptyStepCell(g, cell, style);
        img->repaint();
        // The stroke filled now shows at the next repaint.
        if (step != -1 && fsize > 0)
            fillStrokeStep(g, cell, step, style.charColor);
    }
    if (step == cell.strokes)
        c.stepTimer->stop();
    else if (!c.stepTimer->isActive())
        c.stepTimer->start();
}

} // namespace QueryProtocol
