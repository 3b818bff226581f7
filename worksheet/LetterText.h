#pragma once

#include "Worksheet.h"

#include <QString>

// What a letter or digit copybook may hold.

// "AaBb…Zz" for letters, "0123456789" for digits, empty for Chinese.
QString defaultWorksheetText(WorksheetKind kind);

// Letters: A-Z and a-z; digits: 0-9; Chinese: any character.
bool isWorksheetCharacter(WorksheetKind kind, QChar c);

// The characters of text the kind cannot hold, each once, in text order;
// empty when all fit.
QString foreignCharacters(WorksheetKind kind, const QString &text);
