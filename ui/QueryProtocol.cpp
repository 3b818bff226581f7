#include "QueryProtocol.h"

#include "Graphics.h"
#include "ImageView.h"
#include "QueryState.h"
#include "StartupData.h"
#include "StrokeStep.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace QueryProtocol {

void selectCharAt(QLineEdit *edit, int pos)
{
    edit->setFocus();
    if (pos >= 0 && pos < edit->text().size()) {
        edit->setSelection(pos, 1);
    } else {
        edit->deselect();
        edit->setCursorPosition(edit->text().size());
    }
}

bool gate(const QueryControls &c)
{
    QueryState &q = queryState();
    if (c.stepTimer->isActive())
        c.stepTimer->stop();
    if (c.edit->text().isEmpty())
        return false;
    q.SavedSelStart = c.edit->hasSelectedText() ? c.edit->selectionStart() : c.edit->cursorPosition();
    if (!q.StopRequested) {
        // An animation runs (or ran to its end): ask it to stop, look up later.
        q.StopRequested = true;
        c.requeryTimer->start();
        return false;
    }
    return !q.MainClosing;
}

QString takeCurrentChar(const QueryControls &c)
{
    if (!c.edit->hasSelectedText())
        selectCharAt(c.edit, 0);
    const QString ch = c.edit->selectedText().left(1);
    queryState().CurrentChar = ch;
    return ch;
}

void epilogue(const QueryControls &c)
{
    // A nested click may have replaced the saved start meanwhile: take it now.
    selectCharAt(c.edit, queryState().SavedSelStart);
    queryState().QueryDone = true;
}

bool requeryDue(const QueryControls &c)
{
    if (!queryState().QueryDone)
        return false;
    QCoreApplication::processEvents();
    c.requeryTimer->stop();
    selectCharAt(c.edit, queryState().SavedSelStart);
    return true;
}

bool stepSelection(const QueryControls &c, int delta)
{
    if (c.stepTimer->isActive())
        c.stepTimer->stop();
    QLineEdit *edit = c.edit;
    if (edit->text().isEmpty())
        return false;
    if (!edit->hasSelectedText()) {
        selectCharAt(edit, 0);
    } else {
        const int start = edit->selectionStart();
        const int next = start + delta;
        if (next >= 0 && next <= edit->text().size() - 1)
            edit->setSelection(next, 1);
    }
    QCoreApplication::processEvents();
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
