#include "about.h"

TForm6::TForm6(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("关于"));
}
