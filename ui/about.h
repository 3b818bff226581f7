#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;

// The about dialog: what the program covers, for whom, and the donation picture.
class TForm6 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);

    void btn1Click();

    QLabel *lbl1 = nullptr, *lbl3 = nullptr, *img1 = nullptr;
    QPushButton *btn1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The picture at the screen's pixels, smoothly scaled: a HiDPI screen
    // would otherwise show it pixel-doubled.
    void showPicture();

    QImage m_picture;
};
