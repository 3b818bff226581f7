#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;
class ExportEngine;
class RadioGroup;
class TForm1;

// The batch export dialog: one stroke-order picture per character of the
// memo, or of all supported characters, with the main window's settings.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(TForm1 *main, QWidget *parent = nullptr);

    void btn1Click(); // 浏览
    void btn2Click(); // 导出
    void btn3Click(); // 停止: the pictures under way are still written
    void rb1Click();
    void rb2Click();

    // A run goes on in the export engine's workers after 导出 returns; it
    // ends with its message.
    bool running() const { return m_running; }

    // Closing during a run takes effect once the run has finished.
    void done(int result) override;

    QWidget *pnl1 = nullptr;
    QRadioButton *rb1 = nullptr, *rb2 = nullptr;
    QPlainTextEdit *mmo1 = nullptr;
    QLabel *lbl1 = nullptr, *lbl2 = nullptr;
    QLineEdit *edt1 = nullptr;
    QPushButton *btn1 = nullptr, *btn2 = nullptr, *btn3 = nullptr;
    RadioGroup *rg1 = nullptr;
    QProgressBar *pb1 = nullptr;

private:
    void setRunning(bool on);
    void exportDone();

    TForm1 *m_main;
    ExportEngine *m_engine = nullptr;
    bool ExportStopRequested = false;
    bool m_running = false;
    QString m_leftOut; // what the run leaves out of the typed text, said at its end
    int m_closeRequested = -1; // the result of a close asked for during a run
};
