#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Starting another program goes through this seam so tests can see what would have run. The
// arguments travel as a list: paths are never joined into one command line and split again.
class ProcessStarter
{
public:
    // How the started program's first window is asked to appear: a program restarted in the
    // background (the board program after an update) starts hidden; Windows passes this on as
    // the show state, elsewhere it is not used.
    enum class Show { Normal, Hidden };

    virtual ~ProcessStarter() = default;
    // Starts `program` on its own (it outlives this process); false when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments, Show show = Show::Normal) = 0;
};

// The real thing: a detached process.
class DetachedProcessStarter final : public ProcessStarter
{
public:
    bool start(const QString& program, const QStringList& arguments, Show show = Show::Normal) override;
};

// Remembers every start and answers with `result`.
class ScriptedProcessStarter final : public ProcessStarter
{
public:
    struct Started
    {
        QString program;
        QStringList arguments;
        Show show = Show::Normal;
    };

    bool result = true;
    const QList<Started>& started() const { return m_started; }

    bool start(const QString& program, const QStringList& arguments, Show show = Show::Normal) override
    {
        m_started.append({program, arguments, show});
        return result;
    }

private:
    QList<Started> m_started;
};
