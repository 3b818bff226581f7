#pragma once

#include <QDialog>

class TForm1;

// The batch export dialog.
class TForm5 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm5(TForm1 *main, QWidget *parent = nullptr);

private:
    TForm1 *m_main;
};
