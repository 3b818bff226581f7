#pragma once

#include "StartupData.h"

#include <QMainWindow>

// The main window. It owns the data loaded at start and offers bhs to the
// other windows.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // dpi <= 0 takes the logical resolution of the primary screen.
    explicit TForm1(double dpi = 0, QWidget *parent = nullptr);
    ~TForm1() override;

    int bhs(const QString &str, int fsize, int &zx, int &zy) const;
    const StartupData &data() const { return m_data; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(double dpi);
    void FormClose();

    StartupData m_data;
    bool m_released = false;
};
