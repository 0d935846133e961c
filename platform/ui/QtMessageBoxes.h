#pragma once

#include "platform/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

// Message boxes on screen: QMessageBox with the icon and buttons the flags ask for, modal
// over the main window (or the application).
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : m_owner(owner) {}
    void SetOwner(QWidget* owner) { m_owner = owner; }

    int show(const QString& text, int flags, const QString& caption) override;

private:
    QPointer<QWidget> m_owner;
};
