#include "quanping.h"

#include "Dialogs.h"
#include "FactsLine.h"
#include "DoDeze.h"
#include "FullScreenFit.h"
#include "ImageView.h"
#include "InterfaceFont.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "RadioGroup.h"
#include "SelectionEdit.h"
#include "StrokeSheet.h"
#include "WritingAnimation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QGuiApplication>
#include <QScreen>

namespace {
// Design width of the bottom panel: right-anchored controls keep their
// distance to its right edge.
constexpr int DesignWidth = 1024;
constexpr int PanelHeight = 40;
}

TForm2::TForm2(TForm1 *main, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint), m_main(main)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("全屏模式"));
    setModal(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    useInterfaceFont(this);
    resize(1024, 768);

    img1 = new ImageView(QStringLiteral("img1"), this);
    // Above the picture, large enough to read at the back of a classroom.
    lblFacts = new QLabel(this);
    lblFacts->setObjectName(QStringLiteral("lblFacts"));
    lblStrokeName = new QLabel(this);
    lblStrokeName->setObjectName(QStringLiteral("lblStrokeName"));
    lblStrokeName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pnl1 = new QWidget(this);
    pnl1->setObjectName(QStringLiteral("pnl1"));
    lbl1 = new QLabel(QStringLiteral("请输入汉字："), pnl1);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    edt1 = new SelectionEdit(pnl1);
    edt1->setObjectName(QStringLiteral("edt1"));
    lbl2 = new QLabel(QStringLiteral("速度："), pnl1);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    cbbSpeed = makeSpeedChoice(pnl1, QStringLiteral("cbbSpeed"));
    btn1 = new QPushButton(QStringLiteral("查笔顺"), pnl1);
    btn1->setObjectName(QStringLiteral("btn1"));
    rg1 = new RadioGroup(QStringLiteral("rg1"), QStringLiteral("类型"),
                         {QStringLiteral("查询笔顺"), QStringLiteral("动画演示"), QStringLiteral("逐笔显示")}, 3, pnl1);
    rg1->setItemIndex(0);
    chk1 = new QCheckBox(QStringLiteral("显示笔画序号"), pnl1);
    chk1->setObjectName(QStringLiteral("chk1"));
    btn3 = new QPushButton(QStringLiteral("上一个"), pnl1);
    btn3->setObjectName(QStringLiteral("btn3"));
    btn4 = new QPushButton(QStringLiteral("下一个"), pnl1);
    btn4->setObjectName(QStringLiteral("btn4"));
    btn2 = new QPushButton(QStringLiteral("退出全屏（ESC）"), pnl1);
    btn2->setObjectName(QStringLiteral("btn2"));
    lbl3 = new QLabel(pnl1);
    lbl3->setObjectName(QStringLiteral("lbl3"));
    for (QPushButton *b : {btn1, btn2, btn3, btn4})
        b->setAutoDefault(false); // Enter belongs to the edit

    tmr1 = new QueryTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(800);
    tmr2 = new QueryTimer(this);
    tmr2->setObjectName(QStringLiteral("tmr2"));
    tmr2->setInterval(500);
    m_query = QueryControls{edt1, tmr1, tmr2, img1, {btn1, btn3, btn4}, -1, QString()};
    m_animation = new WritingAnimation(img1, [this] { return revealSpeed(); }, this);

    connect(btn1, &QPushButton::clicked, this, &TForm2::btn1Click);
    connect(edt1, &QLineEdit::returnPressed, this, &TForm2::btn1Click);
    connect(rg1, &RadioGroup::itemClicked, this, [this](int type) {
        chk1->setEnabled(type == 0);
        btn1Click();
    });
    connect(chk1, &QCheckBox::toggled, this, &TForm2::btn1Click);
    connect(btn3, &QPushButton::clicked, this, [this] {
        if (QueryProtocol::stepSelection(m_query, -1))
            btn1Click();
    });
    connect(btn4, &QPushButton::clicked, this, [this] {
        if (QueryProtocol::stepSelection(m_query, +1))
            btn1Click();
    });
    connect(btn2, &QPushButton::clicked, this, &TForm2::btn2Click);
    connect(tmr1, &QueryTimer::timeout, this, &TForm2::tmr1Timer);
    connect(tmr2, &QueryTimer::timeout, this, &TForm2::tmr2Timer);
    buildPractice();
    placeControls();
}

void TForm2::placeControls()
{
    const int w = width(), h = height();
    // The facts line: 4 % of the window's height (at least 16 pixels), in a
    // band half as high again.
    const int text = qMax(16, h * 4 / 100);
    const int band = text * 3 / 2;
    for (QLabel *l : {lblFacts, lblStrokeName}) {
        QFont f = l->font();
        f.setPixelSize(text);
        l->setFont(f);
    }
    lblFacts->setGeometry(16, 0, qMax(1, w * 3 / 5 - 16), band);
    lblStrokeName->setGeometry(w * 3 / 5, 0, qMax(1, w * 2 / 5 - 16), band);
    img1->setGeometry(0, band, w, qMax(1, h - PanelHeight - band));
    pnl1->setGeometry(0, h - PanelHeight, w, PanelHeight);
    const int dx = w - DesignWidth;
    lbl1->setGeometry(16, 13, 72, 16);
    edt1->setGeometry(88, 9, qMax(60, 193 - 106 + dx), 22);
    lbl2->setGeometry(287 - 104 + dx, 13, 36, 16);
    cbbSpeed->setGeometry(287 - 68 + dx, 8, 60, 24);
    btn1->setGeometry(287 + dx, 7, 75, 25);
    rg1->setGeometry(376 + dx, 0, 256, 40);
    chk1->setGeometry(639 + dx, 11, 100, 17);
    btn3->setGeometry(742 + dx, 7, 75, 25);
    btn4->setGeometry(828 + dx, 7, 75, 25);
    btn2->setGeometry(914 + dx, 7, 104, 25);
    lbl3->setGeometry(16, 34, 329, 13);
    placePractice();
}

void TForm2::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

QSize TForm2::screenSize() const
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

void TForm2::showEvent(QShowEvent *event)
{
    const QSize s = screenSize();
    ScreenArea = qint64(s.width()) * s.height();
    QDialog::showEvent(event);
}

void TForm2::showFrom(const QString &mainText, int mainPos)
{
    const bool take = !mainText.isEmpty() && (mainText != m_seenText || mainPos != m_seenPos);
    m_seenText = mainText;
    m_seenPos = mainPos;
    if (take) {
        edt1->setText(mainText);
        QueryProtocol::selectCharAt(m_query, mainPos);
    }
    // The whole screen that holds the main window, for the projector.
    if (QScreen *s = m_main->screen()) {
        setScreen(s);
        setGeometry(s->geometry());
    }
    showFullScreen();
    raise();
    activateWindow();
    if (take) {
        edt1->setFocus();
        btn1Click();
    }
}

RevealSpeed TForm2::revealSpeed() const
{
    return speedOfChoice(cbbSpeed);
}

void TForm2::message(const QString &text)
{
    Dialogs::instance().message(this, text);
}

void TForm2::btn1Click()
{
    if (!QueryProtocol::gate(m_query))
        return;
    const QString ch = QueryProtocol::takeCurrentChar(m_query);
    const StartupData &data = m_main->data();
    if (!data.isSupported(ch)) {
        message(QStringLiteral("这个汉字未被支持！"));
        return;
    }
    lblFacts->setText(factsLine(ch.at(0), m_main->factsOf(ch)));
    lblStrokeName->clear();
    const double dpi = m_main->screenDpi();
    switch (rg1->itemIndex()) {
    case 0:
        DrawFullScreenSheet(ch);
        break;
    case 1: {
        const SheetStyle style = m_main->sheetStyle();
        m_animation->start(data, ch, data.directionCodes(ch), style.frame, style.charColor, dpi);
        break;
    }
    case 2:
        img1->clearPicture(dpi);
        queryState().StrokeStep = -1;
        QueryProtocol::drawStrokeStep(m_query, data, ch, -1, 40, m_main->sheetStyle(), dpi);
        break;
    default:
        break;
    }
    QueryProtocol::epilogue(m_query);
}

void TForm2::DrawFullScreenSheet(const QString &ch)
{
    DrawingScope drawing;
    const StartupData &data = m_main->data();
    const double dpi = m_main->screenDpi();
    img1->clearPicture(dpi);
    img1->update();
    SheetStyle style = m_main->sheetStyle();
    style.nameText.names = m_main->factsOf(ch).strokeNames;
    SheetMetrics m = m_main->sheetGaps();
    const int top = int(10 * data.PointsPerPixel);
    // The glyph is read once; its stroke count chooses the size.
    const SheetGlyph glyph(data.PrivateFonts, data.CharFontFamily, ch);
    const int n = glyph.strokeCount();
    if (n < 1) {
        message(QStringLiteral("暂时不能读取笔画数据！"));
        return;
    }
    const FullScreenFit fit =
        fullScreenFit(n, img1->size(), screenSize(), m.hgap, m.vgap, data.PointsPerPixel, data.PixelsPerPoint,
                      style.strokeNames ? &style : nullptr);
    if (chk1->isChecked())
        style.numbers = StrokeNumbers{&data.PrivateFonts, QStringLiteral("AbcManuscript"), 24};
    m.fsize = fit.fs;
    m.perRow = fit.columns;
    drawSheet(img1->picture(), dpi, glyph.sized(fit.fs), style, m, fit.left, top);
    img1->update();
}

void TForm2::tmr1Timer()
{
    QueryState &q = queryState();
    QueryProtocol::drawStrokeStep(m_query, m_main->data(), q.CurrentChar, q.StrokeStep, 40, m_main->sheetStyle(),
                                  m_main->screenDpi());
    // Step s shows strokes 1..s (the stroke filled now shows at the next).
    lblStrokeName->setText(strokeNameLine(q.StrokeStep, m_main->factsOf(q.CurrentChar)));
    ++q.StrokeStep;
}

void TForm2::tmr2Timer()
{
    if (QueryProtocol::requeryDue(m_query))
        btn1Click();
}

void TForm2::btn2Click()
{
    tmr1->stop();
    queryState().StopRequested = true;
    m_animation->stop();
    accept();
}

void TForm2::FormKeyPress(int key)
{
    if (key != Qt::Key_Escape)
        return;
    // The window goes at once; an animation on it has nobody to watch it.
    tmr1->stop();
    if (m_animation->isRunning()) {
        queryState().StopRequested = true;
        m_animation->stop();
    }
    accept();
}

void TForm2::keyPressEvent(QKeyEvent *event)
{
    // F11 leaves the full screen as it came, as Escape does.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) {
        FormKeyPress(Qt::Key_Escape);
        return;
    }
    QDialog::keyPressEvent(event);
}
