#pragma once

#include <QtGlobal>

// The page the worksheet previews draw, shared by both worksheet tabs; 1 at
// start. The page selectors set it and a new page count resets it.
extern qint64 CurrentPage;
