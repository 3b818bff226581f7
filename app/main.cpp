#include "AllPicOut.h"
#include "DoDeze.h"
#include "about.h"
#include "quanping.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    // The windows are created in this order and live until the program ends.
    TForm1 form1;
    TForm2 form2(&form1);
    TForm5 form5(&form1, &form1);
    TForm6 form6(&form1);
    form1.setOtherWindows(&form2, &form5, &form6);
    form1.showMaximized();
    return app.exec();
}
