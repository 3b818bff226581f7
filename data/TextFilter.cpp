#include "TextFilter.h"

#include "StartupData.h"

QString FilteredText::note(int shown) const
{
    if (!anyLeft())
        return QString();
    QStringList parts;
    const int named = int(std::min<qsizetype>(left.size(), std::max(0, shown)));
    for (int i = 0; i < named; ++i)
        parts << left.at(i);
    QString out = QStringLiteral("已略去：") + parts.join(QLatin1Char(' '));
    if (left.size() > named)
        out += QStringLiteral(" 等 %1 个字符").arg(left.size());
    if (spaces > 0)
        out += (left.isEmpty() ? QString() : QStringLiteral(" 和 ")) + QStringLiteral("%1 个空格").arg(spaces);
    return out;
}

FilteredText filterText(const QString &text, const std::function<bool(QChar)> &keep)
{
    FilteredText out;
    out.kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        // A surrogate pair is one character, and never one a sheet draws.
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (!pair && !c.isSurrogate() && keep(c)) {
            out.kept += c;
            continue;
        }
        ++out.leftCount;
        if (c.isSpace()) {
            ++out.spaces;
            continue;
        }
        const QString whole = pair ? text.mid(i++, 2) : QString(c);
        if (!out.left.contains(whole))
            out.left << whole;
    }
    return out;
}

FilteredText drawableCharacters(const StartupData &data, const QString &text)
{
    return filterText(text, [&data](QChar c) { return data.isSupported(QString(c)); });
}
