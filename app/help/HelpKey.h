#pragma once

#include <QObject>

#include <functional>

// F1 anywhere in the program: installed on the application, it asks for the help topic of the
// control that has the keyboard (or the menu command under the highlight), of its nearest
// ancestor that has one, else of the active window, else the contents. It works inside modal
// dialogs too, which run their own event loops.
class HelpKey final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpKey)

public:
    explicit HelpKey(std::function<void(int context)> onHelp, QObject* parent = nullptr);

    // The topic F1 opens when `receiver` takes the key.
    static int ContextFor(const QObject* receiver);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(int context)> m_onHelp;
};
