#include "CharacterFacts.h"

#include <QStringDecoder>

// Layout (UTF-8, LF): "KVCF 1"; the stroke names, space-separated; the
// structures, space-separated; then one line per character with five
// tab-separated fields: character, readings (space-separated), radical,
// structure index, one code letter per stroke (name k is NameCodes[k]).

namespace {

const QLatin1StringView Header("KVCF 1");
const QLatin1StringView NameCodes("abcdefghijklmnopqrstuvwxyzABCDEF");

} // namespace

bool CharacterFactsTable::load(const QByteArray &bytes)
{
    clear();
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError())
        return false;
    const QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    if (lines.size() < 3 || lines[0] != Header)
        return false;
    QStringList names;
    for (QStringView n : lines[1].split(QLatin1Char(' '), Qt::SkipEmptyParts))
        names.append(n.toString());
    QStringList structures;
    for (QStringView s : lines[2].split(QLatin1Char(' '), Qt::SkipEmptyParts))
        structures.append(s.toString());
    if (names.isEmpty() || names.size() > NameCodes.size() || structures.isEmpty() || structures.size() > 10)
        return false;

    QHash<QChar, CharacterFacts> facts;
    facts.reserve(lines.size());
    for (qsizetype i = 3; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QStringView> f = lines[i].split(QLatin1Char('\t'));
        if (f.size() != 5 || f[0].size() != 1 || f[2].isEmpty() || f[3].size() != 1 || f[4].isEmpty())
            return false;
        const QChar c = f[0].at(0);
        if (c.isNull() || c.isSurrogate() || c.isSpace() || facts.contains(c))
            return false;
        CharacterFacts cf;
        for (QStringView r : f[1].split(QLatin1Char(' '), Qt::SkipEmptyParts))
            cf.readings.append(r.toString());
        const int structure = f[3].at(0).digitValue();
        if (cf.readings.isEmpty() || structure < 0 || structure >= structures.size())
            return false;
        cf.radical = f[2].toString();
        cf.structure = structures.at(structure);
        cf.strokeNames.reserve(f[4].size());
        for (QChar code : f[4]) {
            const qsizetype k = NameCodes.indexOf(code);
            if (k < 0 || k >= names.size())
                return false;
            cf.strokeNames.append(names.at(k)); // shares the name's text
        }
        facts.insert(c, cf);
    }
    if (facts.isEmpty())
        return false;
    m_facts = std::move(facts);
    return true;
}

CharacterFacts CharacterFactsTable::facts(QChar c) const
{
    return m_facts.value(c);
}
