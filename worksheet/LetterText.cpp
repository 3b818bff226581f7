#include "LetterText.h"

QString defaultWorksheetText(WorksheetKind kind)
{
    switch (kind) {
    case WorksheetKind::Letters:
        return QStringLiteral("AaBbCcDdEeFfGgHhIiJjKkLlMmNnOoPpQqRrSsTtUuVvWwXxYyZz");
    case WorksheetKind::Digits:
        return QStringLiteral("0123456789");
    case WorksheetKind::Chinese:
        break;
    }
    return QString();
}

bool isWorksheetCharacter(WorksheetKind kind, QChar c)
{
    switch (kind) {
    case WorksheetKind::Letters:
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    case WorksheetKind::Digits:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    case WorksheetKind::Chinese:
        break;
    }
    return true;
}

QString foreignCharacters(WorksheetKind kind, const QString &text)
{
    QString out;
    for (QChar c : text)
        if (!isWorksheetCharacter(kind, c) && !out.contains(c))
            out += c;
    return out;
}
