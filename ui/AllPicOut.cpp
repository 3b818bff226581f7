#include "AllPicOut.h"

TForm5::TForm5(TForm1 *main, QWidget *parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("批量导出汉字笔顺"));
}
