#include "GraphicsPathIterator.h"

#include "GraphicsPath.h"

int GraphicsPathIterator::subpathCount() const
{
    return m_path.subpathCount();
}

bool GraphicsPathIterator::nextSubpath(QPainterPath &out, bool *isClosed)
{
    if (m_next >= m_path.subpathCount()) {
        out = QPainterPath();
        if (isClosed)
            *isClosed = false;
        return false;
    }
    out = m_path.subpath(m_next++);
    if (isClosed) {
        const int n = out.elementCount();
        *isClosed = n > 1 && QPointF(out.elementAt(0)) == QPointF(out.elementAt(n - 1));
    }
    return true;
}
