#include "AllPicOut.h"
#include "CommandLine.h"
#include "DoDeze.h"
#include "QtTranslations.h"
#include "about.h"
#include "quanping.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    setProgramName("kelvora");
    if (const int status = answerWindowInfoOptions(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    QApplication::setDesktopFileName(QStringLiteral("kelvora"));
    installQtTranslations();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kelvora/icons/kelvora-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    // The windows are created in this order and live until the program ends.
    TForm1 form1;
    TForm2 form2(&form1);
    TForm5 form5(&form1, &form1);
    TForm6 form6(&form1);
    form1.setOtherWindows(&form2, &form5, &form6);
    form1.showMaximized();
    return app.exec();
}
