#include "forms/InfoControls.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace InfoControls {

QLineEdit* readOnlyField(QWidget* parent, const char* name)
{
    auto* field = named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace InfoControls
