#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QString>

// The program's own fonts, added from memory and found by family name among
// them only: an unknown family never falls back to a system font.
class PrivateFontCollection
{
public:
    // Fonts are kept at one pixel per font unit, so a glyph's outline comes out
    // in font units and scales exactly to any em size.
    bool addMemoryFont(const QByteArray &data);

    // An invalid QRawFont when the family is not in the collection.
    QRawFont family(const QString &name) const;
    bool hasFamily(const QString &name) const { return m_fonts.contains(name); }
    QStringList families() const { return m_fonts.keys(); }
    void clear() { m_fonts.clear(); }

private:
    QHash<QString, QRawFont> m_fonts;
};
