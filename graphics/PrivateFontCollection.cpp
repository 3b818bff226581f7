#include "PrivateFontCollection.h"

bool PrivateFontCollection::addMemoryFont(const QByteArray &data)
{
    QRawFont probe(data, 16, QFont::PreferNoHinting);
    if (!probe.isValid())
        return false;
    // QRawFont keeps its own (shared) copy of the data; the caller may free it.
    QRawFont font(data, probe.unitsPerEm(), QFont::PreferNoHinting);
    if (!font.isValid())
        return false;
    m_fonts.insert(font.familyName(), font);
    return true;
}

QRawFont PrivateFontCollection::family(const QString &name) const
{
    return m_fonts.value(name);
}
