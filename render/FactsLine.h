#pragma once

#include "CharacterFacts.h"

#include <QChar>
#include <QString>

// The line shown beside a character: "你 nǐ · 亻 · 7 画 · 左右结构", every
// reading of a polyphone ("长 cháng / zhǎng"). Parts the facts lack are left
// out; a character without facts gives an empty line.
QString factsLine(QChar c, const CharacterFacts &facts);

// "第 3 笔：横折钩" for stroke 3 (counted from 1); "第 3 笔" when the facts
// have no name for it; empty for a stroke below 1 or past the last name.
QString strokeNameLine(int stroke, const CharacterFacts &facts);

// The structure as teachers say it: "左右" gives "左右结构", "独体" "独体字".
QString structureCaption(const QString &structure);
