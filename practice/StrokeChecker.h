#pragma once

#include <QList>
#include <QPolygonF>
#include <QString>

// How closely a drawn stroke must follow its centre line: 宽松 / 标准 / 严格.
enum class Strictness { Loose, Normal, Strict };

// Why a stroke was refused (None for a match).
enum class MissReason {
    None,
    Backwards,   // the right stroke, written from its end to its start
    WrongStroke, // looks like another stroke of the character
    TooShort,    // a dab, or only part of the stroke
    WrongPlace,  // the right shape in the wrong place
    WrongShape,  // in the right place, but not the stroke's shape
    Invalid,     // fewer than 2 usable points, NaN or huge coordinates
};

struct StrokeVerdict
{
    bool match = false;
    bool backwards = false;
    int looksLike = -1; // 0-based: the other stroke of the character it resembles, -1 none
    MissReason reason = MissReason::None;
    int expected = -1; // 0-based: the stroke that was due, named in the reason text
    // Words a parent understands: "方向反了", "这一笔不是第 3 笔", "写得太短",
    // "位置不对", …; empty for a match.
    QString reasonText() const;
};

// The figures a verdict is made of, for one drawn stroke against one centre
// line (units of the 1024 box unless said otherwise).
struct StrokeFigures
{
    bool valid = false;
    double meanDistance = 0;  // drawn points to the line and the line to the drawing, averaged
    double startDistance = 0; // first drawn point to the line's start
    double endDistance = 0;   // last drawn point to the line's end
    double direction = 0;     // cosine of the directions of travel, -1 … 1
    double shape = 0;         // Fréchet distance after removing position and size, in line sizes
    double lengthRatio = 0;   // drawn length over the line's length
    double lineLength = 0;    // the centre line's length
};

// One drawn stroke against the stroke expected next. Points are in the
// 1024-unit box of the stroke data with y downward (the source's (x, y) is
// (x, 900 - y) here); centre lines run in the brush's direction.
class StrokeChecker
{
public:
    // centreLines: every stroke of the character in writing order;
    // expected: 0-based index of the stroke due now.
    static StrokeVerdict check(const QList<QPolygonF> &centreLines, int expected, const QPolygonF &drawn,
                               Strictness strictness = Strictness::Normal);

    // The figures of drawn against the centre line of stroke `stroke`;
    // valid false on the same bad input check() calls Invalid.
    static StrokeFigures measure(const QList<QPolygonF> &centreLines, int stroke, const QPolygonF &drawn);
};
