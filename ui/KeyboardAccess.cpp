#include "KeyboardAccess.h"

#include "CharWorksheetTab.h"
#include "DoDeze.h"
#include "LetterWorksheetTab.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "RadioGroup.h"
#include "WritingAnimation.h"

#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

void chainTabOrder(const QList<QWidget *> &widgets)
{
    QList<QWidget *> order;
    for (QWidget *w : widgets) {
        if (auto *group = qobject_cast<RadioGroup *>(w)) {
            for (int i = 0; i < group->count(); ++i)
                order << group->item(i);
        } else if (w) {
            order << w;
        }
    }
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

namespace {

void shortcut(TForm1 *window, const QKeySequence &keys, const std::function<void()> &run)
{
    auto *s = new QShortcut(keys, window);
    s->setContext(Qt::WindowShortcut);
    QObject::connect(s, &QShortcut::activated, window, run);
}

// A button's command, as a click would give it (nothing while it is disabled).
void press(QPushButton *button)
{
    if (button && button->isEnabled())
        button->click();
}

} // namespace

void addMainShortcuts(TForm1 *w)
{
    shortcut(w, QKeySequence::Save, [w] {
        const QWidget *page = w->pgc1->currentWidget();
        if (page == w->ts1)
            press(w->btn2);
        else if (page == w->ts3)
            press(w->charTab->btn72);
        else if (page == w->ts4)
            press(w->letterTab->btn74);
    });
    shortcut(w, QKeySequence::Print, [w] {
        const QWidget *page = w->pgc1->currentWidget();
        if (page == w->ts3)
            press(w->charTab->btn76);
        else if (page == w->ts4)
            press(w->letterTab->btn75);
    });
    shortcut(w, Qt::Key_F11, [w] { press(w->btn4); });
    shortcut(w, Qt::Key_Escape, [w] {
        // Stopped, not looked up again: the next look-up starts at once.
        w->tmr1->stop();
        if (w->animation()->isRunning()) {
            queryState().StopRequested = true;
            w->animation()->stop();
        }
    });
}
