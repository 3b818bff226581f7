#include "RadioGroup.h"

#include <QGridLayout>

RadioGroup::RadioGroup(const QString &name, const QString &title, const QStringList &items,
                       int columns, QWidget *parent)
    : QGroupBox(title, parent)
{
    setObjectName(name);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 4, 2);
    grid->setSpacing(2);
    const int cols = columns > 0 ? columns : 1;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], this);
        b->setObjectName(name + QStringLiteral("_%1").arg(i));
        m_group.addButton(b, i);
        grid->addWidget(b, i / cols, i % cols);
    }
    connect(&m_group, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
    connect(&m_group, &QButtonGroup::idToggled, this, &RadioGroup::checkedChanged);
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *b = m_group.button(index))
        b->setChecked(true);
}

QRadioButton *RadioGroup::item(int index) const
{
    return qobject_cast<QRadioButton *>(m_group.button(index));
}

void RadioGroup::checkedChanged(int id, bool checked)
{
    if (checked)
        emit itemIndexChanged(id);
}
