#pragma once

#include <QString>

#include <initializer_list>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls the detail window's parts are made of, each under the object name that tests
// and help topics know it by.
namespace InfoControls {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* readOnlyField(QWidget* parent, const char* name);

// A push button that Enter in a field never presses.
QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint);

// The buttons at the right end of a row.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);

} // namespace InfoControls
