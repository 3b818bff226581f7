#pragma once

#include <QByteArray>
#include <QHash>
#include <QRawFont>
#include <QString>

#include <mutex>

// The program's own fonts, added from memory and found by family name among
// them only: an unknown family never falls back to a system font.
//
// Loading a raw font enters Qt's font database and fontconfig, which must
// never run in two threads at once: every collection loads and releases its
// fonts under fontSystemMutex(), which other code that creates fonts off the
// GUI thread takes too. A collection's fonts may then be used by one thread
// at a time; each worker of a parallel export gets a collection of its own.
class PrivateFontCollection
{
public:
    PrivateFontCollection() = default;
    ~PrivateFontCollection() { clear(); }
    PrivateFontCollection(const PrivateFontCollection &) = delete;
    PrivateFontCollection &operator=(const PrivateFontCollection &) = delete;

    // Fonts are kept at one pixel per font unit, so a glyph's outline comes out
    // in font units and scales exactly to any em size.
    bool addMemoryFont(const QByteArray &data);

    // An invalid QRawFont when the family is not in the collection.
    QRawFont family(const QString &name) const;
    bool hasFamily(const QString &name) const { return m_fonts.contains(name); }
    QStringList families() const { return m_fonts.keys(); }
    void clear();
    // Changes whenever fonts are added or cleared, and no two collections
    // ever share one: what is worked out from the fonts may be kept under it.
    quint64 generation() const { return m_generation; }

    static std::mutex &fontSystemMutex();

private:
    static quint64 nextGeneration();

    QHash<QString, QRawFont> m_fonts;
    quint64 m_generation = nextGeneration();
};
