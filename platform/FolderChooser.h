#pragma once

#include <QList>
#include <QString>

// The system's folder chooser goes through this seam so tests can answer it.
class FolderChooser
{
public:
    virtual ~FolderChooser() = default;
    // Asks the user for a folder under a heading of one or more lines; an empty result means
    // the user cancelled.
    virtual QString chooseFolder(const QString& heading, const QString& startFolder) = 0;
};

// Answers from a script and remembers the headings it was asked with; with no answer left it
// cancels.
class ScriptedFolderChooser final : public FolderChooser
{
public:
    void setNextAnswer(const QString& folder) { m_answers.append(folder); }
    const QList<QString>& asked() const { return m_asked; }

    QString chooseFolder(const QString& heading, const QString&) override
    {
        m_asked.append(heading);
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    }

private:
    QList<QString> m_answers;
    QList<QString> m_asked;
};
