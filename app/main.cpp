#include "DoDeze.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvora"));
    TForm1 form;
    form.showMaximized();
    return app.exec();
}
