#include "WorksheetState.h"

qint64 CurrentPage = 1;
