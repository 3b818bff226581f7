#include "quanping.h"

#include "DoDeze.h"
#include "ImageView.h"
#include "PracticeTab.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "WritingAnimation.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

// The practice mode of the full-screen window: the same practice as the
// main window's 书写练习 page, over the whole picture area, on this
// window's text, for a whiteboard or a projector.

namespace {

// Calls back when the watched window is shown.
class ShowWatch : public QObject
{
public:
    ShowWatch(QObject *parent, std::function<void()> shown) : QObject(parent), m_shown(std::move(shown)) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_shown();
        return false;
    }

private:
    std::function<void()> m_shown;
};

} // namespace

void TForm2::buildPractice()
{
    btnPractice = new QPushButton(QStringLiteral("书写练习"), pnl1);
    btnPractice->setObjectName(QStringLiteral("btnPractice"));
    btnPractice->setCheckable(true);
    btnPractice->setAutoDefault(false);
    const StartupData &data = m_main->data();
    practice = new PracticePanel(data, [&data](QChar c) { return data.CenterLines.strokes(c); }, this);
    practice->setObjectName(QStringLiteral("pnlPractice"));
    practice->hide();
    connect(btnPractice, &QPushButton::toggled, this, &TForm2::btnPracticeClick);
    // A new text typed here, or taken from the main window on opening, is
    // practised at once.
    const auto refresh = [this] {
        if (btnPractice->isChecked())
            btnPracticeClick();
    };
    connect(edt1, &QLineEdit::returnPressed, this, refresh);
    // The window's own stepping buttons step the practice too.
    connect(btn3, &QPushButton::clicked, this, [this] {
        if (btnPractice->isChecked())
            practice->btnPracticePrevClick();
    });
    connect(btn4, &QPushButton::clicked, this, [this] {
        if (btnPractice->isChecked())
            practice->btnPracticeNextClick();
    });
    installEventFilter(new ShowWatch(this, refresh));
}

void TForm2::placePractice()
{
    if (!practice || !btnPractice)
        return;
    practice->setGeometry(img1->geometry());
    // The button takes the end of the input field.
    const QRect e = edt1->geometry();
    const int w = 80;
    if (e.width() - w - 6 >= 60) {
        edt1->setGeometry(e.x(), e.y(), e.width() - w - 6, e.height());
        btnPractice->setGeometry(e.right() - w + 1, 7, w, 25);
    } else {
        btnPractice->setGeometry(e.x(), 34 - 25 - 2, w, 25);
    }
}

void TForm2::btnPracticeClick()
{
    if (!btnPractice->isChecked()) {
        practice->hide();
        img1->show();
        btn1Click();
        return;
    }
    // Whatever the picture was doing stops.
    tmr1->stop();
    queryState().StopRequested = true;
    m_animation->stop();
    // The main window's look, this window's text and character.
    PracticeSource s = m_main->practiceSource();
    s.text = edt1->text();
    if (edt1->hasSelectedText())
        s.position = edt1->selectionStart();
    else
        s.position = m_query.lookedUpText == s.text && m_query.lookedUpPos >= 0 ? m_query.lookedUpPos : 0;
    practice->setSource(s);
    img1->hide();
    practice->show();
    practice->raise();
}
