// Saving the stroke-order picture of the main window.
#include "DoDeze.h"

bool TForm1::SaveDoDeze(const QString &str, const QString &Fdir)
{
    Q_UNUSED(str);
    Q_UNUSED(Fdir);
    return false;
}

void TForm1::btn2Click()
{
}
