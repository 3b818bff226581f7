#include "CharWorksheetTab.h"

#include "ColorSwatch.h"
#include "ConversionError.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "ImageView.h"
#include "KeyboardAccess.h"
#include "NamedWidget.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "RadioGroup.h"
#include "SettingsBand.h"
#include "StartupData.h"
#include "TextFilter.h"
#include "WorksheetRuns.h"
#include "WorksheetState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Narrower than this, the settings band scrolls sideways.
constexpr int DesignWidth = 960;

// 33 supported characters, no punctuation: 7 pages at 3 rows each.
const char16_t DefaultText[] = u"春眠不觉晓处处闻啼鸟夜来风雨声花落知多少人口手足山水田土日月天地火";

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    return named(new QLabel(text, parent), name);
}

QComboBox *dropDown(const char *name, const QStringList &items, int index, QWidget *parent)
{
    auto *c = named(new QComboBox(parent), name);
    c->addItems(items);
    c->setCurrentIndex(index);
    return c;
}

QStringList rowItems(int from, int to)
{
    QStringList out;
    for (int i = from; i <= to; ++i)
        out << QStringLiteral("%1行").arg(i);
    return out;
}

// One user action may run several handlers (a new text recounts, which
// resets the selector, which redraws): they share one "no strokes" message.
struct UserActionGuard
{
    explicit UserActionGuard(int &depth, bool &reported) : m_depth(depth)
    {
        if (m_depth++ == 0)
            reported = false;
    }
    ~UserActionGuard() { --m_depth; }
    int &m_depth;
};

} // namespace

CharWorksheetTab::CharWorksheetTab(const StartupData &data, QWidget *parent)
    : QWidget(parent), m_data(data)
{
    setObjectName(QStringLiteral("ts3"));
    build();
    connectControls();
}

void CharWorksheetTab::build()
{
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    pnl12 = named(new QWidget, "pnl12");
    page->addWidget(new SettingsBand(QStringLiteral("scrlSettings3"), pnl12, DesignWidth, this));
    pnl13 = named(new QWidget(this), "pnl13");
    page->addWidget(pnl13, 1);

    // Settings: text and colours; rows and switches with the page selector;
    // frame, page type, numbering and save groups.
    auto *rows = new QVBoxLayout(pnl12);
    rows->setContentsMargins(8, 5, 8, 4);
    rows->setSpacing(4);

    auto *a = new QHBoxLayout;
    lbl12 = label("lbl12", QStringLiteral("请输入汉字："), pnl12);
    edt2 = named(new QLineEdit(QString::fromUtf16(DefaultText), pnl12), "edt2");
    lbl13 = label("lbl13", QStringLiteral("字颜色："), pnl12);
    pnl14 = new ColorSwatch(QStringLiteral("pnl14"), Qt::black, pnl12);
    pnl14->setToolTip(QStringLiteral("首字字范颜色"));
    lbl17 = label("lbl17", QStringLiteral("描红色："), pnl12);
    pnl16 = new ColorSwatch(QStringLiteral("pnl16"), QColor(192, 192, 192), pnl12);
    pnl16->setToolTip(QStringLiteral("描红汉字的颜色"));
    for (ColorSwatch *s : {pnl14, pnl16})
        s->setFixedSize(40, 20);
    a->addWidget(lbl12);
    a->addWidget(edt2, 1);
    a->addSpacing(12);
    a->addWidget(lbl13);
    a->addWidget(pnl14);
    a->addSpacing(8);
    a->addWidget(lbl17);
    a->addWidget(pnl16);
    a->addSpacing(12);
    rows->addLayout(a);

    auto *b = new QHBoxLayout;
    lbl15 = label("lbl15", QStringLiteral("每个字："), pnl12);
    cbb9 = dropDown("cbb9", rowItems(1, 15), 2, pnl12);
    lbl16 = label("lbl16", QStringLiteral("描红："), pnl12);
    cbb10 = dropDown("cbb10", rowItems(0, 15), 1, pnl12);
    chk3 = named(new QCheckBox(QStringLiteral("首字范"), pnl12), "chk3");
    chk3->setChecked(true);
    chk4 = named(new QCheckBox(QStringLiteral("显示页码"), pnl12), "chk4");
    chk4->setChecked(true);
    chkStrokeRow = named(new QCheckBox(QStringLiteral("笔顺行"), pnl12), "chkStrokeRow");
    chkStrokeRow->setToolTip(QStringLiteral("每个字前加一行笔顺，每格多写一笔"));
    chkStrokeRowNames = named(new QCheckBox(QStringLiteral("笔画名称"), pnl12), "chkStrokeRowNames");
    chkStrokeRowNames->setToolTip(QStringLiteral("在笔顺行的每一格下面写出这一笔的名称"));
    chkPinyin = named(new QCheckBox(QStringLiteral("拼音"), pnl12), "chkPinyin");
    chkPinyin->setToolTip(QStringLiteral("每个字的第一行上面加一行四线格，首字范上面写出拼音"));
    lbl25 = label("lbl25", QStringLiteral("第"), pnl12);
    edt4 = named(new QLineEdit(QStringLiteral("1"), pnl12), "edt4");
    edt4->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edt4));
    edt4->setFixedWidth(56);
    ud1 = named(new QWidget(pnl12), "ud1");
    auto *arrows = new QVBoxLayout(ud1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    ud1Up = named(new QToolButton(ud1), "ud1Up");
    ud1Up->setArrowType(Qt::UpArrow);
    ud1Down = named(new QToolButton(ud1), "ud1Down");
    ud1Down->setArrowType(Qt::DownArrow);
    for (QToolButton *t : {ud1Up, ud1Down}) {
        t->setFixedSize(18, 12);
        t->setAutoRepeat(true);
        arrows->addWidget(t);
    }
    ud1->setFixedSize(18, 24);
    lbl26 = label("lbl26", QStringLiteral("页"), pnl12);
    lbl24 = label("lbl24", QString(), pnl12);
    lbl24->setFixedWidth(110);
    // What the text holds that no cell can show, said quietly.
    lblLeftOut = named(new QLabel(pnl12), "lblLeftOut");
    lblLeftOut->setStyleSheet(QStringLiteral("color: #666"));
    lblLeftOut->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblLeftOut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    btn76 = named(new QPushButton(QStringLiteral("打印"), pnl12), "btn76");
    QFont big = btn76->font();
    big.setPixelSize(19);
    btn76->setFont(big);
    a->addWidget(btn76);

    auto *c = new QHBoxLayout;
    grp3 = named(new QGroupBox(QStringLiteral("装饰边框"), pnl12), "grp3");
    auto *g3 = new QHBoxLayout(grp3);
    g3->setContentsMargins(6, 2, 6, 4);
    cbb7 = dropDown("cbb7", {QStringLiteral("无"), QStringLiteral("田字格"), QStringLiteral("米字格")}, 1,
                    grp3);
    cbb8 = dropDown("cbb8",
                    {QStringLiteral("外实里虚"), QStringLiteral("外实里实"), QStringLiteral("外虚里虚")},
                    0, grp3);
    lbl14 = label("lbl14", QStringLiteral("框颜色："), grp3);
    pnl15 = new ColorSwatch(QStringLiteral("pnl15"), QColor(128, 128, 0), grp3);
    pnl15->setFixedSize(40, 20);
    g3->addWidget(cbb7);
    g3->addWidget(cbb8);
    g3->addWidget(lbl14);
    g3->addWidget(pnl15);
    rg4 = new RadioGroup(QStringLiteral("rg4"), QStringLiteral("版面类型"),
                         {QStringLiteral("A4整版"), QStringLiteral("A4两版"), QStringLiteral("A4三版")},
                         3, pnl12);
    rg4->setItemIndex(0);
    rg4->setEnabled(false); // one full A4 page per sheet
    rg5 = new RadioGroup(QStringLiteral("rg5"), QStringLiteral("排版"),
                         {QStringLiteral("单面"), QStringLiteral("双面")}, 2, pnl12);
    rg5->setItemIndex(0);
    grp4 = named(new QGroupBox(QStringLiteral("保存"), pnl12), "grp4");
    auto *g4 = new QHBoxLayout(grp4);
    g4->setContentsMargins(6, 0, 6, 2);
    rg6 = new RadioGroup(QStringLiteral("rg6"), QStringLiteral("图片类型"),
                         {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                          QStringLiteral("pdf")},
                         4, grp4);
    rg6->setItemIndex(1);
    rg7 = new RadioGroup(QStringLiteral("rg7"), QStringLiteral("分辨率dpi"),
                         {QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")}, 3, grp4);
    rg7->setItemIndex(1);
    btn72 = named(new QPushButton(QStringLiteral("保存"), grp4), "btn72");
    btn72->setToolTip(QStringLiteral("把笔顺保存为图片"));
    g4->addWidget(rg6);
    g4->addWidget(rg7);
    g4->addWidget(btn72);
    btn71 = named(new QPushButton(QStringLiteral("预览"), pnl12), "btn71");
    QFont bold = big;
    bold.setBold(true);
    btn71->setFont(bold);
    btn71->hide(); // the redraw entry point, never shown
    b->addWidget(grp3);
    b->addWidget(rg4);
    b->addWidget(rg5);
    b->addSpacing(12);
    b->addWidget(lbl15);
    b->addWidget(cbb9);
    b->addSpacing(8);
    b->addWidget(lbl16);
    b->addWidget(cbb10);
    b->addSpacing(12);
    // Right above the page count it explains.
    b->addWidget(lblLeftOut, 1);
    rows->addLayout(b);
    c->addWidget(grp4);
    c->addSpacing(12);
    c->addWidget(chk3);
    c->addWidget(chk4);
    c->addWidget(chkStrokeRow);
    c->addWidget(chkStrokeRowNames);
    c->addWidget(chkPinyin);
    c->addStretch(1);
    c->addWidget(lbl25);
    c->addWidget(edt4);
    c->addWidget(ud1);
    c->addWidget(lbl26);
    c->addSpacing(8);
    c->addWidget(lbl24);
    rows->addLayout(c);

    // The page image, centred in its panel, scrolled by the wheel a page
    // of the scroll box at a time.
    auto *inner = new QVBoxLayout(pnl13);
    inner->setContentsMargins(0, 0, 0, 0);
    scrlbx2 = named(new QScrollArea(pnl13), "scrlbx2");
    scrlbx2->setWidgetResizable(false);
    scrlbx2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    inner->addWidget(scrlbx2);
    img2 = new ImageView(QStringLiteral("img2"), scrlbx2);
    const double dpi = m_data.PixelsPerPoint * 72.0;
    img2->resize(qRound(794 * dpi / 96.0), qRound(1123 * dpi / 96.0));
    scrlbx2->setWidget(img2);
    edt2->installEventFilter(this);
    edt4->installEventFilter(this); // Up and Down step the page, as the arrows do
    for (QToolButton *t : {ud1Up, ud1Down})
        t->setFocusPolicy(Qt::NoFocus);
    chainTabOrder({edt2, pnl14, pnl16, btn76, cbb7, cbb8, pnl15, rg4, rg5, cbb9, cbb10, rg6, rg7, btn72, chk3,
                   chk4, chkStrokeRow, chkStrokeRowNames, chkPinyin, edt4, scrlbx2});
}

void CharWorksheetTab::connectControls()
{
    connect(edt2, &QLineEdit::textChanged, this, &CharWorksheetTab::edt2Change);
    connect(cbb9, &QComboBox::currentIndexChanged, this, &CharWorksheetTab::edt2Change);
    // Stroke-order rows change the page count, as the rows per character do.
    connect(chkStrokeRow, &QCheckBox::toggled, this, &CharWorksheetTab::edt2Change);
    // So do the pinyin rows: each character takes one more row.
    connect(chkPinyin, &QCheckBox::toggled, this, &CharWorksheetTab::edt2Change);
    connect(chkStrokeRowNames, &QCheckBox::toggled, this, &CharWorksheetTab::btn71Click);
    for (QComboBox *c : {cbb7, cbb8, cbb10})
        connect(c, &QComboBox::currentIndexChanged, this, &CharWorksheetTab::btn71Click);
    for (QCheckBox *c : {chk3, chk4})
        connect(c, &QCheckBox::toggled, this, &CharWorksheetTab::btn71Click);
    connect(rg5, &RadioGroup::itemClicked, this, &CharWorksheetTab::rg5Click);
    connect(rg6, &RadioGroup::itemClicked, this, [this] { rg7->setEnabled(pictureFormat() != PageFormat::Pdf); });
    connect(edt4, &QLineEdit::textChanged, this, &CharWorksheetTab::edt4Change);
    connect(ud1Up, &QToolButton::clicked, this, [this] { ud1Step(1); });
    connect(ud1Down, &QToolButton::clicked, this, [this] { ud1Step(-1); });
    connect(btn71, &QPushButton::clicked, this, &CharWorksheetTab::btn71Click);
    connect(btn72, &QPushButton::clicked, this, &CharWorksheetTab::btn72Click);
    connect(btn76, &QPushButton::clicked, this, &CharWorksheetTab::btn76Click);
}

WorksheetSettings CharWorksheetTab::settings() const
{
    WorksheetSettings s;
    s.kind = WorksheetKind::Chinese;
    // Letters, spaces, punctuation and emoji are left out of the sheet.
    s.text = drawableCharacters(m_data, edt2->text()).kept;
    s.rowsPerChar = cbb9->currentIndex() + 1;
    s.tracingRows = cbb10->currentIndex();
    s.frame.gridType = gridTypeFromIndex(cbb7->currentIndex());
    s.frame.lineStyle = lineStyleFromIndex(cbb8->currentIndex());
    s.frame.color = pnl15->color();
    s.model = chk3->isChecked();
    s.pageNumbers = chk4->isChecked();
    s.strokeOrderRows = chkStrokeRow->isChecked();
    s.strokeNames = chkStrokeRowNames->isChecked();
    s.pinyinRows = chkPinyin->isChecked();
    s.doubleSided = rg5->itemIndex() == 1;
    s.modelColor = pnl14->color();
    s.traceColor = pnl16->color();
    // On an unusual screen the sheets follow the nearest resolution that
    // keeps them on A4.
    s.pointsPerPixel = worksheetPointsPerPixelRange().clamp(m_data.PointsPerPixel);
    return s;
}

PageFormat CharWorksheetTab::pictureFormat() const
{
    switch (rg6->itemIndex()) {
    case 0: return PageFormat::Bmp;
    case 2: return PageFormat::Png;
    case 3: return PageFormat::Pdf;
    default: return PageFormat::Jpeg;
    }
}

int CharWorksheetTab::pictureDpi() const
{
    switch (rg7->itemIndex()) {
    case 0: return 96;
    case 2: return 600;
    default: return 300;
    }
}

int CharWorksheetTab::CharPageCount() const
{
    return worksheetPageCount(m_data, settings());
}

void CharWorksheetTab::say(const QString &text)
{
    Dialogs::instance().message(window(), text);
}

void CharWorksheetTab::reportNoStrokeData()
{
    if (m_reported)
        return;
    m_reported = true;
    say(noStrokeDataText());
}

void CharWorksheetTab::UpdateCharPageCount()
{
    UserActionGuard action(m_actionDepth, m_reported);
    showLeftOut();
    if (edt2->text().isEmpty())
        return;
    const int n = CharPageCount();
    lbl24->setText(QStringLiteral("共：%1 页A4纸").arg(n));
    CurrentPage = 1;
    // Counted before the selector changes, so its handler only redraws.
    m_counted = true;
    m_pageMax = n;
    edt4->setText(QStringLiteral("1"));
}

void CharWorksheetTab::btn71Click()
{
    UserActionGuard action(m_actionDepth, m_reported);
    const WorksheetSettings s = settings();
    if (edt2->text().isEmpty())
        return;
    const double dpi = m_data.PixelsPerPoint * 72.0;
    img2->clearPicture(dpi);
    if (s.text.isEmpty()) {
        // Nothing drawable: a blank page, not the last text's.
        img2->update();
        return;
    }
    PagePaintResult painted;
    {
        Graphics g(img2->picture(), dpi);
        g.setPageUnit(PageUnit::Point);
        g.setAntialiasing(true);
        const PageCanvas canvas{QSizeF(img2->width() * m_data.PointsPerPixel,
                                       img2->height() * m_data.PointsPerPixel),
                                PageOutput::Preview};
        painted = paintWorksheetPage(g, m_data, s, CurrentPage, canvas);
    }
    img2->update();
    if (!painted.complete)
        reportNoStrokeData();
}

void CharWorksheetTab::edt2Change()
{
    UserActionGuard action(m_actionDepth, m_reported);
    // A selector that goes back to 1 redraws by itself: draw once only.
    const bool selectorRedraws = edt4->text() != QLatin1String("1") && !edt2->text().isEmpty();
    UpdateCharPageCount();
    if (!selectorRedraws)
        btn71Click();
}

void CharWorksheetTab::rg5Click()
{
    edt2Change(); // the count stays; the selector goes back to page 1
}

void CharWorksheetTab::edt4Change()
{
    UserActionGuard action(m_actionDepth, m_reported);
    const QString text = edt4->text();
    if (text.isEmpty())
        return;
    // A page number is an integer, as on the letter tab: more digits than
    // one holds are refused, the page shown stays.
    try {
        CurrentPage = strToInt(text);
    } catch (const ConversionError &e) {
        say(e.message);
        return;
    }
    if (!m_counted)
        UpdateCharPageCount();
    btn71Click();
}

void CharWorksheetTab::ud1Step(int delta)
{
    // As on the letter tab: one on from the number in the field, kept
    // within 1..n (from page 0 up is page 1, from past the end down the
    // last page); a field without a number starts from the page shown.
    const qint64 max = std::max(1, m_pageMax);
    bool ok = false;
    const qint64 shown = edt4->text().toLongLong(&ok);
    const qint64 next = std::clamp<qint64>((ok ? shown : CurrentPage) + delta, 1, max);
    if (QString::number(next) != edt4->text())
        edt4->setText(QString::number(next));
}

void CharWorksheetTab::centrePreview()
{
    // The scroll box keeps the image centred through every resize when it
    // is narrower than the panel, and scrolls it from the left edge otherwise.
    scrlbx2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void CharWorksheetTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // First display: the selector reports its position, which counts the
    // pages and draws page 1.
    centrePreview();
    edt4Change();
}

bool CharWorksheetTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edt4 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            ud1Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    if (watched == edt2 && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        edt2->selectAll();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CharWorksheetTab::showLeftOut()
{
    const FilteredText f = drawableCharacters(m_data, edt2->text());
    lblLeftOut->setText(f.note());
    lblLeftOut->setToolTip(f.note(int(f.left.size())));
}

bool CharWorksheetTab::nothingToWrite()
{
    if (edt2->text().isEmpty() || !settings().text.isEmpty())
        return false;
    say(QStringLiteral("没有可以写的汉字。") + drawableCharacters(m_data, edt2->text()).note());
    return true;
}

void CharWorksheetTab::btn72Click()
{
    UserActionGuard action(m_actionDepth, m_reported);
    if (nothingToWrite())
        return;
    runWorksheetSave(this, m_data, settings(), pictureFormat(), pictureDpi(), printTitle(), btn76,
                     grp4);
}

void CharWorksheetTab::btn76Click()
{
    UserActionGuard action(m_actionDepth, m_reported);
    if (nothingToWrite())
        return;
    runWorksheetPrint(this, m_data, settings(), pictureFormat(), pictureDpi(), printTitle(), btn76,
                      grp4);
}
