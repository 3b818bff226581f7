#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The window of a long run: a bar, a line of text and 停止. It is not
// modal, so the main window keeps painting and can be closed while the
// work goes on elsewhere; closing this window asks to stop, as 停止 does.
class WorkProgress : public QDialog
{
    Q_OBJECT
public:
    WorkProgress(const QString &title, QWidget *parent);

    // "第 k / n 页": page k is under way, done pages fill the bar.
    void setPages(int done, int total, const QString &lead = QString());
    // A step that cannot be stopped any more (the job is being handed over).
    void setStoppable(bool on);
    bool stopAsked() const { return m_stopAsked; }

    QProgressBar *pbRun = nullptr;
    QLabel *lblRun = nullptr;
    QPushButton *btnStop = nullptr;

signals:
    void stopRequested();

public slots:
    void reject() override; // the close button and Esc: 停止

private:
    void askStop();

    bool m_stopAsked = false;
};
