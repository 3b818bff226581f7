#include "ConversionError.h"

int strToInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw ConversionError{QStringLiteral("'%1' is not a valid integer value").arg(text)};
    return value;
}
