#pragma once

#include "platform/MessageBoxes.h"

#include <QStringList>

#include <memory>

// Message boxes for a program that runs where nobody can press a button: end-to-end tests start
// the real programs with VURNA_MESSAGE_LOG naming a file, and every box is appended to it as one
// UTF-8 line "caption<TAB>flags<TAB>text" (line breaks in the text written as "\n"). Boxes are
// answered in turn from VURNA_MESSAGE_ANSWERS ("ok,cancel,yes,no"), then as ScriptedMessageBoxes
// answers them.
class RecordedMessageBoxes final : public MessageBoxes
{
public:
    RecordedMessageBoxes(QString logPath, const QStringList& answers);

    // Null unless VURNA_MESSAGE_LOG is set.
    static std::unique_ptr<RecordedMessageBoxes> FromEnvironment();

    int show(const QString& text, int flags, const QString& caption) override;

private:
    QString m_logPath;
    ScriptedMessageBoxes m_answers;
};
