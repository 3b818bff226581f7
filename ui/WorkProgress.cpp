#include "WorkProgress.h"

#include "InterfaceFont.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

WorkProgress::WorkProgress(const QString &title, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WorkProgress"));
    setWindowTitle(title);
    setWindowModality(Qt::NonModal);
    useInterfaceFont(this);

    auto *rows = new QVBoxLayout(this);
    lblRun = new QLabel(this);
    lblRun->setObjectName(QStringLiteral("lblRun"));
    lblRun->setMinimumWidth(320);
    pbRun = new QProgressBar(this);
    pbRun->setObjectName(QStringLiteral("pbRun"));
    pbRun->setTextVisible(false);
    btnStop = new QPushButton(QStringLiteral("停止"), this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnStop);
    buttons->addStretch(1);
    rows->addWidget(lblRun);
    rows->addWidget(pbRun);
    rows->addLayout(buttons);
    connect(btnStop, &QPushButton::clicked, this, &WorkProgress::askStop);
    setPages(0, 0);
}

void WorkProgress::setPages(int done, int total, const QString &lead)
{
    pbRun->setRange(0, qMax(1, total));
    pbRun->setValue(qBound(0, done, qMax(1, total)));
    const int now = qBound(qMin(1, total), done + 1, total);
    QString text = QStringLiteral("第 %1 / %2 页").arg(now).arg(total);
    if (!lead.isEmpty())
        text = lead + QStringLiteral("：") + text;
    if (m_stopAsked)
        text += QStringLiteral("（正在停止）");
    lblRun->setText(text);
}

void WorkProgress::setStoppable(bool on)
{
    btnStop->setEnabled(on && !m_stopAsked);
}

void WorkProgress::reject()
{
    // The run closes this window when it has ended.
    if (btnStop->isEnabled())
        askStop();
}

void WorkProgress::askStop()
{
    if (m_stopAsked)
        return;
    m_stopAsked = true;
    btnStop->setEnabled(false);
    emit stopRequested();
}
