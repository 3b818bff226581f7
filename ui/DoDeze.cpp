#include "DoDeze.h"

#include "AllPicOut.h"
#include "CharWorksheetTab.h"
#include "Bhs.h"
#include "Bitmap.h"
#include "ColorSwatch.h"
#include "ConversionError.h"
#include "Dialogs.h"
#include "FactsLine.h"
#include "Graphics.h"
#include "ImageView.h"
#include "NamedWidget.h"
#include "InterfaceFont.h"
#include "KeyboardAccess.h"
#include "LetterWorksheetTab.h"
#include "PracticeTab.h"
#include "QueryProtocol.h"
#include "QueryState.h"
#include "QueryTimer.h"
#include "RadioGroup.h"
#include "SelectionEdit.h"
#include "SettingsBand.h"
#include "StrokePicture.h"
#include "StrokeSheet.h"
#include "WritingAnimation.h"
#include "about.h"
#include "quanping.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The design width of the settings band; right-anchored controls keep their
// distance to its right edge.
constexpr int DesignWidth = 994;

QComboBox *dropDown(QWidget *parent, const char *name, const QStringList &items, int index,
                    QRect geometry)
{
    auto *c = named(new QComboBox(parent), name);
    c->addItems(items);
    c->setCurrentIndex(index);
    c->setGeometry(geometry);
    return c;
}

// An editable box that lets only digits through (typed or pasted) and can be emptied.
QComboBox *numberBox(QWidget *parent, const char *name, const QStringList &items,
                     const QString &text, QRect geometry)
{
    auto *c = named(new QComboBox(parent), name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(items);
    c->setEditText(text);
    // No completion: typing 1 must not turn into 14 before the next digit.
    c->setCompleter(nullptr);
    c->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), c));
    c->setGeometry(geometry);
    return c;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, QRect geometry,
                    const QString &hint = QString())
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setGeometry(geometry);
    b->setToolTip(hint);
    return b;
}

QStringList numbers(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QString::number(i);
    return out;
}

// A Kai-style system font for the greeting, if the platform has one.
QString systemKaiFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const QString &f : {QStringLiteral("楷体"), QStringLiteral("KaiTi"), QStringLiteral("AR PL UKai CN"),
                             QStringLiteral("AR PL KaitiM GB"), QStringLiteral("TW-Kai")})
        if (families.contains(f))
            return f;
    return QString();
}

} // namespace

TForm1::TForm1(double dpi, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Kelvora v1.5"));
    resize(994, 572);
    useInterfaceFont(this);
    FormCreate(dpi);

    pgc1 = named(new QTabWidget(this), "pgc1");
    setCentralWidget(pgc1);
    buildPage1();
    buildOtherPages();
    connectPage1();
    chainTabOrder({edt1, btn1, btn78, btn79, rg11, rg1, chkStrokeNames, pnl3, pnl4, cbb3, cbb4, cbb1, cbb2, pnl5, rg2, rg3, btn2,
                   cbb5, cbb6, chk2, cbbSpeed, btn69, btn70, btn4, btnSaveGif, scrlbx1});
    addMainShortcuts(this);
    // Each page keeps its own focus, at first in its text field; the
    // window opens in the first page's.
    charTab->edt2->setFocus();
    letterTab->edt3->setFocus();
    edt1->setFocus();
    connect(pgc1, &QTabWidget::currentChanged, this, &TForm1::pgc1Change);
    qApp->installEventFilter(this);
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    releaseData();
}

void TForm1::setOtherWindows(TForm2 *fullScreen, TForm5 *batch, TForm6 *about)
{
    m_form2 = fullScreen;
    m_form5 = batch;
    m_form6 = about;
}

void TForm1::FormCreate(double dpi)
{
    if (dpi <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    }
    loadStartupData(m_data, dpi);
}

void TForm1::buildPage1()
{
    ts1 = named(new QWidget, "ts1");
    pgc1->addTab(ts1, QStringLiteral("学汉字笔顺"));
    auto *page = new QVBoxLayout(ts1);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    pnl2 = named(new QWidget, "pnl2");
    pnl2->setMinimumHeight(150);
    pnl2->installEventFilter(this);
    scrlSettings = new SettingsBand(QStringLiteral("scrlSettings"), pnl2, DesignWidth, ts1);
    page->addWidget(scrlSettings);

    // What the character is, and in 逐笔显示 the stroke just written: one
    // band of fixed height, so that its text never resizes the sheet.
    auto *facts = named(new QWidget(ts1), "pnlFacts");
    auto *factsRow = new QHBoxLayout(facts);
    factsRow->setContentsMargins(12, 2, 12, 2);
    lblFacts = label(facts, "lblFacts", QString(), 0, 0);
    lblStrokeName = label(facts, "lblStrokeName", QString(), 0, 0);
    for (QLabel *l : {lblFacts, lblStrokeName}) {
        QFont f = l->font();
        f.setPixelSize(20);
        l->setFont(f);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    factsRow->addWidget(lblFacts, 1);
    factsRow->addWidget(lblStrokeName);
    facts->setFixedHeight(QFontMetrics(lblFacts->font()).height() + 8);
    page->addWidget(facts);

    pnl10 = named(new QWidget(ts1), "pnl10");
    pnl10->setAutoFillBackground(true);
    QPalette white = pnl10->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnl10->setPalette(white);
    facts->setAutoFillBackground(true); // one white area with the sheet
    facts->setPalette(white);
    pnl10->installEventFilter(this);
    page->addWidget(pnl10, 1);
    auto *inner = new QVBoxLayout(pnl10);
    inner->setContentsMargins(0, 0, 0, 0);
    scrlbx1 = named(new QScrollArea(pnl10), "scrlbx1");
    scrlbx1->setFrameShape(QFrame::NoFrame);
    scrlbx1->setPalette(white);
    inner->addWidget(scrlbx1);
    img1 = new ImageView(QStringLiteral("img1"), scrlbx1);
    scrlbx1->setWidget(img1);
    fillScrollBox();

    rg1 = new RadioGroup(QStringLiteral("rg1"), QStringLiteral("拆分方式"),
                         {QStringLiteral("跟随式"), QStringLiteral("笔画式"), QStringLiteral("描红")}, 1, pnl2);
    rg1->setGeometry(13, 7, 88, 101);
    rg1->setItemIndex(1);

    lbl3 = label(pnl2, "lbl3", QStringLiteral("字颜色："), 134, 11);
    pnl3 = new ColorSwatch(QStringLiteral("pnl3"), Qt::black, pnl2);
    pnl3->setGeometry(185, 7, 40, 20);
    pnl3->setToolTip(QStringLiteral("汉字的主颜色"));
    lbl4 = label(pnl2, "lbl4", QStringLiteral("描红色："), 136, 38);
    pnl4 = new ColorSwatch(QStringLiteral("pnl4"), QColor(192, 192, 192), pnl2);
    pnl4->setGeometry(185, 34, 40, 20);
    pnl4->setToolTip(QStringLiteral("描红时汉字的底色或汉字的轮廓颜色"));
    lbl2 = label(pnl2, "lbl2", QStringLiteral("字横间距："), 126, 65);
    cbb3 = dropDown(pnl2, "cbb3", numbers(0, 10), 10, QRect(185, 60, 48, 22));
    lbl6 = label(pnl2, "lbl6", QStringLiteral("字竖间距："), 125, 92);
    cbb4 = dropDown(pnl2, "cbb4", numbers(0, 10), 10, QRect(185, 88, 48, 22));

    grp1 = named(new QGroupBox(QStringLiteral("装饰边框"), pnl2), "grp1");
    grp1->setGeometry(256, 7, 99, 101);
    cbb1 = dropDown(grp1, "cbb1", {QStringLiteral("无"), QStringLiteral("田字格"), QStringLiteral("米字格")}, 1,
                    QRect(3, 19, 92, 22));
    cbb2 = dropDown(grp1, "cbb2",
                    {QStringLiteral("外实里虚"), QStringLiteral("外实里实"), QStringLiteral("外虚里虚")}, 0,
                    QRect(3, 46, 93, 22));
    lbl5 = label(grp1, "lbl5", QStringLiteral("框颜色："), 8, 78);
    pnl5 = new ColorSwatch(QStringLiteral("pnl5"), QColor(128, 128, 0), grp1);
    pnl5->setGeometry(51, 75, 40, 20);

    grp2 = named(new QGroupBox(QStringLiteral("保存为图片"), pnl2), "grp2");
    grp2->setGeometry(384, 8, 396, 88);
    // The vector sheets come after the pictures, on a second row.
    rg2 = new RadioGroup(QStringLiteral("rg2"), QStringLiteral("图片类型"),
                         {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("pdf"),
                          QStringLiteral("svg")},
                         3, grp2);
    rg2->setGeometry(8, 17, 162, 62);
    rg2->setItemIndex(1);
    rg3 = new RadioGroup(QStringLiteral("rg3"), QStringLiteral("分辨率dpi"),
                         {QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")}, 3, grp2);
    rg3->setGeometry(176, 17, 152, 62);
    rg3->setItemIndex(1);
    btn2 = button(grp2, "btn2", QStringLiteral("保存"), QRect(336, 25, 51, 54), QStringLiteral("把笔顺保存为图片"));

    lbl10 = label(pnl2, "lbl10", QStringLiteral("字号："), 384, 101);
    cbb5 = numberBox(pnl2, "cbb5",
                     {"14", "16", "22", "26", "36", "50", "72", "96", "120", "150", "300", "500"},
                     QStringLiteral("72"), QRect(418, 97, 52, 22));
    lbl11 = label(pnl2, "lbl11", QStringLiteral("每行个数："), 478, 101);
    cbb6 = numberBox(pnl2, "cbb6", numbers(1, 10) << QStringLiteral("50"), QStringLiteral("8"),
                     QRect(540, 97, 46, 22));
    chk2 = named(new QCheckBox(QStringLiteral("显示汉字轮廓"), pnl2), "chk2");
    chk2->setGeometry(600, 99, 120, 17);
    chkStrokeNames = named(new QCheckBox(QStringLiteral("笔画名称"), pnl2), "chkStrokeNames");
    // Under the split modes, clear of the controls that follow the right edge.
    chkStrokeNames->setGeometry(13, 109, 100, 17);
    chkStrokeNames->setToolTip(QStringLiteral("在每一格下面写出这一笔的名称（横、竖、横折钩……）"));

    btn69 = button(pnl2, "btn69", QStringLiteral("批量导出"), QRect(796, 11, 75, 25),
                   QStringLiteral("本功能可为开发Android或IOS以及第三方软件集成提供图片数据"));
    btn70 = button(pnl2, "btn70", QStringLiteral("关于"), QRect(796, 51, 75, 25));
    // 保存动画 sits under 全屏模式, inside the design width.
    btn4 = button(pnl2, "btn4", QStringLiteral("全屏模式"), QRect(884, 11, 75, 35),
                  QStringLiteral("一般用于有投影仪的多媒体教学"));
    btnSaveGif = button(pnl2, "btnSaveGif", QStringLiteral("保存动画"), QRect(884, 51, 75, 25),
                        QStringLiteral("把书写动画保存为GIF动画，可放进课件"));

    lbl1 = label(pnl2, "lbl1", QStringLiteral("请输入汉字："), 13, 129);
    edt1 = named(new SelectionEdit(pnl2), "edt1");
    edt1->setGeometry(88, 125, 376, 22);
    btn1 = button(pnl2, "btn1", QStringLiteral("查笔顺"), QRect(481, 123, 75, 25),
                  QStringLiteral("查询汉字笔顺，输入完汉字后可按回车查询"));
    btn78 = button(pnl2, "btn78", QStringLiteral("上一个"), QRect(562, 123, 75, 25));
    btn79 = button(pnl2, "btn79", QStringLiteral("下一个"), QRect(645, 123, 75, 25));
    rg11 = new RadioGroup(QStringLiteral("rg11"), QStringLiteral("查询类型"),
                          {QStringLiteral("查询笔顺"), QStringLiteral("动画演示"), QStringLiteral("逐笔显示")}, 3,
                          pnl2);
    rg11->setGeometry(732, 108, 250, 42);
    rg11->setItemIndex(0);
    lbl12 = label(pnl2, "lbl12", QStringLiteral("速度："), 736, 86);
    cbbSpeed = makeSpeedChoice(pnl2, QStringLiteral("cbbSpeed"));
    cbbSpeed->setGeometry(772, 82, 52, 22);

    tmr1 = named(new QueryTimer(this), "tmr1");
    tmr1->setInterval(800);
    tmr2 = named(new QueryTimer(this), "tmr2");
    tmr2->setInterval(500);
    m_query = QueryControls{edt1, tmr1, tmr2, img1, {btn1, btn78, btn79}, -1, QString()};
    m_animation = new WritingAnimation(img1, [this] { return revealSpeed(); }, this);
}

void TForm1::buildOtherPages()
{
    ts2 = named(new QWidget, "ts2");
    pgc1->addTab(ts2, QStringLiteral("拼音字母"));
    buildPinyinPage();

    charTab = new CharWorksheetTab(m_data);
    ts3 = charTab;
    pgc1->addTab(ts3, QStringLiteral("汉字字帖"));
    pnl12 = charTab->pnl12;
    pnl13 = charTab->pnl13;
    scrlbx2 = charTab->scrlbx2;
    img2 = charTab->img2;
    btn71 = charTab->btn71;
    pnl14 = charTab->pnl14;
    pnl15 = charTab->pnl15;
    pnl16 = charTab->pnl16;
    letterTab = new LetterWorksheetTab(m_data);
    pgc1->addTab(letterTab, QStringLiteral("字母/数字字帖"));
    ts4 = letterTab;
    pnl17 = letterTab->pnl17;
    pnl21 = letterTab->pnl21;
    scrlbx3 = letterTab->scrlbx3;
    img3 = letterTab->img3;
    btn73 = letterTab->btn73;
    pnl18 = letterTab->pnl18;
    pnl19 = letterTab->pnl19;
    pnl20 = letterTab->pnl20;
    // 书写练习 reads the first tab's text, grid and colours when it is shown.
    practiceTab = new PracticeTab(m_data, [this](QChar c) { return m_data.CenterLines.strokes(c); },
                                  [this] { return practiceSource(); });
    pgc1->addTab(practiceTab, QStringLiteral("书写练习"));
}

void TForm1::connectPage1()
{
    connect(btn1, &QPushButton::clicked, this, &TForm1::btn1Click);
    connect(btn2, &QPushButton::clicked, this, &TForm1::btn2Click);
    connect(btnSaveGif, &QPushButton::clicked, this, &TForm1::btnSaveGifClick);
    connect(btn78, &QPushButton::clicked, this, &TForm1::btn78Click);
    connect(btn79, &QPushButton::clicked, this, &TForm1::btn79Click);
    connect(edt1, &QLineEdit::returnPressed, this, &TForm1::btn1Click);
    connect(tmr1, &QueryTimer::timeout, this, &TForm1::tmr1Timer);
    connect(tmr2, &QueryTimer::timeout, this, &TForm1::tmr2Timer);
    connect(rg1, &RadioGroup::itemClicked, this, &TForm1::btn1Click);
    connect(rg11, &RadioGroup::itemClicked, this, &TForm1::btn1Click);
    connect(rg2, &RadioGroup::itemIndexChanged, this, &TForm1::rg2Change);
    for (QComboBox *c : {cbb1, cbb2, cbb3, cbb4})
        connect(c, &QComboBox::currentIndexChanged, this, &TForm1::btn1Click);
    for (QComboBox *c : {cbb5, cbb6}) {
        connect(c, &QComboBox::editTextChanged, this, &TForm1::btn1Click);
        connect(c->lineEdit(), &QLineEdit::editingFinished, this, &TForm1::numberBoxLeft);
    }
    connect(chk2, &QCheckBox::toggled, this, &TForm1::btn1Click);
    connect(chkStrokeNames, &QCheckBox::toggled, this, &TForm1::btn1Click);

    const QList<QPair<ColorSwatch *, QPushButton *>> swatches = {
        {pnl3, btn1}, {pnl4, btn1}, {pnl5, btn1}, {pnl14, btn71}, {pnl15, btn71},
        {pnl16, btn71}, {pnl18, btn73}, {pnl19, btn73}, {pnl20, btn73}};
    for (const auto &[swatch, redraw] : swatches) {
        ColorSwatch *s = swatch;
        QPushButton *r = redraw;
        connect(s, &ColorSwatch::clicked, this, [this, s, r] { pickColor(s, r); });
    }
    connect(btn4, &QPushButton::clicked, this, &TForm1::btn4Click);
    connect(btn69, &QPushButton::clicked, this, [this] {
        if (m_form5)
            m_form5->exec();
    });
    connect(btn70, &QPushButton::clicked, this, [this] {
        if (m_form6)
            m_form6->exec();
    });
}

void TForm1::message(const QString &text)
{
    const QWidget *focus = QApplication::focusWidget();
    const bool typingNumber = focus && (focus == cbb5 || focus == cbb5->lineEdit() || focus == cbb6
                                        || focus == cbb6->lineEdit());
    if (typingNumber) {
        // Typing 150 passes through 1 and 15: the sheet shows what each
        // gives, and no box takes the keys away.
        m_heldMessage = text;
        return;
    }
    m_heldMessage.clear();
    ++m_messagesShown;
    Dialogs::instance().message(this, text);
}

void TForm1::numberBoxLeft()
{
    if (m_heldMessage.isEmpty())
        return;
    // Shown once the focus has settled, unless another message came first.
    const int shown = m_messagesShown;
    QTimer::singleShot(0, this, [this, shown] {
        if (m_heldMessage.isEmpty() || m_messagesShown != shown)
            return;
        const QString text = m_heldMessage;
        m_heldMessage.clear();
        ++m_messagesShown;
        Dialogs::instance().message(this, text);
    });
}

RevealSpeed TForm1::revealSpeed() const
{
    return speedOfChoice(cbbSpeed);
}

void TForm1::pickColor(ColorSwatch *swatch, QPushButton *redraw)
{
    // The dialog opens with the colour last chosen in it, whatever swatch
    // that was for; cancelling keeps it.
    QColor chosen = m_lastChosenColor;
    if (Dialogs::instance().chooseColor(this, chosen)) {
        m_lastChosenColor = chosen;
        swatch->setColor(chosen);
    }
    redraw->click();
}

SheetStyle TForm1::sheetStyle() const
{
    SheetStyle s;
    s.splitMode = splitModeFromIndex(rg1->itemIndex());
    s.outline = chk2->isChecked();
    s.charColor = pnl3->color();
    s.traceColor = pnl4->color();
    s.frame.gridType = gridTypeFromIndex(cbb1->currentIndex());
    s.frame.lineStyle = lineStyleFromIndex(cbb2->currentIndex());
    s.frame.color = pnl5->color();
    s.frame.width = 1.0;
    s.strokeNames = chkStrokeNames->isChecked();
    // Names are written in the stroke font, which has every character they use.
    s.nameText.fonts = &m_data.PrivateFonts;
    s.nameText.family = m_data.CharFontFamily;
    return s;
}

CharacterFacts TForm1::factsOf(const QString &ch) const
{
    return ch.isEmpty() ? CharacterFacts() : m_data.Facts.facts(ch.at(0));
}

SheetMetrics TForm1::sheetMetrics() const
{
    const int size = strToInt(cbb5->currentText()); // the size box is read first
    const int perRow = strToInt(cbb6->currentText());
    return sheetMetricsFromPixels(size, cbb3->currentIndex(), cbb4->currentIndex(), perRow, m_data.PointsPerPixel);
}

SheetMetrics TForm1::sheetGaps() const
{
    return sheetMetricsFromPixels(0, cbb3->currentIndex(), cbb4->currentIndex(), 0, m_data.PointsPerPixel);
}

void TForm1::fillScrollBox()
{
    scrlbx1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrlbx1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrlbx1->setWidgetResizable(true);
    img1->resize(scrlbx1->viewport()->size());
}

void TForm1::SelectCharAt(int pos)
{
    QueryProtocol::selectCharAt(m_query, pos);
}

void TForm1::btn1Click()
{
    if (!QueryProtocol::gate(m_query))
        return;
    m_heldMessage.clear(); // this look-up speaks for itself
    const QString ch = QueryProtocol::takeCurrentChar(m_query);
    if (!m_data.isSupported(ch)) {
        message(QStringLiteral("这个汉字未被支持！"));
        return;
    }
    lblFacts->setText(factsLine(ch.at(0), factsOf(ch)));
    lblStrokeName->clear();
    try {
        switch (rg11->itemIndex()) {
        case 0:
            DrawStrokeSheet(ch);
            break;
        case 1:
            AnimateCharacter(ch, m_data.directionCodes(ch));
            break;
        case 2:
            img1->clearPicture(screenDpi());
            queryState().StrokeStep = -1;
            DrawStrokeStep(ch, -1);
            break;
        default:
            break;
        }
    } catch (const ConversionError &e) {
        // The look-up is abandoned: no selection restore, QueryDone unchanged.
        message(e.message);
        return;
    }
    QueryProtocol::epilogue(m_query);
}

void TForm1::DrawStrokeSheet(const QString &ch)
{
    DrawingScope drawing;
    fillScrollBox();
    img1->clearPicture(screenDpi());
    img1->update();
    const QSize cleared = img1->size();

    const SheetMetrics m = sheetMetrics();
    SheetStyle style = sheetStyle();
    style.nameText.names = factsOf(ch).strokeNames;
    const QSize panel = pnl10->size();
    scrlbx1->setWidgetResizable(false);
    img1->setGeometry(0, 0, panel.width(), panel.height());

    // The glyph is read once for this drawing.
    const SheetGlyph glyph(m_data.PrivateFonts, m_data.CharFontFamily, ch);
    const int n = glyph.strokeCount();
    if (n < 1) {
        message(QStringLiteral("暂时不能读取笔画数据！"));
        return;
    }
    if (m.perRow == 0)
        throw ConversionError{QStringLiteral("Floating point division by zero")};
    const ScreenSheetLayout layout =
        screenSheetLayout(n, m, panel, m_data.PointsPerPixel, m_data.PixelsPerPoint, strokeNameRise(style, m));
    if (m.perRow < 0 || m.fsize < 0 || !pictureSizeAllowed(layout.imageWidth, layout.imageHeight)) {
        message(QStringLiteral("字号或每行个数太大，图片无法生成！请减小字号或每行个数。"));
        return;
    }
    img1->resize(int(layout.imageWidth), int(layout.imageHeight));
    scrlbx1->setHorizontalScrollBarPolicy(layout.hScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    scrlbx1->setVerticalScrollBarPolicy(layout.vScroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (img1->size() != cleared)
        img1->clearPicture(screenDpi());

    drawSheet(img1->picture(), screenDpi(), glyph.sized(m.fsize), style, m, layout.left, layout.top);
    img1->update();
}

void TForm1::AnimateCharacter(const QString &ch, const QString &codes)
{
    if (ch.isEmpty() || codes.isEmpty())
        return;
    fillScrollBox(); // undo the size a sheet may have given the image
    const SheetStyle style = sheetStyle();
    m_animation->start(m_data, ch, codes, style.frame, style.charColor, screenDpi());
}

void TForm1::DrawStrokeStep(const QString &ch, int step)
{
    QueryProtocol::drawStrokeStep(m_query, m_data, ch, step, 50, sheetStyle(), screenDpi());
}

void TForm1::tmr1Timer()
{
    QueryState &q = queryState();
    DrawStrokeStep(q.CurrentChar, q.StrokeStep);
    // The stroke filled at step s shows from the next step on: step s
    // shows strokes 1..s, so the name is that of stroke s.
    lblStrokeName->setText(strokeNameLine(q.StrokeStep, factsOf(q.CurrentChar)));
    ++q.StrokeStep;
}

void TForm1::tmr2Timer()
{
    if (QueryProtocol::requeryDue(m_query))
        btn1Click();
}

int TForm1::currentCharPos() const
{
    if (edt1->hasSelectedText())
        return edt1->selectionStart();
    if (m_query.lookedUpPos >= 0 && edt1->text() == m_query.lookedUpText)
        return m_query.lookedUpPos;
    return 0;
}

void TForm1::btn78Click()
{
    if (QueryProtocol::stepSelection(m_query, -1))
        btn1Click();
}

void TForm1::btn79Click()
{
    if (QueryProtocol::stepSelection(m_query, +1))
        btn1Click();
}

void TForm1::btn4Click()
{
    tmr1->stop();
    queryState().StopRequested = true;
    m_animation->stop();
    if (m_form2)
        m_form2->showFrom(edt1->text(), currentCharPos());
}

void TForm1::ShowWelcomeText()
{
    DrawingScope drawing;
    fillScrollBox();
    img1->resize(scrlbx1->viewport()->size());
    img1->clearPicture(screenDpi());
    const int size = int(frameGeometry().width() / 6.0 * m_data.PointsPerPixel) - 15;
    const int y = int((frameGeometry().height() - 200 - size) / 2.0) - 30;
    if (size > 0) {
        const QString text = QStringLiteral("少年强则国强");
        const double em = size * m_data.PixelsPerPoint; // points to pixels
        const QString kai = systemKaiFamily();
        if (!kai.isEmpty()) {
            QPainter p(&img1->picture());
            p.setRenderHint(QPainter::Antialiasing);
            QFont f(kai);
            f.setPixelSize(qMax(1, int(em)));
            p.setFont(f);
            p.setPen(Qt::black);
            // The same 1/6 em lead-in as the drawing layer's text.
            p.drawText(QPointF(em / 6.0, y + QFontMetricsF(f).ascent()), text);
        } else {
            // No Kai font on the system: our own stroke font is a Kai style.
            Graphics g(img1->picture(), screenDpi());
            g.setAntialiasing(true);
            g.drawString(text, m_data.PrivateFonts, m_data.CharFontFamily, em, QPointF(0, y), Qt::black);
        }
    }
    img1->update();
}

void TForm1::FormResize()
{
    const QWidget *page = pgc1->currentWidget();
    if (page == ts1) {
        if (!edt1->text().isEmpty())
            btn1Click();
        else
            ShowWelcomeText();
    } else if (page == ts3) {
        charTab->centrePreview();
    } else if (page == ts4) {
        letterTab->centreImage();
    }
}

void TForm1::pgc1Change()
{
    const QWidget *page = pgc1->currentWidget();
    if (page == ts2)
        layoutPinyinPage();
    else if (page == ts3)
        charTab->centrePreview();
    else if (page == ts4)
        letterTab->activated();
    else if (page == practiceTab)
        practiceTab->activated();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == pnl2) {
            // Right-anchored controls keep their distance to the right edge;
            // the input field stretches.
            const int dx = pnl2->width() - DesignWidth;
            btn1->move(481 + dx, btn1->y());
            btn78->move(562 + dx, btn78->y());
            btn79->move(645 + dx, btn79->y());
            rg11->move(732 + dx, rg11->y());
            lbl12->move(736 + dx, lbl12->y());
            cbbSpeed->move(772 + dx, cbbSpeed->y());
            edt1->resize(qMax(60, 376 + dx), edt1->height());
        } else if (watched == pnl10 && pgc1 && pgc1->currentWidget() == ts1 && isVisible()) {
            FormResize();
        }
    } else if (event->type() == QEvent::Wheel) {
        // The wheel pages the worksheet previews and does nothing elsewhere.
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == this && watched != this) {
            auto *wheel = static_cast<QWheelEvent *>(event);
            QScrollArea *box = pgc1->currentWidget() == ts3 ? scrlbx2
                               : pgc1->currentWidget() == ts4 ? scrlbx3 : nullptr;
            if (box) {
                QScrollBar *bar = box->verticalScrollBar();
                bar->triggerAction(wheel->angleDelta().y() > 0 ? QAbstractSlider::SliderPageStepSub
                                                               : QAbstractSlider::SliderPageStepAdd);
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormClose()
{
    QueryState &q = queryState();
    q.MainClosing = true;
    tmr1->stop();
    if (m_form2)
        m_form2->tmr1->stop();
    if (!q.StopRequested)
        q.StopRequested = true;
    m_animation->stop();
    if (m_form2)
        m_form2->animation()->stop();
    QCoreApplication::processEvents();
    // A drawing still on the call stack keeps the fonts until it unwinds;
    // the destructor releases them then.
    if (q.ActiveDrawings == 0)
        releaseData();
}

void TForm1::releaseData()
{
    if (m_released)
        return;
    m_released = true;
    m_data.release();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

int TForm1::bhs(const QString &str, int fsize, int &zx, int &zy) const
{
    return ::bhs(m_data.PrivateFonts, m_data.CharFontFamily, str, fsize, zx, zy);
}
