#pragma once

#include "PracticeCanvas.h"
#include "PracticeSession.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
struct StartupData;

// What the practice takes from the first tab page when it is shown: the
// text, the position of the character selected there, and the look.
struct PracticeSource
{
    QString text;
    int position = 0;
    PracticeLook look;
};

// The strictness drop-down list ("宽松", "标准", "严格"; 标准 by default).
QComboBox *makeStrictnessChoice(QWidget *parent, const QString &name);
Strictness strictnessOfChoice(const QComboBox *choice);

// The writing practice: the controls of one practice (step through the
// text, show the character faintly, strictness, 重写), the line that says
// how each stroke went, and the cell. The tab page "书写练习" and the
// full-screen window's practice mode are each one of these.
class PracticePanel : public QWidget
{
    Q_OBJECT
public:
    PracticePanel(const StartupData &data, PracticeSession::LineSource lines, QWidget *parent = nullptr,
                  PracticeSession::Judge judge = &StrokeChecker::check);

    // Takes the text and look; starts again only when the text or the
    // position changed, so coming back to the page keeps the work.
    void setSource(const PracticeSource &source);
    PracticeSession &session() { return m_session; }

    void btnPracticePrevClick();
    void btnPracticeNextClick();
    void btnRewriteClick();

    PracticeCanvas *practiceCanvas = nullptr;
    QCheckBox *chkShowGlyph = nullptr;
    QComboBox *cbbStrictness = nullptr;
    QPushButton *btnRewrite = nullptr, *btnPracticePrev = nullptr, *btnPracticeNext = nullptr;
    QLabel *lblPracticeChar = nullptr;   // which character of how many
    QLabel *lblPracticeResult = nullptr; // the verdict, the character's result, the summary

private:
    void strokeJudged(const PracticeSession::Outcome &out);
    void showCharacter();
    void applyLook();

    PracticeSession m_session;
    PracticeLook m_look;
    QString m_text;
    int m_position = -1;
};

// The tab page "书写练习" of the main window.
class PracticeTab : public PracticePanel
{
    Q_OBJECT
public:
    PracticeTab(const StartupData &data, PracticeSession::LineSource lines, std::function<PracticeSource()> source,
                QWidget *parent = nullptr);
    // The page is being shown: read the first tab page again.
    void activated();

private:
    std::function<PracticeSource()> m_source;
};
