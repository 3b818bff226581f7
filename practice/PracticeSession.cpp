#include "PracticeSession.h"

#include <QHash>

int CharacterResult::stars() const
{
    if (!done)
        return 0;
    if (mistakes == 0)
        return 3;
    // One slip in a short character or a few in a long one still earns two.
    if (hints == 0 && 3 * mistakes <= qMax(strokes, 3))
        return 2;
    return 1;
}

QString starLine(int stars)
{
    stars = qBound(0, stars, 3);
    return QString(stars, QChar(0x2605)) + QString(3 - stars, QChar(0x2606));
}

QString characterResultLine(const CharacterResult &r)
{
    return QStringLiteral("%1：%2 笔，一次写对 %3 笔，错 %4 次  %5")
        .arg(r.ch)
        .arg(r.strokes)
        .arg(r.firstTry)
        .arg(r.mistakes)
        .arg(starLine(r.stars()));
}

QString summaryLine(const QList<CharacterResult> &results)
{
    int chars = 0, strokes = 0, firstTry = 0, mistakes = 0, stars = 0, perfect = 0;
    for (const CharacterResult &r : results) {
        if (!r.done)
            continue;
        ++chars;
        strokes += r.strokes;
        firstTry += r.firstTry;
        mistakes += r.mistakes;
        stars += r.stars();
        perfect += r.stars() == 3;
    }
    // A character skipped with 下一个 is counted as not written.
    const QString written = chars == results.size() ? QStringLiteral("全部写完：%1 个字").arg(chars)
                                                    : QStringLiteral("写完 %1 个字（共 %2 个）").arg(chars).arg(results.size());
    return QStringLiteral("%1，%2 笔，一次写对 %3 笔，错 %4 次，共 %5 颗星，%6 个字得到 ★★★")
        .arg(written)
        .arg(strokes)
        .arg(firstTry)
        .arg(mistakes)
        .arg(stars)
        .arg(perfect);
}

PracticeSession::PracticeSession(LineSource lines, Judge judge) : m_source(std::move(lines)), m_judge(std::move(judge))
{
}

void PracticeSession::setText(const QString &text, int at)
{
    m_chars.clear();
    m_results.clear();
    int start = -1;
    // Each character is looked up once, however long the text.
    QHash<QChar, bool> held;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSurrogate() || !m_source)
            continue;
        auto it = held.find(c);
        if (it == held.end())
            it = held.insert(c, !m_source(c).isEmpty());
        if (!*it)
            continue;
        if (start < 0 && i >= at)
            start = int(m_chars.size());
        m_chars += c;
        CharacterResult r;
        r.ch = c;
        m_results << r;
    }
    m_index = start >= 0 ? start : qMax(0, int(m_chars.size()) - 1);
    startCharacter();
}

QChar PracticeSession::currentChar() const
{
    return m_chars.isEmpty() ? QChar() : m_chars[m_index];
}

bool PracticeSession::textDone() const
{
    if (m_results.isEmpty())
        return false;
    for (const CharacterResult &r : m_results)
        if (!r.done)
            return false;
    return true;
}

CharacterResult PracticeSession::result() const
{
    return m_results.isEmpty() ? CharacterResult() : m_results[m_index];
}

void PracticeSession::startCharacter()
{
    m_lines = m_chars.isEmpty() ? QList<QPolygonF>() : m_source(m_chars[m_index]);
    m_stroke = 0;
    m_misses = QList<int>(m_lines.size(), 0);
    m_hintDue = false;
    if (!m_results.isEmpty()) {
        CharacterResult &r = m_results[m_index];
        r = CharacterResult();
        r.ch = m_chars[m_index];
        r.strokes = int(m_lines.size());
    }
}

PracticeSession::Outcome PracticeSession::submit(const QPolygonF &drawn)
{
    Outcome out;
    if (m_lines.isEmpty() || characterDone() || !m_judge)
        return out;
    out.judged = true;
    out.stroke = m_stroke;
    out.verdict = m_judge(m_lines, m_stroke, drawn, m_strictness);
    CharacterResult &r = m_results[m_index];
    if (out.verdict.match) {
        if (m_misses[m_stroke] == 0)
            ++r.firstTry;
        m_hintDue = false;
        ++m_stroke;
        if (characterDone()) {
            r.done = true;
            out.characterDone = true;
            out.textDone = textDone() || m_index == m_chars.size() - 1;
        }
        return out;
    }
    // A stroke too short to judge (a tap, a slip of the pen) is no mistake.
    if (out.verdict.reason == MissReason::Invalid)
        return out;
    ++r.mistakes;
    if (++m_misses[m_stroke] % MissesBeforeHint == 0) {
        ++r.hints;
        m_hintDue = true;
        out.hint = true;
    }
    return out;
}

void PracticeSession::restart()
{
    startCharacter();
}

bool PracticeSession::goTo(int index)
{
    if (index < 0 || index >= m_chars.size())
        return false;
    m_index = index;
    startCharacter();
    return true;
}

bool PracticeSession::previous()
{
    return goTo(m_index - 1);
}

bool PracticeSession::next()
{
    return goTo(m_index + 1);
}
