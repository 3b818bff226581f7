// The pinyin sound board page of the main window.
#include "DoDeze.h"

#include <QStatusBar>

#include "ClipPlayer.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <vector>

namespace {

// The width of the bands the inner panels were placed in by design.
constexpr int DesignBandWidth = 986;
constexpr int DesignBandHeight = 200;

// One band of the board: a raised panel holding an inner panel that is
// anchored to the band's top only, so that when the band's width changes the
// inner panel keeps its horizontal centre at the same fraction of the width.
class Band : public QFrame
{
public:
    Band(QWidget *parent, const char *name, const char *innerName, QSize innerSize, QPoint innerPos)
        : QFrame(parent), m_inner(new QWidget(this))
    {
        setObjectName(QLatin1String(name));
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        m_inner->setObjectName(QLatin1String(innerName));
        m_inner->setGeometry(QRect(innerPos, innerSize));
    }

    QWidget *inner() const { return m_inner; }

    // Places the inner panel; the band's present width becomes the reference
    // for later anchoring.
    void placeInner(int left, int top)
    {
        m_inner->move(left, top);
        m_refWidth = width();
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QFrame::resizeEvent(event);
        if (width() == m_refWidth || m_refWidth <= 0)
            return;
        const double centre = m_inner->x() + m_inner->width() / 2.0;
        m_inner->move(qRound(centre * width() / m_refWidth - m_inner->width() / 2.0), m_inner->y());
        m_refWidth = width();
    }

private:
    QWidget *m_inner;
    int m_refWidth = DesignBandWidth;
};

struct Key
{
    const char *name;
    const char *caption;
};

struct KeyRow
{
    int top;
    std::vector<Key> keys;
};

const std::vector<int> InitialLefts = {113, 195, 277, 359, 442, 524, 606, 688};
const std::vector<int> FinalLefts = {114, 196, 278, 360, 443, 525, 607, 688};
const std::vector<int> WholeLefts = {136, 218, 300, 382, 465, 547, 629, 711};

const std::vector<KeyRow> InitialRows = {
    {16, {{"btn24", "b"}, {"btn65", "p"}, {"btn66", "m"}, {"btn67", "f"}, {"btn5", "d"}, {"btn6", "t"}, {"btn7", "n"}, {"btn8", "l"}}},
    {72, {{"btn9", "g"}, {"btn10", "k"}, {"btn11", "h"}, {"btn12", "j"}, {"btn13", "q"}, {"btn14", "x"}, {"btn15", "zh"}, {"btn16", "ch"}}},
    {129, {{"btn17", "sh"}, {"btn18", "r"}, {"btn19", "z"}, {"btn20", "c"}, {"btn21", "s"}, {"btn22", "y"}, {"btn23", "w"}}},
};
const std::vector<KeyRow> FinalRows = {
    {16, {{"btn25", "a"}, {"btn26", "o"}, {"btn27", "e"}, {"btn28", "i"}, {"btn29", "u"}, {"btn30", "v"}, {"btn31", "ai"}, {"btn32", "ei"}}},
    {72, {{"btn33", "ui"}, {"btn34", "ao"}, {"btn35", "ou"}, {"btn36", "iu"}, {"btn37", "ie"}, {"btn38", "ve"}, {"btn39", "er"}, {"btn40", "an"}}},
    {128, {{"btn41", "en"}, {"btn42", "in"}, {"btn43", "un"}, {"btn44", "vn"}, {"btn45", "ang"}, {"btn46", "eng"}, {"btn47", "ing"}, {"btn48", "ong"}}},
};
const std::vector<KeyRow> WholeRows = {
    {17, {{"btn49", "zhi"}, {"btn50", "chi"}, {"btn51", "shi"}, {"btn52", "ri"}, {"btn53", "zi"}, {"btn54", "ci"}, {"btn55", "si"}, {"btn56", "yi"}}},
    {70, {{"btn57", "wu"}, {"btn58", "yu"}, {"btn59", "ye"}, {"btn60", "yue"}, {"btn61", "yuan"}, {"btn62", "yin"}, {"btn63", "yun"}, {"btn64", "ying"}}},
};

QFont pixelFont(const QStringList &families, int pixels)
{
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(pixels);
    return f;
}

QLabel *title(QWidget *inner, const char *name, const QString &text, int left, int top)
{
    // 黑体 where the system has it, otherwise the closest CJK sans.
    static const QStringList hei = {QStringLiteral("黑体"), QStringLiteral("SimHei"),
                                    QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei")};
    auto *l = new QLabel(text, inner);
    l->setObjectName(QLatin1String(name));
    l->setFont(pixelFont(hei, 32));
    l->move(left, top);
    l->adjustSize();
    return l;
}

} // namespace

void TForm1::buildPinyinPage()
{
    auto *bands = new QVBoxLayout(ts2);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);

    // Inner panels start centred in a band of the design width.
    auto *initials = new Band(ts2, "pnl1", "pnl11", QSize(769, 186), QPoint(108, 7));
    auto *finals = new Band(ts2, "pnl6", "pnl22", QSize(769, 186), QPoint(108, 7));
    auto *whole = new Band(ts2, "pnl7", "pnl23", QSize(785, 131), QPoint(85, 7));
    initials->setFixedHeight(DesignBandHeight);
    finals->setFixedHeight(DesignBandHeight);
    finals->setAutoFillBackground(true);
    QPalette white = finals->palette();
    white.setColor(QPalette::Window, Qt::white);
    finals->setPalette(white);
    bands->addWidget(initials);
    bands->addWidget(finals);
    bands->addWidget(whole, 1);
    pnl1 = initials;
    pnl6 = finals;
    pnl7 = whole;
    pnl11 = initials->inner();
    pnl22 = finals->inner();
    pnl23 = whole->inner();

    lbl7 = title(pnl11, "lbl7", QStringLiteral("声母"), 9, 76);
    lbl8 = title(pnl22, "lbl8", QStringLiteral("韵母"), 10, 73);
    lbl9 = title(pnl23, "lbl9", QStringLiteral("整体认读"), 2, 47);

    clipPlayer = new ClipPlayer(this);
    // Said once, quietly: a board that stays silent looks broken.
    connect(clipPlayer, &ClipPlayer::noSoundDevice, this, [this] {
        if (m_toldNoSound)
            return;
        m_toldNoSound = true;
        statusBar()->showMessage(QStringLiteral("没有找到声音设备，拼音读音无法播放。"));
    });
    // The pinyin font draws "v" as ü.
    const QFont keyFont = pixelFont({QStringLiteral("PinYinok")}, 32);
    auto addKeys = [&](QWidget *inner, const std::vector<KeyRow> &rows, const std::vector<int> &lefts) {
        for (const KeyRow &row : rows) {
            for (size_t i = 0; i < row.keys.size(); ++i) {
                auto *b = new QPushButton(QLatin1String(row.keys[i].caption), inner);
                b->setObjectName(QLatin1String(row.keys[i].name));
                b->setFont(keyFont);
                b->setGeometry(lefts[i], row.top, 65, 40);
                connect(b, &QPushButton::clicked, this, [this, b] { btn5Click(b); });
            }
        }
    };
    addKeys(pnl11, InitialRows, InitialLefts);
    addKeys(pnl22, FinalRows, FinalLefts);
    addKeys(pnl23, WholeRows, WholeLefts);
}

void TForm1::layoutPinyinPage()
{
    // The two upper bands take 36.7 % of the page each, pnl7 the rest; the
    // inner panels sit centred in their bands, pnl23 a little further left.
    const int h = int(ts2->height() * 0.367);
    pnl1->setFixedHeight(h);
    pnl6->setFixedHeight(h);
    ts2->layout()->activate();
    const int a = (pnl1->width() - pnl11->width()) / 2;
    static_cast<Band *>(pnl1)->placeInner(a, (pnl1->height() - pnl11->height()) / 2);
    static_cast<Band *>(pnl6)->placeInner(a, (pnl6->height() - pnl22->height()) / 2);
    static_cast<Band *>(pnl7)->placeInner(a - 23, (pnl7->height() - pnl23->height()) / 2);
}

void TForm1::btn5Click(QPushButton *sender)
{
    // Clip names are the captions in upper case.
    clipPlayer->play(sender->text().toUpper());
}
