#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPolygonF>

// Every stroke's centre line (median) in the brush's direction, stroke k
// being stroke k of the whole-character font. Points are in the 1024-unit
// box of the stroke data with y downward.
class CenterLines
{
public:
    // Reads the embedded table; false (and empty) when it is malformed.
    bool load(const QByteArray &bytes);
    // The strokes of c in writing order; empty for a character not held.
    QList<QPolygonF> strokes(QChar c) const;
    int characterCount() const { return int(m_index.size()); }
    void clear();

private:
    QHash<QChar, QList<QPolygonF>> m_index;
};
