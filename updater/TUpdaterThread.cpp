#include "updater/TUpdaterThread.h"

#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "platform/ProcessStarter.h"

#include <QFileInfo>

TUpdaterThread::TUpdaterThread(UpdateRequest request, const UpdaterEnvironment& environment, MessageBoxes& boxes)
    : m_request(std::move(request)), m_environment(environment), m_boxes(boxes)
{
}

TUpdaterThread::~TUpdaterThread()
{
    wait();
}

void TUpdaterThread::run()
{
    switch (WaitForBoardProgram()) {
    case BoardProgram::LockUnusable:
        return Fail(UpdaterTexts::LockFailed);
    case BoardProgram::WaitCancelled:
        m_outcome = Outcome::Cancelled;
        return;
    case BoardProgram::StillRunning:
        // Replacing the file under a running copy would succeed here, but the copy would go on
        // with the old build and the restarted one would only wake it: the update is not done.
        return Fail(UpdaterTexts::ReplaceFailed);
    case BoardProgram::Gone:
        break;
    }

    if (!ReplaceProgram(m_request.source, m_request.destination, m_environment.copy, m_request.sha256))
        return Fail(UpdaterTexts::ReplaceFailed);

    QThread::msleep(static_cast<unsigned long>(qMax(0, m_environment.startDelayMs)));
    // A bare file name would be looked up on PATH: the program replaced is the one to run.
    const QString program = QFileInfo(m_request.destination).absoluteFilePath();
    const QStringList arguments{QStringLiteral("-Reboot")};
    // The board program comes back the way it lives, in the tray: its window starts hidden.
    if (!m_environment.starter || !m_environment.starter->start(program, arguments, ProcessStarter::Show::Hidden)) {
        qCInfo(lcUpdate) << "new build not started:" << program;
        return Fail(UpdaterTexts::ReplaceFailed);
    }
    qCInfo(lcUpdate) << "started" << program << arguments;
    m_outcome = Outcome::Updated;
}

TUpdaterThread::BoardProgram TUpdaterThread::WaitForBoardProgram()
{
    // The lock is free once the board program has ended (or died); the wait gives it back at once
    // so that the restarted program can take it.
    using RunningCopy = SingleInstance::RunningCopy;
    switch (m_environment.waitForBoardProgram(m_environment.lockWaitMs)) {
    case RunningCopy::Gone:
        qCInfo(lcUpdate) << "board program has ended";
        return BoardProgram::Gone;
    case RunningCopy::Unusable:
        qCInfo(lcUpdate) << "single-instance lock not usable";
        return BoardProgram::LockUnusable;
    case RunningCopy::StillRunning:
        break;
    }
    qCInfo(lcUpdate) << "board program still running after" << m_environment.lockWaitMs << "ms";
    const int answer = m_boxes.show(QString::fromUtf8(UpdaterTexts::BoardStillRunning), Mb::OkCancel | Mb::IconWarning,
                                    QString::fromUtf8(UpdaterTexts::Caption));
    if (answer != Mb::IdOk) {
        qCInfo(lcUpdate) << "cancelled by the user";
        return BoardProgram::WaitCancelled;
    }
    // The user has been asked to end the board program first: OK means it should be gone now.
    if (m_environment.waitForBoardProgram(0) == RunningCopy::Gone) {
        qCInfo(lcUpdate) << "board program ended while the user was asked";
        return BoardProgram::Gone;
    }
    qCInfo(lcUpdate) << "board program still running: its file is not replaced";
    return BoardProgram::StillRunning;
}

void TUpdaterThread::Fail(const char* reason)
{
    m_outcome = Outcome::Failed;
    m_reason = QString::fromUtf8(reason);
}
