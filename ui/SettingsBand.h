#pragma once

#include <QScrollArea>

// Holds a tab's settings band at its design width: in a narrower window the
// band scrolls sideways instead of squeezing its controls over each other,
// and the space below goes to the picture.
class SettingsBand : public QScrollArea
{
    Q_OBJECT
public:
    SettingsBand(const QString &name, QWidget *band, int designWidth, QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_band;
    int m_designWidth;
};
