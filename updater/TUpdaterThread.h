#pragma once

#include "platform/SingleInstance.h"
#include "updater/ProgramReplace.h"

#include <QString>
#include <QThread>

#include <functional>

class MessageBoxes;
class ProcessStarter;

namespace UpdaterTexts {
inline constexpr char Caption[] = "Vurnup";
inline constexpr char BoardStillRunning[] =
    "このパソコンで実行されている「Vurnaboard」は，\r\n自動バージョンアップに問題があるバージョンです。\r\n\r\n申し訳"
    "ございませんが，画面右下に表示されている  "
    "\r\nVurnaのアイコン(又は赤い時計かも)を右ｸﾘｯｸし，\r\nVurnaを終了させてから，"
    "このダイアログの[OK]を\r\n押して下さい。[CANCEL]を選択すると処理を中断します。";
inline constexpr char FailurePrefix[] =
    "Vurnaのアップデート中にエラーが発生しました\r\nVurnaの管理者に連絡してください。\r\n理由: ";
inline constexpr char LockFailed[] = "ミューテックスの生成に失敗しました";
inline constexpr char ReplaceFailed[] = "ファイルの上書き、または上書き後の再起動に失敗しました";
} // namespace UpdaterTexts

// What the board program hands over: the new build and the program file it replaces (real paths).
struct UpdateRequest
{
    QString source;
    QString destination;
    // The SHA-256 (hex) the board program logged for the new build; empty when it gave none.
    QByteArray sha256;
};

struct UpdaterEnvironment
{
    // Boxes are shown on the thread that runs the entry, whichever thread asks for them.
    MessageBoxes* boxes = nullptr;
    ProcessStarter* starter = nullptr;
    // Waits up to the given time for the board program to let go of its single-instance lock,
    // which it holds for as long as it runs.
    std::function<SingleInstance::RunningCopy(int ms)> waitForBoardProgram = [](int ms) {
        return SingleInstance::WaitForRunningCopyToEnd(ms);
    };
    int lockWaitMs = 10000;
    // Gives the file system a moment before the new build is run.
    int startDelayMs = 2000;
    ByteCopy copy = CopyAllBytes;
};

// The work: waits for the board program to end, replaces its file with the new build and starts
// it again with "-Reboot". `boxes` must be safe to call from this thread.
class TUpdaterThread final : public QThread
{
public:
    enum class Outcome {
        Updated,
        Cancelled, // the user chose not to go on while the board program still ran
        Failed,
    };

    TUpdaterThread(UpdateRequest request, const UpdaterEnvironment& environment, MessageBoxes& boxes);
    ~TUpdaterThread() override;

    // Valid once the thread has finished.
    Outcome outcome() const { return m_outcome; }
    QString reason() const { return m_reason; }

protected:
    void run() override;

private:
    enum class BoardProgram { Gone, StillRunning, WaitCancelled, LockUnusable };
    BoardProgram WaitForBoardProgram();
    void Fail(const char* reason);

    const UpdateRequest m_request;
    const UpdaterEnvironment& m_environment;
    MessageBoxes& m_boxes;
    Outcome m_outcome = Outcome::Failed;
    QString m_reason;
};
