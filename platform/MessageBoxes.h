#pragma once

#include <QList>
#include <QString>

// Message boxes go through this seam so tests can answer them. Flags and results use the
// classic message-box values, which the program's texts and callers are written against.
namespace Mb {
constexpr int Ok = 0x00;
constexpr int OkCancel = 0x01;
constexpr int YesNoCancel = 0x03;
constexpr int YesNo = 0x04;
constexpr int IconStop = 0x10;
constexpr int IconQuestion = 0x20;
constexpr int IconWarning = 0x30;
constexpr int IconInformation = 0x40;
constexpr int SystemModal = 0x1000;

constexpr int IdOk = 1;
constexpr int IdCancel = 2;
constexpr int IdYes = 6;
constexpr int IdNo = 7;
} // namespace Mb

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button pressed (Mb::IdOk, ...).
    virtual int show(const QString& text, int flags, const QString& caption = QStringLiteral("Vurnaboard")) = 0;
};

// Answers boxes from a script, and remembers what was asked. With no scripted answer left it
// answers OK for OK-style boxes and Yes for questions.
class ScriptedMessageBoxes final : public MessageBoxes
{
public:
    struct Shown
    {
        QString text;
        int flags = 0;
        QString caption;
    };

    void setNextAnswer(int answer) { m_answers.append(answer); }
    const QList<Shown>& shown() const { return m_shown; }

    int show(const QString& text, int flags, const QString& caption) override
    {
        m_shown.append({text, flags, caption});
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        const int buttons = flags & 0x0F;
        return (buttons == Mb::YesNo || buttons == Mb::YesNoCancel) ? Mb::IdYes : Mb::IdOk;
    }

private:
    QList<int> m_answers;
    QList<Shown> m_shown;
};
