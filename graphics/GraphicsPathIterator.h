#pragma once

#include <QPainterPath>

class GraphicsPath;

// Walks a path's subpaths in order: next() hands out a copy of the next
// contour, rewind() starts again at the first.
class GraphicsPathIterator
{
public:
    explicit GraphicsPathIterator(const GraphicsPath &path) : m_path(path) {}

    int subpathCount() const;
    // Copies the next subpath into out and reports whether it is closed;
    // returns false (out left empty) after the last one.
    bool nextSubpath(QPainterPath &out, bool *isClosed = nullptr);
    void rewind() { m_next = 0; }

private:
    const GraphicsPath &m_path;
    int m_next = 0;
};
