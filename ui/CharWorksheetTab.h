#pragma once

#include "PageWriter.h"
#include "Worksheet.h"

#include <QWidget>

class ColorSwatch;
class ImageView;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class RadioGroup;
struct StartupData;

// The "汉字字帖" tab: the Chinese-character copybook's settings, the page
// count and selector, the preview of the current page, save and print.
// Every drawing reads the controls when it runs.
class CharWorksheetTab : public QWidget
{
    Q_OBJECT
public:
    CharWorksheetTab(const StartupData &data, QWidget *parent = nullptr);

    // The settings as the controls hold them now.
    WorksheetSettings settings() const;
    PageFormat pictureFormat() const;
    int pictureDpi() const;
    // The number of pages of the current text (0 for an empty text).
    int CharPageCount() const;
    // The selector's upper bound, once the pages have been counted.
    int pageMaximum() const { return m_pageMax; }

    // Handlers, wired to the controls.
    void UpdateCharPageCount();
    void btn71Click(); // redraw the current page into img2
    void btn72Click(); // save all pages
    void btn76Click(); // print
    void edt2Change();
    void rg5Click();
    void edt4Change();
    void ud1Step(int delta);
    // Keeps the page image horizontally centred in its panel.
    void centrePreview();

    static QString printTitle() { return QStringLiteral("语文汉字字帖"); }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void connectControls();
    void say(const QString &text);
    // Shows "暂时不能读取笔画数据！" at most once per user action.
    void reportNoStrokeData();
    // The note beside the page count naming what the text leaves out.
    void showLeftOut();
    // True (and the user told) when the text holds no character to write.
    bool nothingToWrite();

    const StartupData &m_data;
    int m_pageMax = 0;        // 0 until the pages have been counted
    bool m_counted = false;   // the page count has been shown
    bool m_shownOnce = false;
    int m_actionDepth = 0;    // nesting of handlers within one user action
    bool m_reported = false;  // the no-stroke message was shown in this action

public:
    // Controls, named as their objectName.
    QWidget *pnl12 = nullptr, *pnl13 = nullptr;
    QScrollArea *scrlbx2 = nullptr;
    ImageView *img2 = nullptr;
    QLabel *lbl12 = nullptr, *lbl13 = nullptr, *lbl14 = nullptr, *lbl15 = nullptr,
           *lbl16 = nullptr, *lbl17 = nullptr, *lbl24 = nullptr, *lbl25 = nullptr,
           *lbl26 = nullptr;
    QLabel *lblLeftOut = nullptr; // "已略去：…" beside the page count
    QLineEdit *edt2 = nullptr, *edt4 = nullptr;
    ColorSwatch *pnl14 = nullptr, *pnl15 = nullptr, *pnl16 = nullptr;
    QGroupBox *grp3 = nullptr, *grp4 = nullptr;
    QComboBox *cbb7 = nullptr, *cbb8 = nullptr, *cbb9 = nullptr, *cbb10 = nullptr;
    QCheckBox *chk3 = nullptr, *chk4 = nullptr;
    QCheckBox *chkStrokeRow = nullptr; // "笔顺行": each character starts with its stroke order
    QCheckBox *chkStrokeRowNames = nullptr; // "笔画名称": the stroke names under the stroke-order rows
    QCheckBox *chkPinyin = nullptr;    // "拼音": a pinyin row above each character's model row
    RadioGroup *rg4 = nullptr, *rg5 = nullptr, *rg6 = nullptr, *rg7 = nullptr;
    QPushButton *btn71 = nullptr, *btn72 = nullptr, *btn76 = nullptr;
    QWidget *ud1 = nullptr;
    QToolButton *ud1Up = nullptr, *ud1Down = nullptr;
};
