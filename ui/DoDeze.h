#pragma once

#include "CharacterFacts.h"
#include "QueryProtocol.h"
#include "RevealAnimation.h"
#include "StartupData.h"

#include <QColor>
#include <QMainWindow>

class CharWorksheetTab;
class ClipPlayer;
class ColorSwatch;
class ImageView;
class LetterWorksheetTab;
class PracticeTab;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QueryTimer;
class RadioGroup;
class SettingsBand;
class TForm2;
class TForm5;
class TForm6;
class WritingAnimation;
struct PictureSettings;
struct PracticeSource;
struct SheetMetrics;
struct SheetStyle;

// The main window: four tab pages, the stroke-order look-up with its query
// protocol, and the data loaded at start, which it offers to the other
// windows (bhs, the fonts and tables).
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // dpi <= 0 takes the logical resolution of the primary screen.
    explicit TForm1(double dpi = 0, QWidget *parent = nullptr);
    ~TForm1() override;

    void setOtherWindows(TForm2 *fullScreen, TForm5 *batch, TForm6 *about);

    int bhs(const QString &str, int fsize, int &zx, int &zy) const;
    const StartupData &data() const { return m_data; }
    double screenDpi() const { return m_data.PixelsPerPoint * 72.0; }

    // The look-up and its parts.
    void btn1Click();
    void DrawStrokeSheet(const QString &ch);
    void AnimateCharacter(const QString &ch, const QString &codes);
    void DrawStrokeStep(const QString &ch, int step);
    void SelectCharAt(int pos);
    void tmr1Timer();
    void tmr2Timer();
    void btn78Click();
    void btn79Click();
    void btn4Click();
    // Where the character the window shows (or will look up next) stands in edt1.
    int currentCharPos() const;
    void ShowWelcomeText();
    void FormResize();
    void pgc1Change();

    // Saving pictures (DoDezeSave.cpp). SaveDoDeze returns whether a file
    // was written; when none was and the user has not been told why (a
    // failed write, a picture too large), the reason goes to *error.
    bool SaveDoDeze(const QString &str, const QString &Fdir, QString *error = nullptr);
    // Everything a saved picture depends on; may throw ConversionError.
    PictureSettings pictureSettings() const;
    // The refusal of a size whose em size is below 1 point, with the least size that draws.
    QString tooSmallMessage();
    void btn2Click();
    // PDF and SVG are sized in points: the resolution is off while one is chosen.
    void rg2Change();
    // The writing animation of the selected character as an animated GIF.
    void btnSaveGifClick();

    // The pinyin sound board (DoDezePinyin.cpp).
    void btn5Click(QPushButton *sender);

    // What the writing practice takes from the first tab (DoDezePractice.cpp).
    PracticeSource practiceSource() const;

    // Settings as the drawings read them (points where they are sizes).
    SheetStyle sheetStyle() const;
    SheetMetrics sheetMetrics() const; // may throw ConversionError
    RevealSpeed revealSpeed() const;
    WritingAnimation *animation() const { return m_animation; }
    SheetMetrics sheetGaps() const;    // only the gaps, in points (the full-screen sheet)
    // The facts of the first character of ch; not valid when there are none.
    CharacterFacts factsOf(const QString &ch) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate(double dpi);
    void FormClose();
    void releaseData();
    void buildPage1();
    void buildOtherPages();
    void buildPinyinPage();  // DoDezePinyin.cpp
    void layoutPinyinPage(); // DoDezePinyin.cpp
    void connectPage1();
    void pickColor(ColorSwatch *swatch, QPushButton *redraw);
    void message(const QString &text);
    // The character a save command works on: the selected one, else the
    // first; empty (and the user told) when there is no text.
    QString characterToSave();
    void numberBoxLeft();
    void fillScrollBox();

    StartupData m_data;
    QueryControls m_query;
    WritingAnimation *m_animation = nullptr;
    // A complaint about a number box the user is still typing into waits
    // until the box is left.
    QString m_heldMessage;
    int m_messagesShown = 0;
    bool m_released = false;
    bool m_toldNoSound = false;
    QColor m_lastChosenColor = Qt::black;
    TForm2 *m_form2 = nullptr;
    TForm5 *m_form5 = nullptr;
    TForm6 *m_form6 = nullptr;

public:
    // Controls, named as their objectName.
    QTabWidget *pgc1 = nullptr;
    QWidget *ts1 = nullptr, *ts2 = nullptr, *ts3 = nullptr, *ts4 = nullptr;
    QWidget *pnl2 = nullptr, *pnl10 = nullptr;
    SettingsBand *scrlSettings = nullptr; // holds pnl2: scrolls sideways in a narrow window
    QScrollArea *scrlbx1 = nullptr;
    ImageView *img1 = nullptr;
    RadioGroup *rg1 = nullptr, *rg2 = nullptr, *rg3 = nullptr, *rg11 = nullptr;
    QLabel *lbl1 = nullptr, *lbl2 = nullptr, *lbl3 = nullptr, *lbl4 = nullptr, *lbl5 = nullptr,
           *lbl6 = nullptr, *lbl10 = nullptr, *lbl11 = nullptr, *lbl12 = nullptr;
    ColorSwatch *pnl3 = nullptr, *pnl4 = nullptr, *pnl5 = nullptr;
    QComboBox *cbb1 = nullptr, *cbb2 = nullptr, *cbb3 = nullptr, *cbb4 = nullptr, *cbb5 = nullptr,
              *cbb6 = nullptr;
    QComboBox *cbbSpeed = nullptr; // "速度": pace of the writing animation
    QGroupBox *grp1 = nullptr, *grp2 = nullptr;
    QPushButton *btn1 = nullptr, *btn2 = nullptr, *btnSaveGif = nullptr, *btn4 = nullptr, *btn69 = nullptr,
                *btn70 = nullptr, *btn78 = nullptr, *btn79 = nullptr;
    QCheckBox *chk2 = nullptr;
    QCheckBox *chkStrokeNames = nullptr; // "笔画名称": each cell's stroke name under it
    // The current character's facts; in 逐笔显示 the stroke just shown.
    QLabel *lblFacts = nullptr, *lblStrokeName = nullptr;
    QLineEdit *edt1 = nullptr;
    QueryTimer *tmr1 = nullptr, *tmr2 = nullptr;
    // The pinyin sound board: its three bands, their inner panels and
    // titles, and the one player behind all 63 buttons.
    QWidget *pnl1 = nullptr, *pnl6 = nullptr, *pnl7 = nullptr;
    QWidget *pnl11 = nullptr, *pnl22 = nullptr, *pnl23 = nullptr;
    QLabel *lbl7 = nullptr, *lbl8 = nullptr, *lbl9 = nullptr;
    ClipPlayer *clipPlayer = nullptr;
    // The Chinese-character copybook tab (ts3); the pointers below into it
    // serve the window's resize, tab and wheel handling.
    CharWorksheetTab *charTab = nullptr;
    // Worksheet pages: their panels and hidden redraw buttons.
    QWidget *pnl12 = nullptr, *pnl13 = nullptr, *pnl17 = nullptr, *pnl21 = nullptr;
    QScrollArea *scrlbx2 = nullptr, *scrlbx3 = nullptr;
    ImageView *img2 = nullptr, *img3 = nullptr;
    QPushButton *btn71 = nullptr, *btn73 = nullptr;
    ColorSwatch *pnl14 = nullptr, *pnl15 = nullptr, *pnl16 = nullptr, *pnl18 = nullptr,
                *pnl19 = nullptr, *pnl20 = nullptr;
    // The letter and digit copybook; the pointers above into it stay for the
    // window's own handlers (colour panels, wheel, centring).
    LetterWorksheetTab *letterTab = nullptr;
    // The writing practice, "书写练习".
    PracticeTab *practiceTab = nullptr;
};
