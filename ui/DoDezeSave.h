#pragma once

#include <QString>

// Why the latest TForm1::SaveDoDeze call wrote no file, when the caller has
// to tell the user: the platform's reason for a failed write, or that the
// picture would be too large. Empty after a written picture and after the
// cases SaveDoDeze reports itself (no stroke data).
QString lastSaveDoDezeError();
