#include "about.h"

#include "EmbeddedResource.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

TForm6::TForm6(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("关于"));
    setFixedSize(634, 452);
    QFont f = font();
    f.setFamilies({QStringLiteral("Tahoma")});
    f.setPixelSize(11);
    setFont(f);

    const QString indent(8, QLatin1Char(' '));
    lbl1 = new QLabel(this);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl1->setText(indent + QStringLiteral("本软件共收录了GB2312-1980国标字符集里的6763个汉字，适合学前儿童及上小学的小朋友学习汉字及拼音字母。")
                  + QLatin1Char('\n') + indent
                  + QStringLiteral("为适用更多的使用环境，针对软件进行优化设计，如：在家的小朋友在大人的陪同下直接打开软件学习，"
                                   "辅导老师可保存笔顺为图片使用Office软件进行整理使用，多媒体教室可以使用全屏模式让笔顺以满屏方式显示，"
                                   "出版社可保存笔顺为高分辨率（300dpi或600dpi）图片方便排版印刷等。"));
    lbl1->setTextFormat(Qt::PlainText);
    lbl1->setWordWrap(true);
    lbl1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl1->setGeometry(32, 17, 567, 89);

    lbl3 = new QLabel(this);
    lbl3->setObjectName(QStringLiteral("lbl3"));
    lbl3->setGeometry(35, 93, 564, 13);

    img1 = new QLabel(this);
    img1->setObjectName(QStringLiteral("img1"));
    m_picture.loadFromData(EmbeddedResource::bytes(QStringLiteral("pictures/about.jpg")), "JPG");
    img1->setGeometry(96, 120, 450, 271);
    showPicture();

    btn1 = new QPushButton(QStringLiteral("确定"), this);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setGeometry(532, 405, 75, 25);
    btn1->setDefault(true);
    btn1->setFocus();
    connect(btn1, &QPushButton::clicked, this, &TForm6::btn1Click);
}

void TForm6::btn1Click()
{
    accept();
}

void TForm6::showEvent(QShowEvent *event)
{
    // Centred on the desktop, not on the main window.
    if (!event->spontaneous() && screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
    btn1->setFocus();
    showPicture(); // the screen may have another pixel ratio now
    QDialog::showEvent(event);
}

void TForm6::showPicture()
{
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull())
        return;
    if (ratio == 1.0) {
        img1->setPixmap(QPixmap::fromImage(m_picture));
        return;
    }
    QPixmap sharp = QPixmap::fromImage(m_picture.scaled(m_picture.size() * ratio, Qt::IgnoreAspectRatio,
                                                         Qt::SmoothTransformation));
    sharp.setDevicePixelRatio(ratio);
    img1->setPixmap(sharp);
}

void TForm6::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close this dialog; only the button and the close box do.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
