#include "CenterLines.h"

// Layout, little-endian: "KVCL", u16 version, u16 character count; then per
// character u16 code point, u8 stroke count, and per stroke u8 point count
// followed by that many i16 x, i16 y pairs.

namespace {

constexpr char Magic[4] = {'K', 'V', 'C', 'L'};
constexpr quint16 Version = 1;
constexpr qsizetype HeaderSize = 8;

quint16 u16At(const QByteArray &b, qsizetype at)
{
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

} // namespace

bool CenterLines::load(const QByteArray &bytes)
{
    clear();
    if (bytes.size() < HeaderSize || !bytes.startsWith(QByteArray::fromRawData(Magic, 4))
        || u16At(bytes, 4) != Version)
        return false;
    const int count = u16At(bytes, 6);
    QHash<QChar, qsizetype> index;
    index.reserve(count);
    qsizetype at = HeaderSize;
    const qsizetype end = bytes.size();
    for (int i = 0; i < count; ++i) {
        if (end - at < 3)
            return false;
        const QChar c(u16At(bytes, at));
        const int strokes = uchar(bytes[at + 2]);
        if (c.isNull() || c.isSurrogate() || strokes == 0 || index.contains(c))
            return false;
        index.insert(c, at);
        at += 3;
        for (int k = 0; k < strokes; ++k) {
            if (at >= end)
                return false;
            const int points = uchar(bytes[at]);
            if (points < 2 || end - at - 1 < qsizetype(points) * 4)
                return false;
            at += 1 + qsizetype(points) * 4;
        }
    }
    if (at != end)
        return false;
    m_bytes = bytes;
    m_index = std::move(index);
    return true;
}

int CenterLines::strokeCount(QChar c) const
{
    const auto it = m_index.constFind(c);
    return it == m_index.cend() ? 0 : uchar(m_bytes[*it + 2]);
}

QList<QPolygonF> CenterLines::strokes(QChar c) const
{
    QList<QPolygonF> out;
    const auto it = m_index.constFind(c);
    if (it == m_index.cend())
        return out;
    // load() has checked that every record lies whole inside the bytes.
    qsizetype at = *it;
    const int strokes = uchar(m_bytes[at + 2]);
    at += 3;
    out.reserve(strokes);
    for (int k = 0; k < strokes; ++k) {
        const int points = uchar(m_bytes[at++]);
        QPolygonF line;
        line.reserve(points);
        for (int p = 0; p < points; ++p, at += 4)
            line.append(QPointF(qint16(u16At(m_bytes, at)), qint16(u16At(m_bytes, at + 2))));
        out.append(line);
    }
    return out;
}

void CenterLines::clear()
{
    m_index.clear();
    m_bytes.clear();
}
