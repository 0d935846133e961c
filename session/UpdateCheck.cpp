#include "session/UpdateCheck.h"

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/ProcessStarter.h"
#include "platform/SharePath.h"
#include "session/ShortcutProtection.h"
#include "store/ParmRec.h"
#include "store/VurnaLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr char LogKind[] = "Update";

QByteArray sjis(const QString& text)
{
    return Cp932::fromUnicodeLossy(text);
}

// The digest and size of a file; false when it cannot be read whole.
bool Fingerprint(const QString& path, QByteArray& sha256, qint64& size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return false;
    sha256 = hash.result().toHex();
    size = file.size();
    return true;
}

class Log
{
public:
    Log(const ParmRec& board, const UpdateCheck::Context& context) : m_board(board), m_context(context) {}

    void write(const QString& message) const
    {
        qCInfo(lcUpdate).noquote() << message;
        if (m_board.ShareDir.isEmpty())
            return;
        const QDateTime at = m_context.clock ? m_context.clock->now() : QDateTime::currentDateTime();
        VurnaLog::WriteLogEntry(SharePath::join(m_board.ShareDir, VurnaLog::FileName), m_context.member, sjis(message),
                                LogKind, at, m_context.logAppender);
    }

private:
    const ParmRec& m_board;
    const UpdateCheck::Context& m_context;
};

bool SameFolder(const UpdateCheck::Context& context, const ParmRec& board)
{
    // A mapped drive and the server's own name are two spellings of one folder: both are compared
    // in network form, upper-cased.
    const QString shareFolder = SharePath::resolve(board.ShareDir);
    const auto universal = [&context](const QString& path) {
        return context.universalForm ? context.universalForm(path) : path;
    };
    if (IsRunFromShare(SharePath::fromNative(universal(context.programFolder)),
                       SharePath::fromNative(universal(shareFolder))))
        return true;
    // Links and mounts can make two spellings name one folder.
    const QString program = QFileInfo(context.programFolder).canonicalFilePath();
    const QString share = QFileInfo(shareFolder).canonicalFilePath();
    return !program.isEmpty() && program == share;
}

} // namespace

bool UpdateCheck::IsNewer(const QByteArray& newest, const QByteArray& local)
{
    // QByteArray orders bytes as unsigned values, a prefix first: the ordinal order.
    return newest > local;
}

bool UpdateCheck::IsReboot(const QStringList& arguments)
{
    return arguments.size() == 1 && arguments.front().trimmed() == QLatin1String("-Reboot");
}

QString UpdateCheck::UpdaterCopyPath(const QString& programFolder)
{
    return QDir(programFolder).filePath(QLatin1String(UpdaterFileName));
}

UpdateCheck::Outcome UpdateCheck::Run(const ParmRec& ownBoard, const Context& context)
{
    if (IsReboot(context.arguments)) {
        qCInfo(lcUpdate) << "started after an update";
        return Outcome::JustUpdated;
    }
    const Log log(ownBoard, context);
    if (!context.localVersion || context.localVersion->isEmpty()) {
        // A program file without its version resource cannot tell whether a build is newer. Where
        // the site asks for updates, the administrator learns why this PC never takes one.
        const QString failure =
            QStringLiteral("%1 のバージョン情報の取得に失敗しました(自動更新しません)").arg(context.programFile);
        if (ownBoard.AutoUpdate)
            log.write(failure);
        else
            qCInfo(lcUpdate).noquote() << failure;
        return Outcome::NothingToDo;
    }
    const QByteArray& localVersion = *context.localVersion;
    if (!IsNewer(ownBoard.NewVersion, localVersion) || !ownBoard.AutoUpdate || ownBoard.ShareDir.isEmpty())
        return Outcome::NothingToDo;

    const QString updaterSource = SharePath::resolve(SharePath::join(ownBoard.ShareDir, UpdaterFileName));
    if (!QFileInfo(updaterSource).isFile()) {
        qCInfo(lcUpdate) << "no updater in the shared directory";
        return Outcome::NothingToDo;
    }
    const QString programName = QFileInfo(context.programFile).fileName();
    const QString buildSource =
        SharePath::resolve(SharePath::join(ownBoard.ShareDir, SharePath::fromNative(programName)));
    if (!QFileInfo(buildSource).isFile()) {
        qCInfo(lcUpdate) << "no build named" << programName << "in the shared directory";
        return Outcome::NothingToDo;
    }
    if (SameFolder(context, ownBoard)) {
        qCInfo(lcUpdate) << "running from the shared directory: never updated";
        return Outcome::NothingToDo;
    }

    // Installed for every user of the PC (a folder or program file not the user's own): only the
    // administrator replaces it. Checked before anything is read from the share.
    if (context.isUsersOwn && !context.isUsersOwn(context.programFile)) {
        log.write(QStringLiteral("%1 に書き込めないため自動更新しません(システム全体へのインストール)")
                      .arg(context.programFolder));
        return Outcome::NothingToDo;
    }
    QByteArray buildHash;
    qint64 buildSize = 0;
    if (!Fingerprint(buildSource, buildHash, buildSize)) {
        qCInfo(lcUpdate) << "the new build cannot be read" << buildSource;
        return Outcome::NothingToDo;
    }
    QByteArray ownHash;
    qint64 ownSize = 0;
    if (Fingerprint(context.programFile, ownHash, ownSize) && ownHash == buildHash && ownSize == buildSize) {
        // Installing it would change nothing, and the next start would find it "newer" again.
        log.write(QStringLiteral("%1 は実行中のプログラムと同じため更新しません(VERSION=%2, このプログラム %3)")
                      .arg(buildSource, QString::fromLatin1(ownBoard.NewVersion), QString::fromLatin1(localVersion)));
        return Outcome::NothingToDo;
    }
    const QString updaterCopy = UpdaterCopyPath(context.programFolder);
    QFile::remove(updaterCopy);
    if (!QFile::copy(updaterSource, updaterCopy)) {
        qCInfo(lcUpdate) << "the updater could not be copied to" << updaterCopy;
        return Outcome::NothingToDo;
    }
    QFile::setPermissions(updaterCopy, QFile::permissions(updaterCopy) | QFileDevice::ExeOwner |
                                           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray updaterHash;
    qint64 updaterSize = 0;
    if (!Fingerprint(updaterCopy, updaterHash, updaterSize)) {
        QFile::remove(updaterCopy);
        return Outcome::NothingToDo;
    }
    // Every copy runs what an administrator put in the share: the log tells which programs ran
    // where, and the updater installs the build only when it has the digest logged here.
    log.write(QStringLiteral("更新します: %1 (%2 バイト, SHA-256 %3) → %4, 更新プログラム %5 (%6 バイト, SHA-256 %7)")
                  .arg(buildSource)
                  .arg(buildSize)
                  .arg(QString::fromLatin1(buildHash), context.programFile, updaterSource)
                  .arg(updaterSize)
                  .arg(QString::fromLatin1(updaterHash)));
    if (context.wait)
        context.wait(UpdaterStartDelayMs);
    const QStringList arguments{QStringLiteral("-Update"), buildSource, context.programFile,
                                QStringLiteral("-SHA256=") + QString::fromLatin1(buildHash)};
    if (!context.starter || !context.starter->start(updaterCopy, arguments)) {
        log.write(QStringLiteral("%1 を起動できませんでした(更新しません)").arg(updaterCopy));
        QFile::remove(updaterCopy);
        return Outcome::NothingToDo;
    }
    qCInfo(lcUpdate) << "updater started:" << updaterCopy << arguments;
    return Outcome::UpdaterStarted;
}

void UpdateCheck::DeleteUpdaterCopy(const QString& path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        qCInfo(lcUpdate) << "the updater copy could not be deleted" << path;
}
