#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPolygonF>

// Every stroke's centre line (median) in the brush's direction, stroke k
// being stroke k of the whole-character font. Points are in the 1024-unit
// box of the stroke data with y downward.
//
// The table is checked whole when loaded but a character's lines are only
// unpacked when asked for, so loading stays cheap; a loaded table is only
// read, and may be read from several threads at once.
class CenterLines
{
public:
    // Reads the embedded table; false (and empty) when it is malformed.
    bool load(const QByteArray &bytes);
    // The strokes of c in writing order; empty for a character not held.
    QList<QPolygonF> strokes(QChar c) const;
    // Number of strokes of c, 0 for a character not held.
    int strokeCount(QChar c) const;
    int characterCount() const { return int(m_index.size()); }
    void clear();

private:
    QByteArray m_bytes;
    // Where each character's record starts in m_bytes.
    QHash<QChar, qsizetype> m_index;
};
