#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// What a character is: its readings, school radical, structure and the
// name of each of its strokes, in the order of the stroke font.
struct CharacterFacts
{
    QStringList readings;    // tone-marked pinyin, the common reading first ("cháng", "zhǎng")
    QString radical;         // the school radical ("亻")
    QString structure;       // "独体", "左右", "上下", "左中右", "上中下", "半包围", "全包围", "品字"
    QStringList strokeNames; // "撇", "竖", … one per stroke
    bool isValid() const { return !readings.isEmpty(); }
};

// The embedded table of facts for the 6763 characters.
class CharacterFactsTable
{
public:
    // Reads the embedded table; false (and empty) when it is malformed.
    bool load(const QByteArray &bytes);
    // The facts of c; not valid for a character the table does not hold.
    CharacterFacts facts(QChar c) const;
    int characterCount() const { return int(m_facts.size()); }
    void clear() { m_facts.clear(); }

private:
    QHash<QChar, CharacterFacts> m_facts;
};
