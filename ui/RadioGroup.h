#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>

// A titled group of radio items in one or more columns; the checked item's
// index is itemIndex(), -1 when none.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &name, const QString &title, const QStringList &items, int columns,
               QWidget *parent);

    int itemIndex() const { return m_group.checkedId(); }
    void setItemIndex(int index);
    QRadioButton *item(int index) const;
    int count() const { return int(m_group.buttons().size()); }

signals:
    // A user click on an item (not emitted by setItemIndex).
    void itemClicked(int index);
    // The checked item changed, by a click or by setItemIndex.
    void itemIndexChanged(int index);

private:
    void checkedChanged(int id, bool checked);

    QButtonGroup m_group;
};
