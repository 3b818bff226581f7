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

namespace {

// An emoji (or any character outside the Basic Multilingual Plane) is two
// code units and one character: it is selected, stepped over and looked up whole.
int charWidthAt(const QString &text, int pos)
{
    return pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate() ? 2 : 1;
}

// The start of the character that pos falls in.
int charStartAt(const QString &text, int pos)
{
    return pos > 0 && pos < text.size() && text.at(pos).isLowSurrogate() && text.at(pos - 1).isHighSurrogate()
               ? pos - 1
               : pos;
}

} // namespace

namespace QueryProtocol {

void selectCharAt(QueryControls &c, int pos)
{
    QLineEdit *edit = c.edit;
    const QWidget *focus = QApplication::focusWidget();
    if (!focus || focus == edit || c.focusToEdit.contains(focus))
        edit->setFocus();
    const QString text = edit->text();
    if (pos >= 0 && pos < text.size()) {
        pos = charStartAt(text, pos);
        edit->setSelection(pos, charWidthAt(text, pos));
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
    const QString text = c.edit->text();
    const int pos = charStartAt(text, c.edit->selectionStart());
    const QString ch = text.mid(pos, charWidthAt(text, pos));
    queryState().CurrentChar = ch;
    c.lookedUpPos = pos;
    c.lookedUpText = text;
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
    const QString text = edit->text();
    from = charStartAt(text, from);
    const int next = delta > 0 ? from + charWidthAt(text, from) : charStartAt(text, from - 1);
    const int at = next >= 0 && next <= text.size() - 1 ? next : from;
    edit->setSelection(at, charWidthAt(text, at));
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
    // The picture is shown between the two drawings, with no painter open
    // on it (a HiDPI picture gets its pixel ratio back when one closes).
    const auto draw = [&](auto &&paint) {
        Graphics g(img->picture(), dpi);
        g.setPageUnit(PageUnit::Point);
        g.setAntialiasing(true);
        paint(g);
    };
    if (step == -1 && fsize > 0)
        draw([&](Graphics &g) { drawEmptyStepCell(g, cell, style); });
    img->repaint();
    // The stroke filled now shows at the next repaint.
    if (step != -1 && fsize > 0)
        draw([&](Graphics &g) { fillStrokeStep(g, cell, step, style.charColor); });
    if (step == cell.strokes)
        c.stepTimer->stop();
    else if (!c.stepTimer->isActive())
        c.stepTimer->start();
}

} // namespace QueryProtocol
