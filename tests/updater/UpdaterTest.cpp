#include "updater/Updater.h"
#include "platform/MessageBoxes.h"
#include "platform/ProcessStarter.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Failure =
    QStringLiteral("Vurnaのアップデート中にエラーが発生しました\r\nVurnaの管理者に連絡してください。\r\n理由: ");
const QByteArray OldBuild = "old build: must survive any failure";

// Records the thread of each box: only the entry's thread may show windows.
struct ThreadRecordingBoxes final : MessageBoxes
{
    ScriptedMessageBoxes script;
    QList<QThread*> threads;
    int show(const QString& text, int flags, const QString& caption) override
    {
        threads << QThread::currentThread();
        return script.show(text, flags, caption);
    }
};

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

template <typename Case> class UpdaterRun : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        // Blanks, quote, ampersand and percent in the program's folder: the path must reach the
        // start whole, whatever a shell or cmd would make of it.
        for (const char* folder : {"share dir", "Program Files/Vurna '3' & 100%"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromUtf8(folder)));
        for (int i = 0; i < 200000; ++i) // several copy chunks
            newBuild.append(char(i * 7 % 251));
        write(source, newBuild);
        write(destination, OldBuild);
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        // Windows keeps no mode bits, only the read-only attribute, which stays clear here.
        oldMode = mode();
        environment.boxes = &boxes;
        environment.starter = &starter;
        environment.startDelayMs = 0;
        // The board program as the updater sees it, one answer per wait; the lock itself is the
        // single-instance tests' business.
        environment.waitForBoardProgram = [this](int ms) {
            waits << ms;
            return running.isEmpty() ? SingleInstance::RunningCopy::Gone : running.takeFirst();
        };
        digest = QString::fromLatin1(QCryptographicHash::hash(newBuild, QCryptographicHash::Sha256).toHex().toUpper());
    }
    // As the board program hands them over, padded: with the digest it logged for the new build.
    int run()
    {
        return Updater::Run({QStringLiteral(" -Update\t"), QLatin1Char(' ') + source, destination + QLatin1Char(' '),
                             QStringLiteral("-SHA256=") + digest},
                            environment);
    }
    QStringList programFolder() const
    {
        return QDir(QFileInfo(destination).path()).entryList(QDir::Files | QDir::Hidden);
    }
    int mode() const { return QFile::permissions(destination) & 0x7077; } // owner, group, other
    void expectOldProgramKept()
    {
        EXPECT_EQ(read(destination), OldBuild);
        EXPECT_EQ(mode(), oldMode);
        EXPECT_EQ(programFolder(), QStringList{QStringLiteral("Vurna3")}); // no partial copy left
        EXPECT_TRUE(starter.started().isEmpty());
    }
    void expectUpdated()
    {
        EXPECT_TRUE(read(destination) == newBuild);
        EXPECT_EQ(mode(), oldMode == 0x6044 ? 0x7055 : oldMode); // rwxr-xr-x: runnable wherever readable
        EXPECT_EQ(programFolder(), QStringList{QStringLiteral("Vurna3")});
        ASSERT_EQ(starter.started().size(), 1);
        EXPECT_EQ(starter.started()[0].program, destination);
        EXPECT_EQ(starter.started()[0].arguments, QStringList{QStringLiteral("-Reboot")});
        EXPECT_EQ(starter.started()[0].show, ProcessStarter::Show::Hidden);
    }

    QTemporaryDir root;
    QString source = root.filePath(QStringLiteral("share dir/Vurna3"));
    QString destination = root.filePath(QStringLiteral("Program Files/Vurna '3' & 100%/Vurna3"));
    QByteArray newBuild;
    QString digest;
    int oldMode = 0;
    ThreadRecordingBoxes boxes;
    ScriptedProcessStarter starter;
    UpdaterEnvironment environment;
    QList<SingleInstance::RunningCopy> running;
    QList<int> waits;
};

// "SRC", "DST", "DIR" and "NONE" stand for the new build, the program, its folder and a missing file.
class Refused : public UpdaterRun<QStringList>
{
};

TEST_P(Refused, EndsSilentlyChangingNothing)
{
    QStringList arguments = GetParam();
    arguments.replaceInStrings(QStringLiteral("SRC"), source).replaceInStrings(QStringLiteral("DST"), destination);
    arguments.replaceInStrings(QStringLiteral("NONE"), root.filePath(QStringLiteral("missing")));
    arguments.replaceInStrings(QStringLiteral("DIR"), QFileInfo(destination).path());
    EXPECT_EQ(Updater::Run(arguments, environment), Updater::Refused);
    EXPECT_TRUE(boxes.script.shown().isEmpty());
    expectOldProgramKept();
}

INSTANTIATE_TEST_SUITE_P(Updater, Refused,
                         ::testing::Values(QStringList{}, QStringList{"-Update", "SRC"},
                                           QStringList{" -update", "SRC", "DST"}, QStringList{"-Reboot", "SRC", "DST"},
                                           QStringList{"-Update", "NONE", "DST"}, QStringList{"-Update", "SRC", "NONE"},
                                           QStringList{"-Update", "SRC", "DIR"}));

enum class Fault {
    CopyFailsHalfWay,
    CopyStopsShort,
    CopyClaimsAllButWroteHalf,
    StartFails,
    LockUnusable,
    BuildIsNotTheOneLogged
};

class Failed : public UpdaterRun<Fault>
{
};

TEST_P(Failed, ShowsTheReasonAndKeepsTheOldProgramUnlessItWasReplaced)
{
    const Fault fault = GetParam();
    environment.copy = [fault](QIODevice& from, QIODevice& to) -> qint64 {
        const qint64 half = from.size() / 2;
        if (fault != Fault::CopyFailsHalfWay && fault != Fault::CopyStopsShort &&
            fault != Fault::CopyClaimsAllButWroteHalf)
            return CopyAllBytes(from, to);
        if (to.write(from.read(half)) != half || fault == Fault::CopyFailsHalfWay)
            return -1;
        return fault == Fault::CopyStopsShort ? half : from.size();
    };
    // Without a logged digest only the size of what was written tells a short copy.
    if (fault == Fault::CopyClaimsAllButWroteHalf)
        digest.clear();
    starter.result = fault != Fault::StartFails;
    if (fault == Fault::BuildIsNotTheOneLogged)
        digest = QString::fromLatin1(QCryptographicHash::hash("another build", QCryptographicHash::Sha256).toHex());
    if (fault == Fault::LockUnusable)
        running = {SingleInstance::RunningCopy::Unusable};

    EXPECT_EQ(run(), Updater::Failed);
    ASSERT_EQ(boxes.script.shown().size(), 1);
    EXPECT_EQ(boxes.script.shown()[0].text,
              Failure + (fault == Fault::LockUnusable
                             ? QStringLiteral("ミューテックスの生成に失敗しました")
                             : QStringLiteral("ファイルの上書き、または上書き後の再起動に失敗しました")));
    EXPECT_EQ(boxes.script.shown()[0].flags, Mb::Ok);
    EXPECT_EQ(boxes.script.shown()[0].caption, QStringLiteral("Vurnup"));
    if (fault == Fault::StartFails)
        expectUpdated();
    else
        expectOldProgramKept();
}

INSTANTIATE_TEST_SUITE_P(Updater, Failed,
                         ::testing::Values(Fault::CopyFailsHalfWay, Fault::CopyStopsShort,
                                           Fault::CopyClaimsAllButWroteHalf, Fault::StartFails, Fault::LockUnusable,
                                           Fault::BuildIsNotTheOneLogged));

enum class Holder { None, RunningUserCancels, RunningUserGoesOn, EndedBeforeOk };

class BoardProgramLock : public UpdaterRun<Holder>
{
};

TEST_P(BoardProgramLock, AsksTheUserOnlyWhileTheBoardProgramRuns)
{
    using enum SingleInstance::RunningCopy;
    const Holder holder = GetParam();
    const int waitMs = environment.lockWaitMs = 50;
    if (holder != Holder::None)
        running = {StillRunning, holder == Holder::EndedBeforeOk ? Gone : StillRunning};
    boxes.script.setNextAnswer(holder == Holder::RunningUserCancels ? Mb::IdCancel : Mb::IdOk);

    if (holder == Holder::RunningUserCancels) {
        EXPECT_EQ(run(), Updater::Cancelled);
        expectOldProgramKept();
    } else if (holder == Holder::RunningUserGoesOn) {
        // Still running after OK: its file is left alone and the failure is told.
        EXPECT_EQ(run(), Updater::Failed);
        expectOldProgramKept();
        ASSERT_EQ(boxes.script.shown().size(), 2);
        EXPECT_TRUE(boxes.script.shown()[1].text.endsWith(QStringLiteral("上書き後の再起動に失敗しました")));
    } else {
        EXPECT_EQ(run(), Updater::Updated);
        expectUpdated();
    }
    if (holder == Holder::None) {
        EXPECT_TRUE(boxes.script.shown().isEmpty());
        EXPECT_EQ(waits, QList<int>{waitMs});
        return;
    }
    // After the user's answer the program is looked at once more, without waiting again.
    EXPECT_EQ(waits, holder == Holder::RunningUserCancels ? QList<int>{waitMs} : (QList<int>{waitMs, 0}));
    ASSERT_GE(boxes.script.shown().size(), 1);
    EXPECT_EQ(boxes.script.shown()[0].flags, Mb::OkCancel | Mb::IconWarning);
    EXPECT_EQ(boxes.script.shown()[0].caption, QStringLiteral("Vurnup"));
    EXPECT_EQ(
        boxes.script.shown()[0].text,
        QStringLiteral("このパソコンで実行されている「Vurnaboard」は，\r\n自動バージョンアップに問題があるバージョン"
                       "です。\r\n\r\n申し訳ございませんが，画面右下に表示されている  \r\nVurnaのアイコン(又は"
                       "赤い時計かも)を右ｸﾘｯｸし，\r\nVurnaを終了させてから，このダイアログの[OK]を\r\n押して下さい。"
                       "[CANCEL]を選択すると処理を中断します。"));
    EXPECT_EQ(boxes.threads.front(), QCoreApplication::instance()->thread());
}

INSTANTIATE_TEST_SUITE_P(Updater, BoardProgramLock,
                         ::testing::Values(Holder::None, Holder::RunningUserCancels, Holder::RunningUserGoesOn,
                                           Holder::EndedBeforeOk));

} // namespace
