#include "PrivateFontCollection.h"

#include <atomic>

std::mutex &PrivateFontCollection::fontSystemMutex()
{
    static std::mutex m;
    return m;
}

quint64 PrivateFontCollection::nextGeneration()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

bool PrivateFontCollection::addMemoryFont(const QByteArray &data)
{
    const std::lock_guard<std::mutex> lock(fontSystemMutex());
    QRawFont probe(data, 16, QFont::PreferNoHinting);
    if (!probe.isValid())
        return false;
    // QRawFont keeps its own (shared) copy of the data; the caller may free it.
    QRawFont font(data, probe.unitsPerEm(), QFont::PreferNoHinting);
    if (!font.isValid())
        return false;
    m_fonts.insert(font.familyName(), font);
    m_generation = nextGeneration();
    probe = QRawFont(); // released under the lock too
    return true;
}

QRawFont PrivateFontCollection::family(const QString &name) const
{
    return m_fonts.value(name);
}

void PrivateFontCollection::clear()
{
    if (m_fonts.isEmpty())
        return;
    const std::lock_guard<std::mutex> lock(fontSystemMutex());
    m_fonts.clear();
    m_generation = nextGeneration();
}
