#pragma once

#include "StrokeChecker.h"

#include <QList>
#include <QPolygonF>
#include <QString>

#include <functional>

// How one character went: strokes right at the first try, mistakes
// (every refused stroke), and whether a stroke had to be shown.
struct CharacterResult
{
    QChar ch;
    int strokes = 0;
    int firstTry = 0;
    int mistakes = 0;
    int hints = 0;
    bool done = false;
    // ★★★ no mistake; ★★ at most one mistake per three strokes and no
    // stroke shown; ★ otherwise. 0 while the character is unfinished.
    int stars() const;
};

// "★★☆" for 2 of 3 stars.
QString starLine(int stars);
// The short line under a finished character: "好：6 笔，一次写对 5 笔，错 1 次  ★★☆".
QString characterResultLine(const CharacterResult &r);
// The line after the last character, over the finished ones ("全部写完：…",
// or "写完 1 个字（共 2 个）…" when some were skipped).
QString summaryLine(const QList<CharacterResult> &results);

// The writing practice of a text: which character and stroke are due, what
// each drawn stroke was judged, the misses per stroke, the hint after every
// third miss on one stroke, and the results. Driven by calls only: no
// timers, no widgets.
class PracticeSession
{
public:
    // The centre lines of a character, empty when it has none.
    using LineSource = std::function<QList<QPolygonF>(QChar)>;
    using Judge = std::function<StrokeVerdict(const QList<QPolygonF> &, int, const QPolygonF &, Strictness)>;

    static constexpr int MissesBeforeHint = 3;

    explicit PracticeSession(LineSource lines, Judge judge = &StrokeChecker::check);

    // Takes the characters of text that have centre lines (others are
    // skipped) and starts at the one that stands at or after text position
    // `at`, or the last one when none does.
    void setText(const QString &text, int at = 0);
    QString characters() const { return m_chars; }
    int characterCount() const { return int(m_chars.size()); }
    bool isEmpty() const { return m_chars.isEmpty(); }

    void setStrictness(Strictness s) { m_strictness = s; }
    Strictness strictness() const { return m_strictness; }

    int characterIndex() const { return m_index; }
    QChar currentChar() const;
    const QList<QPolygonF> &centreLines() const { return m_lines; }
    int strokeCount() const { return int(m_lines.size()); }
    // 0-based stroke due next; strokeCount() once the character is done.
    int currentStroke() const { return m_stroke; }
    bool characterDone() const { return !m_lines.isEmpty() && m_stroke >= strokeCount(); }
    // Every character of the text has been written to its end.
    bool textDone() const;
    int misses(int stroke) const { return m_misses.value(stroke); }
    // The stroke due now should be shown to the learner (after every third
    // miss on it) and has not been shown yet.
    bool hintDue() const { return m_hintDue; }
    // The page has started showing the hint.
    void hintShown() { m_hintDue = false; }

    struct Outcome
    {
        bool judged = false; // false: nothing was due (empty text, character done)
        int stroke = -1;     // the stroke the drawing was judged against
        StrokeVerdict verdict;
        bool hint = false;          // this miss calls for the hint
        bool characterDone = false; // this stroke finished the character
        // … and it was the text's last character, or the last one left
        // unfinished: time for the summary
        bool textDone = false;
    };
    // Judges a drawn stroke (points in the 1024-unit box, y down) against
    // the stroke due now and moves on when it matches.
    Outcome submit(const QPolygonF &drawn);

    // 重写: the current character from its first stroke, its result cleared.
    void restart();
    // Moves to the previous / next character and starts it afresh; false
    // (and nothing changes) at either end.
    bool previous();
    bool next();
    bool goTo(int index);

    // The current character's result (an empty one for an empty text).
    CharacterResult result() const;
    const QList<CharacterResult> &results() const { return m_results; }

private:
    void startCharacter();

    LineSource m_source;
    Judge m_judge;
    Strictness m_strictness = Strictness::Normal;
    QString m_chars;
    QList<CharacterResult> m_results;
    int m_index = 0;
    QList<QPolygonF> m_lines;
    int m_stroke = 0;
    QList<int> m_misses;
    bool m_hintDue = false;
};
