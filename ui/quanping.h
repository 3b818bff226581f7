#pragma once

#include "QueryProtocol.h"
#include "RevealAnimation.h"

#include <QDialog>

class ImageView;
class PracticePanel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QComboBox;
class QueryTimer;
class WritingAnimation;
class RadioGroup;
class TForm1;

// The full-screen window for projection: the three displays of the first
// tab page, the sheet fitted to the screen, with optional stroke numbers.
// Its own edit, query type and timers; every other setting is the main
// window's.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(TForm1 *main, QWidget *parent = nullptr);

    // Opens the window modally, full screen on the main window's screen.
    // When the main window's text or current character (at mainPos) changed
    // since this window was last open, the edit takes them and that
    // character is shown at once in this window's query type; otherwise the
    // window keeps its own text.
    void showFrom(const QString &mainText, int mainPos = 0);

    void btn1Click();
    void DrawFullScreenSheet(const QString &ch);
    void tmr1Timer();
    void tmr2Timer();
    void btn2Click();
    void FormKeyPress(int key);

    RevealSpeed revealSpeed() const;
    WritingAnimation *animation() const { return m_animation; }

    qint64 ScreenArea = 0;
    QSize screenSize() const;

    ImageView *img1 = nullptr;
    QWidget *pnl1 = nullptr;
    QLabel *lbl1 = nullptr, *lbl2 = nullptr, *lbl3 = nullptr;
    // The character's facts and, in 逐笔显示, the stroke just shown.
    QLabel *lblFacts = nullptr, *lblStrokeName = nullptr;
    QComboBox *cbbSpeed = nullptr; // "速度": pace of the writing animation
    QLineEdit *edt1 = nullptr;
    QPushButton *btn1 = nullptr, *btn2 = nullptr, *btn3 = nullptr, *btn4 = nullptr;
    RadioGroup *rg1 = nullptr;
    QCheckBox *chk1 = nullptr;
    QueryTimer *tmr1 = nullptr;
    QueryTimer *tmr2 = nullptr;
    // Writing practice in place of the picture (quanpingPractice.cpp).
    QPushButton *btnPractice = nullptr;
    PracticePanel *practice = nullptr;
    void btnPracticeClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void message(const QString &text);
    void placeControls();
    void buildPractice();
    void placePractice();

    TForm1 *m_main;
    QueryControls m_query;
    WritingAnimation *m_animation = nullptr;
    // The main window's text and character when this window last opened.
    QString m_seenText;
    int m_seenPos = -1;
};
