#include "FactsLine.h"

#include <QStringList>

QString structureCaption(const QString &structure)
{
    if (structure.isEmpty())
        return QString();
    if (structure == QStringLiteral("独体"))
        return QStringLiteral("独体字");
    return structure + QStringLiteral("结构");
}

QString factsLine(QChar c, const CharacterFacts &f)
{
    if (!f.isValid())
        return QString();
    QStringList parts;
    parts << QString(c) + QLatin1Char(' ') + f.readings.join(QStringLiteral(" / "));
    if (!f.radical.isEmpty())
        parts << f.radical;
    if (!f.strokeNames.isEmpty())
        parts << QStringLiteral("%1 画").arg(f.strokeNames.size());
    if (!f.structure.isEmpty())
        parts << structureCaption(f.structure);
    return parts.join(QStringLiteral(" · "));
}

QString strokeNameLine(int stroke, const CharacterFacts &f)
{
    if (stroke < 1 || (!f.strokeNames.isEmpty() && stroke > f.strokeNames.size()))
        return QString();
    const QString name = f.strokeNames.value(stroke - 1);
    if (name.isEmpty())
        return QStringLiteral("第 %1 笔").arg(stroke);
    return QStringLiteral("第 %1 笔：%2").arg(stroke).arg(name);
}
