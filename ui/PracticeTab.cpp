#include "PracticeTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QComboBox *makeStrictnessChoice(QWidget *parent, const QString &name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems({QStringLiteral("宽松"), QStringLiteral("标准"), QStringLiteral("严格")});
    c->setCurrentIndex(1);
    c->setToolTip(QStringLiteral("检查笔画的严格程度"));
    return c;
}

Strictness strictnessOfChoice(const QComboBox *choice)
{
    switch (choice->currentIndex()) {
    case 0:
        return Strictness::Loose;
    case 2:
        return Strictness::Strict;
    default:
        return Strictness::Normal;
    }
}

PracticePanel::PracticePanel(const StartupData &data, PracticeSession::LineSource lines, QWidget *parent,
                             PracticeSession::Judge judge)
    : QWidget(parent), m_session(std::move(lines), std::move(judge))
{
    auto *page = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    page->addLayout(bar);

    btnPracticePrev = new QPushButton(QStringLiteral("上一个"), this);
    btnPracticePrev->setObjectName(QStringLiteral("btnPracticePrev"));
    btnPracticeNext = new QPushButton(QStringLiteral("下一个"), this);
    btnPracticeNext->setObjectName(QStringLiteral("btnPracticeNext"));
    lblPracticeChar = new QLabel(this);
    lblPracticeChar->setObjectName(QStringLiteral("lblPracticeChar"));
    lblPracticeChar->setMinimumWidth(150);
    chkShowGlyph = new QCheckBox(QStringLiteral("显示字形"), this);
    chkShowGlyph->setObjectName(QStringLiteral("chkShowGlyph"));
    chkShowGlyph->setChecked(true);
    auto *strictLabel = new QLabel(QStringLiteral("严格程度"), this);
    cbbStrictness = makeStrictnessChoice(this, QStringLiteral("cbbStrictness"));
    btnRewrite = new QPushButton(QStringLiteral("重写"), this);
    btnRewrite->setObjectName(QStringLiteral("btnRewrite"));
    for (QWidget *w : std::initializer_list<QWidget *>{btnPracticePrev, btnPracticeNext, lblPracticeChar, chkShowGlyph,
                                                       strictLabel, cbbStrictness, btnRewrite})
        bar->addWidget(w);
    bar->addStretch(1);

    lblPracticeResult = new QLabel(this);
    lblPracticeResult->setObjectName(QStringLiteral("lblPracticeResult"));
    lblPracticeResult->setWordWrap(true);
    // Read from across a classroom: half as large again as the controls.
    QFont big = lblPracticeResult->font();
    if (big.pixelSize() > 0)
        big.setPixelSize(big.pixelSize() * 3 / 2);
    else
        big.setPointSizeF(big.pointSizeF() * 1.5);
    lblPracticeResult->setFont(big);
    lblPracticeResult->setMinimumHeight(2 * QFontMetrics(big).height() + 6);
    page->addWidget(lblPracticeResult);

    practiceCanvas = new PracticeCanvas(data, m_session, this);
    page->addWidget(practiceCanvas, 1);

    connect(btnPracticePrev, &QPushButton::clicked, this, &PracticePanel::btnPracticePrevClick);
    connect(btnPracticeNext, &QPushButton::clicked, this, &PracticePanel::btnPracticeNextClick);
    connect(btnRewrite, &QPushButton::clicked, this, &PracticePanel::btnRewriteClick);
    connect(chkShowGlyph, &QCheckBox::toggled, this, &PracticePanel::applyLook);
    connect(cbbStrictness, &QComboBox::currentIndexChanged, this,
            [this] { m_session.setStrictness(strictnessOfChoice(cbbStrictness)); });
    connect(practiceCanvas, &PracticeCanvas::strokeJudged, this, &PracticePanel::strokeJudged);
    showCharacter();
}

void PracticePanel::setSource(const PracticeSource &source)
{
    m_look = source.look;
    if (source.text != m_text || source.position != m_position) {
        m_text = source.text;
        m_position = source.position;
        m_session.setText(m_text, m_position);
        showCharacter();
    }
    applyLook();
}

void PracticePanel::applyLook()
{
    PracticeLook look = m_look;
    look.showGlyph = chkShowGlyph->isChecked();
    practiceCanvas->setLook(look);
}

void PracticePanel::showCharacter()
{
    const int n = m_session.characterCount();
    if (n == 0) {
        lblPracticeChar->clear();
        lblPracticeResult->setStyleSheet(QString());
        lblPracticeResult->setText(m_text.trimmed().isEmpty() ? QStringLiteral("请先输入要练习的汉字")
                                                              : QStringLiteral("输入的文字里没有可以练习的汉字"));
    } else {
        lblPracticeChar->setText(QStringLiteral("%1（第 %2 个，共 %3 个）")
                                     .arg(m_session.currentChar())
                                     .arg(m_session.characterIndex() + 1)
                                     .arg(n));
        lblPracticeResult->setStyleSheet(QString());
        lblPracticeResult->setText(QStringLiteral("请写第 1 笔（共 %1 笔）").arg(m_session.strokeCount()));
    }
    practiceCanvas->characterChanged();
}

void PracticePanel::btnPracticePrevClick()
{
    // At the first character nothing moves, and the work on it stays.
    if (m_session.previous())
        showCharacter();
}

void PracticePanel::btnPracticeNextClick()
{
    if (m_session.next())
        showCharacter();
}

void PracticePanel::btnRewriteClick()
{
    m_session.restart();
    showCharacter();
}

void PracticePanel::strokeJudged(const PracticeSession::Outcome &out)
{
    QString text;
    bool good = true;
    if (!out.judged) {
        text = m_session.characterDone()
                   ? QStringLiteral("这个字写完了。按“下一个”接着练，按“重写”再写一遍")
                   : QString();
    } else if (out.verdict.match) {
        if (out.textDone)
            text = characterResultLine(m_session.result()) + QLatin1Char('\n') + summaryLine(m_session.results());
        else if (out.characterDone)
            text = characterResultLine(m_session.result());
        else
            text = QStringLiteral("第 %1 笔写对了！请写第 %2 笔").arg(out.stroke + 1).arg(out.stroke + 2);
    } else {
        good = false;
        text = out.verdict.reasonText();
        if (text.isEmpty())
            text = QStringLiteral("不对，再试一次");
        if (out.hint)
            text += QStringLiteral("。看一看第 %1 笔怎么写，再写一遍").arg(out.stroke + 1);
    }
    if (text.isEmpty())
        return;
    lblPracticeResult->setStyleSheet(good ? QStringLiteral("color: #1a7f37;") : QStringLiteral("color: #c62828;"));
    lblPracticeResult->setText(text);
}

PracticeTab::PracticeTab(const StartupData &data, PracticeSession::LineSource lines,
                         std::function<PracticeSource()> source, QWidget *parent)
    : PracticePanel(data, std::move(lines), parent), m_source(std::move(source))
{
    setObjectName(QStringLiteral("tsPractice"));
}

void PracticeTab::activated()
{
    if (m_source)
        setSource(m_source());
}
