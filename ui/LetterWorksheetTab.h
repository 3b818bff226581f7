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
class RadioGroup;
class UpDown;
struct StartupData;

// The tab "字母/数字字帖": letters on four guide lines or digits in squared
// cells, one A4 page previewed at a time, all pages saved or printed.
class LetterWorksheetTab : public QWidget
{
    Q_OBJECT
public:
    LetterWorksheetTab(const StartupData &data, QWidget *parent = nullptr);

    // The sheet as the controls describe it now.
    WorksheetSettings settings() const;
    WorksheetKind kind() const;
    int pageCount() const;
    PageFormat pictureFormat() const;
    int pictureDpi() const;
    // The print job's and the PDF's title: "英文字母字帖" or "数学数字字帖".
    QString printTitle() const;
    qint64 currentPage() const { return m_currentPage; }
    const QString &letterText() const { return m_letterText; }
    const QString &digitText() const { return m_digitText; }

    // The tab became the shown page.
    void activated();
    // The page image in the middle of the visible width.
    void centreImage();

    // Handlers.
    void UpdateLetterPageCount();
    void btn73Click();
    void edt3Change();
    void cbb11Change();
    void rg8Click();
    void edt5Change();
    void btn74Click();
    void btn75Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildSettings();
    bool allowedInText(QChar c) const;
    bool edt3KeyPress(class QKeyEvent *event);
    // Pastes the clipboard's letters (or digits) and names what it left out.
    void pasteAllowed();
    QString onlyText() const; // "只能输入英文字母" / "只能输入数字"
    void message(const QString &text);

    const StartupData &m_data;
    QString m_letterText;
    QString m_digitText;
    qint64 m_currentPage = 1;
    // The page selector has been given a page count: its maximum no longer
    // stands for "not counted yet" (a sheet may have exactly 100 pages).
    bool m_counted = false;
    bool m_shownOnce = false;
    QWidget *m_imageHolder = nullptr;

public:
    // Controls, named as their objectName.
    QWidget *pnl17 = nullptr, *pnl21 = nullptr;
    QLabel *lbl18 = nullptr, *lbl19 = nullptr, *lbl20 = nullptr, *lbl21 = nullptr, *lbl22 = nullptr,
           *lbl23 = nullptr, *lbl27 = nullptr, *lbl28 = nullptr, *lbl29 = nullptr;
    QLabel *lblLetterNote = nullptr; // why a character did not go in
    QLineEdit *edt3 = nullptr, *edt5 = nullptr;
    UpDown *ud2 = nullptr;
    RadioGroup *rg8 = nullptr, *rg9 = nullptr, *rg10 = nullptr;
    ColorSwatch *pnl18 = nullptr, *pnl19 = nullptr, *pnl20 = nullptr;
    QComboBox *cbb11 = nullptr, *cbb12 = nullptr;
    QCheckBox *chk6 = nullptr, *chk7 = nullptr;
    QPushButton *btn73 = nullptr, *btn74 = nullptr, *btn75 = nullptr;
    QGroupBox *grp5 = nullptr;
    QScrollArea *scrlbx3 = nullptr;
    ImageView *img3 = nullptr;
};
