#include "DoDeze.h"

#include "Bhs.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

TForm1::TForm1(double dpi, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Kelvora v1.5"));
    FormCreate(dpi);
}

TForm1::~TForm1()
{
    FormClose();
}

void TForm1::FormCreate(double dpi)
{
    if (dpi <= 0) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    }
    loadStartupData(m_data, dpi);
}

void TForm1::FormClose()
{
    if (m_released)
        return;
    m_released = true;
    m_data.release();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

int TForm1::bhs(const QString &str, int fsize, int &zx, int &zy) const
{
    return ::bhs(m_data.PrivateFonts, m_data.CharFontFamily, str, fsize, zx, zy);
}
