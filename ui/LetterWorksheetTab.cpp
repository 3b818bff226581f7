#include "LetterWorksheetTab.h"

#include "ColorSwatch.h"
#include "ConversionError.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "LetterText.h"
#include "NamedWidget.h"
#include "ImageView.h"
#include "PageModel.h"
#include "PagePainter.h"
#include "RadioGroup.h"
#include "SettingsBand.h"
#include "StartupData.h"
#include "TextFilter.h"
#include "UpDown.h"
#include "WorksheetRuns.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The settings band was laid out for a window this wide; the text field
// keeps its distance to the right edge.
constexpr int DesignWidth = 994;
constexpr int TextFieldLeft = 114;
constexpr int TextFieldWidth = 863;

QComboBox *rowsBox(QWidget *parent, const char *name, int first, int last, int index, QPoint at)
{
    auto *c = named(new QComboBox(parent), name);
    for (int i = first; i <= last; ++i)
        c->addItem(QStringLiteral("%1行").arg(i));
    c->setCurrentIndex(index);
    c->setGeometry(QRect(at, QSize(std::max(49, c->sizeHint().width()), 21)));
    return c;
}

QPushButton *bigButton(QWidget *parent, const char *name, const QString &text, QRect geometry,
                       bool bold)
{
    auto *b = named(new QPushButton(text, parent), name);
    QFont f = b->font();
    f.setPixelSize(19);
    f.setBold(bold);
    b->setFont(f);
    b->setGeometry(geometry);
    return b;
}

// A4 at the screen's resolution: 794 x 1123 pixels at 96 dpi.
QSize previewPixels(double dpi)
{
    return QSize(qRound(210.0 / 25.4 * dpi), qRound(297.0 / 25.4 * dpi));
}

} // namespace

LetterWorksheetTab::LetterWorksheetTab(const StartupData &data, QWidget *parent)
    : QWidget(parent), m_data(data)
{
    setObjectName(QStringLiteral("ts4"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    pnl17 = named(new QWidget, "pnl17");
    pnl17->setMinimumHeight(129);
    column->addWidget(new SettingsBand(QStringLiteral("scrlSettings4"), pnl17, DesignWidth, this));
    pnl21 = named(new QWidget(this), "pnl21");
    column->addWidget(pnl21, 1);
    auto *inner = new QVBoxLayout(pnl21);
    inner->setContentsMargins(0, 0, 0, 0);
    scrlbx3 = named(new QScrollArea(pnl21), "scrlbx3");
    inner->addWidget(scrlbx3);
    m_imageHolder = new QWidget;
    img3 = new ImageView(QStringLiteral("img3"), m_imageHolder);
    img3->resize(previewPixels(m_data.PixelsPerPoint * 72.0));
    m_imageHolder->resize(img3->size());
    scrlbx3->setWidget(m_imageHolder);
    buildSettings();

    pnl17->installEventFilter(this);
    scrlbx3->viewport()->installEventFilter(this);
    edt3->installEventFilter(this);
    // Composed input would bypass the key filter.
    edt3->setAttribute(Qt::WA_InputMethodEnabled, false);

    connect(edt3, &QLineEdit::textChanged, this, &LetterWorksheetTab::edt3Change);
    connect(edt5, &QLineEdit::textChanged, this, &LetterWorksheetTab::edt5Change);
    connect(rg8, &RadioGroup::itemClicked, this, &LetterWorksheetTab::rg8Click);
    connect(cbb11, &QComboBox::currentIndexChanged, this, &LetterWorksheetTab::cbb11Change);
    connect(cbb12, &QComboBox::currentIndexChanged, this, &LetterWorksheetTab::btn73Click);
    connect(chk6, &QCheckBox::toggled, this, &LetterWorksheetTab::btn73Click);
    connect(chk7, &QCheckBox::toggled, this, &LetterWorksheetTab::btn73Click);
    // A PDF is vector: no resolution to choose.
    connect(rg9, &RadioGroup::itemClicked, this, [this](int item) { rg10->setEnabled(item != 3); });
    connect(btn73, &QPushButton::clicked, this, &LetterWorksheetTab::btn73Click);
    connect(btn74, &QPushButton::clicked, this, &LetterWorksheetTab::btn74Click);
    connect(btn75, &QPushButton::clicked, this, &LetterWorksheetTab::btn75Click);
}

void LetterWorksheetTab::buildSettings()
{
    QWidget *p = pnl17;
    lbl18 = label(p, "lbl18", QStringLiteral("请输入字母或数字："), 10, 16);
    edt3 = named(new QLineEdit(defaultWorksheetText(WorksheetKind::Letters), p), "edt3");
    edt3->setGeometry(TextFieldLeft, 13, TextFieldWidth, 21);

    rg8 = new RadioGroup(QStringLiteral("rg8"), QStringLiteral("字帖类型"),
                         {QStringLiteral("英文字母"), QStringLiteral("数字")}, 1, p);
    rg8->setItemIndex(0);
    rg8->setGeometry(10, 43, 98, 73);

    lbl19 = label(p, "lbl19", QStringLiteral("字颜色："), 114, 43);
    pnl18 = new ColorSwatch(QStringLiteral("pnl18"), Qt::black, p);
    pnl18->setToolTip(QStringLiteral("首字字范的颜色"));
    pnl18->setGeometry(168, 40, 40, 20);
    lbl20 = label(p, "lbl20", QStringLiteral("描红色："), 114, 73);
    pnl19 = new ColorSwatch(QStringLiteral("pnl19"), QColor(192, 192, 192), p);
    pnl19->setToolTip(QStringLiteral("描红文字的颜色"));
    pnl19->setGeometry(168, 69, 40, 20);
    lbl23 = label(p, "lbl23", QStringLiteral("线颜色："), 114, 103);
    pnl20 = new ColorSwatch(QStringLiteral("pnl20"), QColor(128, 128, 0), p);
    pnl20->setGeometry(168, 99, 40, 20);

    lbl21 = label(p, "lbl21", QStringLiteral("每个字："), 241, 43);
    cbb11 = rowsBox(p, "cbb11", 1, 15, 2, QPoint(295, 39));
    lbl22 = label(p, "lbl22", QStringLiteral("描红："), 241, 72);
    cbb12 = rowsBox(p, "cbb12", 0, 15, 1, QPoint(295, 68));

    chk6 = named(new QCheckBox(QStringLiteral("首字范"), p), "chk6");
    chk6->setChecked(true);
    chk6->move(370, 41);
    chk6->adjustSize();
    chk7 = named(new QCheckBox(QStringLiteral("显示页码"), p), "chk7");
    chk7->setChecked(true);
    chk7->move(370, 70);
    chk7->adjustSize();

    btn73 = bigButton(p, "btn73", QStringLiteral("预览"), QRect(241, 91, 100, 37), true);
    btn73->hide();
    btn75 = bigButton(p, "btn75", QStringLiteral("打印"), QRect(511, 40, 100, 37), false);

    lbl27 = named(new QLabel(p), "lbl27");
    lbl27->setGeometry(424, 97, 73, 15);
    // Why a typed or pasted character did not go in, said quietly.
    lblLetterNote = named(new QLabel(p), "lblLetterNote");
    lblLetterNote->setGeometry(215, 93, 205, 34);
    lblLetterNote->setWordWrap(true);
    lblLetterNote->setStyleSheet(QStringLiteral("color: #666"));
    lbl28 = label(p, "lbl28", QStringLiteral("第"), 511, 97);
    edt5 = named(new QLineEdit(QStringLiteral("1"), p), "edt5");
    edt5->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edt5));
    edt5->setGeometry(531, 93, 45, 21);
    ud2 = new UpDown(QStringLiteral("ud2"), edt5, p);
    ud2->setGeometry(576, 93, 16, 21);
    ud2->setRange(1, 100);
    lbl29 = label(p, "lbl29", QStringLiteral("页"), 599, 97);

    grp5 = named(new QGroupBox(QStringLiteral("保存"), p), "grp5");
    grp5->setGeometry(642, 32, 300, 96);
    // "pdf": all pages as one vector PDF.
    const QStringList types = {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                               QStringLiteral("pdf")};
    rg9 = new RadioGroup(QStringLiteral("rg9"), QStringLiteral("图片类型"), types, 4, grp5);
    rg9->setItemIndex(1);
    rg9->setGeometry(3, 14, 236, 40);
    const QStringList dpis = {QStringLiteral("96"), QStringLiteral("300"), QStringLiteral("600")};
    rg10 = new RadioGroup(QStringLiteral("rg10"), QStringLiteral("分辨率dpi"), dpis, 3, grp5);
    rg10->setItemIndex(1);
    rg10->setGeometry(3, 52, 236, 40);
    btn74 = named(new QPushButton(QStringLiteral("保存"), grp5), "btn74");
    btn74->setToolTip(QStringLiteral("把笔顺保存为图片"));
    btn74->setGeometry(246, 25, 46, 50);
}

WorksheetKind LetterWorksheetTab::kind() const
{
    return rg8->itemIndex() == 1 ? WorksheetKind::Digits : WorksheetKind::Letters;
}

WorksheetSettings LetterWorksheetTab::settings() const
{
    WorksheetSettings s;
    s.kind = kind();
    s.text = edt3->text();
    s.rowsPerChar = cbb11->currentIndex() + 1;
    s.tracingRows = cbb12->currentIndex();
    s.model = chk6->isChecked();
    s.pageNumbers = chk7->isChecked();
    s.modelColor = pnl18->color();
    s.traceColor = pnl19->color();
    s.frame.color = pnl20->color();
    s.pointsPerPixel = m_data.PointsPerPixel;
    return s;
}

int LetterWorksheetTab::pageCount() const
{
    return worksheetPageCount(int(edt3->text().size()), cbb11->currentIndex() + 1);
}

void LetterWorksheetTab::message(const QString &text)
{
    Dialogs::instance().message(window(), text);
}

void LetterWorksheetTab::UpdateLetterPageCount()
{
    if (edt3->text().isEmpty())
        return;
    const int n = pageCount();
    lbl27->setText(QStringLiteral("共：%1 页").arg(n));
    m_currentPage = 1;
    m_counted = true;
    {
        // Every caller redraws right after the count.
        const QSignalBlocker quiet(edt5);
        edt5->setText(QStringLiteral("1"));
    }
    ud2->setMaximum(n);
}

void LetterWorksheetTab::btn73Click()
{
    if (edt3->text().isEmpty())
        return;
    const double dpi = m_data.PixelsPerPoint * 72.0;
    img3->clearPicture(dpi);
    {
        Graphics g(img3->picture(), dpi);
        const PageCanvas canvas{QSizeF(img3->width() * m_data.PointsPerPixel,
                                       img3->height() * m_data.PointsPerPixel),
                                PageOutput::Preview};
        paintWorksheetPage(g, m_data, settings(), m_currentPage, canvas);
    }
    img3->update();
}

void LetterWorksheetTab::edt3Change()
{
    if (kind() == WorksheetKind::Letters)
        m_letterText = edt3->text();
    else
        m_digitText = edt3->text();
    UpdateLetterPageCount();
    btn73Click();
}

void LetterWorksheetTab::cbb11Change()
{
    UpdateLetterPageCount();
    btn73Click();
}

void LetterWorksheetTab::rg8Click()
{
    const bool digits = kind() == WorksheetKind::Digits;
    QString text = digits ? m_digitText : m_letterText;
    if (digits && text.isEmpty())
        text = defaultWorksheetText(WorksheetKind::Digits);
    {
        // Counted and drawn once below, not again from the field's change.
        const QSignalBlocker quiet(edt3);
        edt3->setText(text);
    }
    (digits ? m_digitText : m_letterText) = text;
    lblLetterNote->clear();
    UpdateLetterPageCount();
    btn73Click();
}

void LetterWorksheetTab::edt5Change()
{
    if (edt5->text().isEmpty())
        return;
    try {
        m_currentPage = strToInt(edt5->text());
    } catch (const ConversionError &e) {
        message(e.message);
        return;
    }
    if (!m_counted)
        UpdateLetterPageCount();
    btn73Click();
}

PageFormat LetterWorksheetTab::pictureFormat() const
{
    // The items are in the order of the formats: bmp, jpg, png, pdf.
    return PageFormat(std::clamp(rg9->itemIndex(), 0, 3));
}

int LetterWorksheetTab::pictureDpi() const
{
    static const int dpis[] = {96, 300, 600};
    return dpis[std::clamp(rg10->itemIndex(), 0, 2)];
}

QString LetterWorksheetTab::printTitle() const
{
    return kind() == WorksheetKind::Digits ? QStringLiteral("数学数字字帖") : QStringLiteral("英文字母字帖");
}

void LetterWorksheetTab::btn74Click()
{
    runWorksheetSave(this, m_data, settings(), pictureFormat(), pictureDpi(), printTitle(), btn75,
                     grp5);
}

void LetterWorksheetTab::btn75Click()
{
    runWorksheetPrint(this, m_data, settings(), pictureFormat(), pictureDpi(), printTitle(), btn75,
                      grp5);
}

void LetterWorksheetTab::activated()
{
    if (m_letterText.isEmpty())
        m_letterText = kind() == WorksheetKind::Letters ? edt3->text() : QString();
    centreImage();
}

void LetterWorksheetTab::centreImage()
{
    const int visible = scrlbx3->viewport()->width();
    m_imageHolder->resize(std::max(visible, img3->width()), img3->height());
    img3->move(std::max(0, (visible - img3->width()) / 2), 0);
}

void LetterWorksheetTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // The page selector's first value counts the pages and draws page 1.
    activated();
    edt5Change();
}

bool LetterWorksheetTab::allowedInText(QChar c) const
{
    return isWorksheetCharacter(kind(), c);
}

// True when the key is swallowed: only letters (letter mode) or digits
// (digit mode) are typed, and the keyboard's copy, cut and paste are off.
// Keys that type nothing (arrows, Delete, Backspace, Ctrl+A) work as usual.
QString LetterWorksheetTab::onlyText() const
{
    return kind() == WorksheetKind::Digits ? QStringLiteral("只能输入数字") : QStringLiteral("只能输入英文字母");
}

void LetterWorksheetTab::pasteAllowed()
{
    const FilteredText f = filterText(QGuiApplication::clipboard()->text(),
                                      [this](QChar c) { return allowedInText(c); });
    if (!f.kept.isEmpty())
        edt3->insert(f.kept);
    lblLetterNote->setText(f.anyLeft() ? f.note(8) + QStringLiteral("（") + onlyText() + QStringLiteral("）")
                                       : QString());
}

// True when the key is swallowed: only letters (letter mode) or digits
// (digit mode) are typed, the keyboard's copy and cut are off, and a paste
// takes only the characters the sheet can hold.
bool LetterWorksheetTab::edt3KeyPress(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteAllowed();
        return true;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut))
        return true;
    if (event->key() == Qt::Key_Backspace)
        return false;
    // Ctrl shortcuts type nothing (select all, undo): they stay.
    if ((event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::ControlModifier)
        return false;
    const QString typed = event->text();
    const bool printable = std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isPrint(); });
    if (!printable)
        return false;
    const bool refused = !std::all_of(typed.begin(), typed.end(), [this](QChar c) { return allowedInText(c); });
    lblLetterNote->setText(refused ? onlyText() : QString());
    return refused;
}

bool LetterWorksheetTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edt3) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return edt3KeyPress(static_cast<QKeyEvent *>(event));
        case QEvent::InputMethod: {
            // The input method is off for the field; anything composed that
            // still arrives goes through the same filter.
            const auto *im = static_cast<QInputMethodEvent *>(event);
            const QString text = im->commitString() + im->preeditString();
            return !std::all_of(text.begin(), text.end(), [this](QChar c) { return allowedInText(c); });
        }
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
                edt3->selectAll();
            break;
        case QEvent::ContextMenu: {
            // The field's own menu, with 粘贴 going through the same filter.
            QMenu *menu = edt3->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            // The items are known by their shortcut, whatever the language.
            auto is = [](const QAction *a, QKeySequence::StandardKey key) {
                return a->text().endsWith(QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText));
            };
            for (QAction *a : menu->actions()) {
                if (is(a, QKeySequence::Paste)) {
                    a->disconnect();
                    a->setObjectName(QStringLiteral("edit-paste"));
                    connect(a, &QAction::triggered, this, &LetterWorksheetTab::pasteAllowed);
                } else if (is(a, QKeySequence::Copy) || is(a, QKeySequence::Cut)) {
                    a->setEnabled(false);
                }
            }
            menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        default:
            break;
        }
    } else if (event->type() == QEvent::Resize) {
        if (watched == pnl17)
            edt3->resize(std::max(60, TextFieldWidth + pnl17->width() - DesignWidth), edt3->height());
        else if (watched == scrlbx3->viewport())
            centreImage();
    }
    return QWidget::eventFilter(watched, event);
}
