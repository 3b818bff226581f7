#include "AllPicOut.h"

#include "TextFilter.h"

#include "ConversionError.h"
#include "Dialogs.h"
#include "InterfaceFont.h"
#include "DoDeze.h"
#include "ExportEngine.h"
#include "MySelectFolder.h"
#include "RadioGroup.h"
#include "StrokePicture.h"

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

    // One step of the bar per picture started, however the workers interleave.
    m_engine = new ExportEngine(this);
    connect(m_engine, &ExportEngine::progressed, this, [this] { pb1->setValue(pb1->value() + 1); });
    connect(m_engine, &ExportEngine::done, this, &TForm5::exportDone);
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
    // The pictures under way are finished; no new one starts.
    ExportStopRequested = true;
    m_engine->cancel();
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
    if (m_running)
        return;
    if (edt1->text().isEmpty()) {
        dialogs.message(this, QStringLiteral("请选择保存目录！"));
        return;
    }
    // The main window's settings, read once for the whole run.
    PictureSettings settings;
    try {
        settings = m_main->pictureSettings();
        switch (ExportEngine::refusal(settings)) {
        case PictureStatus::NoCellsPerRow:
            throw ConversionError{QStringLiteral("Floating point division by zero")};
        case PictureStatus::TooSmall:
            dialogs.message(this, m_main->tooSmallMessage());
            return;
        case PictureStatus::TooLarge:
            dialogs.message(this, QStringLiteral("字号或每行个数太大，图片无法生成！"));
            return;
        default:
            break;
        }
    } catch (const ConversionError &e) {
        dialogs.message(this, e.message);
        return;
    }
    setRunning(true);
    ExportStopRequested = false;
    const StartupData &data = m_main->data();
    // What the typed text holds that has no picture is left out, and named when the run ends.
    const FilteredText input = rb1->isChecked() ? drawableCharacters(data, mmo1->toPlainText())
                                                : FilteredText{data.allSupported(), {}, 0, 0};
    m_leftOut = input.anyLeft()
                    ? QStringLiteral("有 %1 个字符没有笔顺图片，%2").arg(input.leftCount).arg(input.note(8))
                    : QString();
    const QString &list = input.kept;
    if (list.isEmpty()) {
        setRunning(false);
        if (!m_leftOut.isEmpty())
            dialogs.message(this, QStringLiteral("没有可以导出的汉字。") + m_leftOut);
        return;
    }
    pb1->setRange(0, int(list.size()));
    pb1->setValue(0);
    ExportJob job;
    job.characters = list;
    job.folder = edt1->text();
    job.namesByCode = rg1->itemIndex() == 1;
    job.settings = settings;
    if (!m_engine->start(job))
        setRunning(false);
}

void TForm5::exportDone()
{
    m_engine->wait();
    const ExportSummary sum = m_engine->summary();
    setRunning(false);
    Dialogs &dialogs = Dialogs::instance();
    // A stopped run says so, with what it wrote of how many.
    const QString ended = sum.cancelled ? QStringLiteral("已停止：已导出 %1 张，共 %2 张")
                                              .arg(sum.written)
                                              .arg(sum.total)
                                        : QStringLiteral("导出完毕");
    const QString leftOut = m_leftOut.isEmpty() ? QString() : QStringLiteral("\n") + m_leftOut;
    if (sum.failed == 0)
        dialogs.message(this, (sum.cancelled ? ended : ended + QStringLiteral("！")) + leftOut);
    else
        dialogs.message(this, QStringLiteral("%1，但有 %2 张图片未能保存。第一张：%3\n%4")
                                  .arg(ended)
                                  .arg(sum.failed)
                                  .arg(QDir::toNativeSeparators(QDir::cleanPath(sum.first.path)),
                                       sum.first.reason)
                                  + leftOut);
    if (m_closeRequested >= 0) {
        const int result = m_closeRequested;
        m_closeRequested = -1;
        QDialog::done(result);
    }
}
