// The update check of the start-up: what the board window does with its outcome.

#include "app/MainLog.h"
#include "app/TfrmMain.h"
#include "app/UpdateCheck.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramVersion.h"

#include <QFileInfo>
#include <QTimer>

void TfrmMain::RunUpdateCheck()
{
    if (m_env.programFile.isEmpty())
        return;
    UpdateCheck::Context context;
    context.arguments = m_env.arguments;
    context.localVersion = ProgramVersion::Running();
    context.programFile = m_env.programFile;
    context.programFolder = QFileInfo(m_env.programFile).absolutePath();
    context.member = m_state.Own.Name;
    context.starter = m_env.starter;
    context.clock = &m_clock;
    context.wait = m_env.updateWait;
    switch (UpdateCheck::Run(m_state.OwnBoard(), context)) {
    case UpdateCheck::Outcome::UpdaterStarted:
        qCInfo(lcMain) << "handed over to the updater: ends";
        m_handingOver = true;
        m_quitRequested = true;
        break;
    case UpdateCheck::Outcome::JustUpdated: {
        if (!m_state.OwnBoard().SilentUpdate)
            m_boxes.show(QStringLiteral("Vurnaを最新版に更新しました。"), Mb::Ok | Mb::IconInformation);
        // The updater has started this program as its last act; by then it has ended.
        const QString copy = UpdateCheck::UpdaterCopyPath(context.programFolder);
        QTimer::singleShot(UpdateCheck::UpdaterDeleteDelayMs, this, [copy] { UpdateCheck::DeleteUpdaterCopy(copy); });
        break;
    }
    case UpdateCheck::Outcome::NothingToDo:
        break;
    }
}
