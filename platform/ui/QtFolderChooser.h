#pragma once

#include "platform/FolderChooser.h"

#include <QPointer>
#include <QWidget>

// The folder chooser on screen: the heading above a folder browser, modal over the main window.
class QtFolderChooser final : public FolderChooser
{
public:
    explicit QtFolderChooser(QWidget* owner = nullptr) : m_owner(owner) {}
    void SetOwner(QWidget* owner) { m_owner = owner; }

    QString chooseFolder(const QString& heading, const QString& startFolder) override;

private:
    QPointer<QWidget> m_owner;
};
