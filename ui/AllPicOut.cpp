#include "AllPicOut.h"

#include "ConversionError.h"
#include "Dialogs.h"
#include "InterfaceFont.h"
#include "DoDeze.h"
#include "MySelectFolder.h"
#include "RadioGroup.h"
#include "StrokePicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

TForm5::TForm5(TForm1 *main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("批量导出汉字笔顺"));
    setFixedSize(428, 275);
    useInterfaceFont(this);

    pnl1 = new QWidget(this);
    pnl1->setGeometry(8, 8, 412, 25);
    rb1 = new QRadioButton(QStringLiteral("自定义汉字"), pnl1);
    rb1->setGeometry(8, 0, 113, 17);
    rb1->setChecked(true);
    rb2 = new QRadioButton(QStringLiteral("全部汉字（6763个）"), pnl1);
    rb2->setGeometry(160, 0, 129, 17);
    rb2->resize(qMax(129, rb2->sizeHint().width()), 17); // the full caption, whatever the font

    mmo1 = new QPlainTextEdit(this);
    mmo1->setGeometry(8, 40, 412, 50);
    mmo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    lbl1 = new QLabel(QStringLiteral("保存目录："), this);
    lbl1->move(14, 111);
    lbl1->adjustSize();
    edt1 = new QLineEdit(this);
    edt1->setGeometry(70, 107, 249, 21);
    edt1->setReadOnly(true);
    btn1 = new QPushButton(QStringLiteral("浏览"), this);
    btn1->setGeometry(334, 105, 75, 25);

    rg1 = new RadioGroup(QStringLiteral("rg1"), QStringLiteral("图片文件名"),
                         {QStringLiteral("以字本身命名"), QStringLiteral("以字的Unicode码命名")}, 2, this);
    rg1->setGeometry(70, 138, 283, 54);
    rg1->setItemIndex(0);

    lbl2 = new QLabel(QStringLiteral("请先在软件主界面上设置好参数再导出哦！"), this);
    lbl2->move(94, 205);
    lbl2->adjustSize();
    pb1 = new QProgressBar(this);
    pb1->setGeometry(14, 203, 395, 17);
    pb1->hide();

    btn2 = new QPushButton(QStringLiteral("导出"), this);
    btn2->setGeometry(112, 230, 75, 25);
    btn3 = new QPushButton(QStringLiteral("停止"), this);
    btn3->setGeometry(232, 230, 75, 25);
    btn3->setEnabled(false);

    const QList<QPair<QWidget *, const char *>> names = {
        {pnl1, "pnl1"}, {rb1, "rb1"}, {rb2, "rb2"}, {mmo1, "mmo1"}, {lbl1, "lbl1"}, {edt1, "edt1"},
        {btn1, "btn1"}, {lbl2, "lbl2"}, {pb1, "pb1"}, {btn2, "btn2"}, {btn3, "btn3"}};
    for (const auto &[widget, name] : names)
        widget->setObjectName(QLatin1String(name));

    connect(rb1, &QRadioButton::clicked, this, &TForm5::rb1Click);
    connect(rb2, &QRadioButton::clicked, this, &TForm5::rb2Click);
    connect(btn1, &QPushButton::clicked, this, &TForm5::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TForm5::btn2Click);
    connect(btn3, &QPushButton::clicked, this, &TForm5::btn3Click);
}

void TForm5::rb1Click()
{
    mmo1->setEnabled(rb1->isChecked());
}

void TForm5::rb2Click()
{
    rb1Click();
}

void TForm5::btn1Click()
{
    const QString folder = ChooseFolder(this);
    if (!folder.isEmpty())
        edt1->setText(folder);
}

void TForm5::btn3Click()
{
    ExportStopRequested = true;
}

void TForm5::setRunning(bool on)
{
    m_running = on;
    lbl2->setVisible(!on);
    pb1->setVisible(on);
    btn3->setEnabled(on);
    btn2->setEnabled(!on);
}

void TForm5::done(int result)
{
    if (m_running) {
        m_closeRequested = result;
        return;
    }
    QDialog::done(result);
}

void TForm5::btn2Click()
{
    Dialogs &dialogs = Dialogs::instance();
    if (edt1->text().isEmpty()) {
        dialogs.message(this, QStringLiteral("请选择保存目录！"));
        return;
    }
    setRunning(true);
    ExportStopRequested = false;
    const StartupData &data = m_main->data();
    const QString list = rb1->isChecked() ? exportableCharacters(data, mmo1->toPlainText())
                                          : data.allSupported();
    int failed = 0;
    QString firstFailed, firstReason;
    bool abandoned = false;
    if (!list.isEmpty()) {
        // A doubled separator after a chosen folder is harmless.
        const QString dir = edt1->text() + QLatin1Char('/');
        pb1->setRange(0, int(list.size()));
        pb1->setValue(0);
        for (int i = 1; i <= list.size() && !ExportStopRequested; ++i) {
            const QString c = list.mid(i - 1, 1);
            const QString name = rg1->itemIndex() == 1 ? HexCodeName(c) : c;
            const QString path = dir + name + pictureExtension(m_main->rg2->itemIndex());
            pb1->setValue(i);
            QCoreApplication::processEvents(); // "停止" is handled here
            try {
                QString why;
                if (!m_main->SaveDoDeze(c, path, &why) && !why.isEmpty()) {
                    if (failed++ == 0) {
                        firstFailed = path;
                        firstReason = why;
                    }
                }
            } catch (const ConversionError &e) {
                dialogs.message(this, e.message);
                abandoned = true;
                break;
            }
        }
    }
    setRunning(false);
    if (!list.isEmpty() && !abandoned) {
        if (failed == 0)
            dialogs.message(this, QStringLiteral("导出完毕！"));
        else
            dialogs.message(this, QStringLiteral("导出完毕，但有 %1 张图片未能保存。第一张：%2\n%3")
                                      .arg(failed)
                                      .arg(QDir::toNativeSeparators(QDir::cleanPath(firstFailed)),
                                           firstReason));
    }
    if (m_closeRequested >= 0) {
        const int result = m_closeRequested;
        m_closeRequested = -1;
        QDialog::done(result);
    }
}
