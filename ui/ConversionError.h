#pragma once

#include <QString>

// A settings box that cannot be converted abandons the handler that read
// it, with this message, as the toolkit's conversion error did.
struct ConversionError
{
    QString message;
};

// The integer in a box's text; throws ConversionError with
// "'<text>' is not a valid integer value" when there is none.
int strToInt(const QString &text);
