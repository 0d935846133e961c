#include "session/KeptWrites.h"

#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/LogCategories.h"
#include "platform/ShareQueue.h"
#include "platform/SjisText.h"
#include "store/MemoFiles.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <mutex>

namespace {

constexpr char KeptFile[] = "unwritten.dat";
// The layout of the kept file; a file of another layout is set aside, never misread.
constexpr quint32 KeptMagic = 0x56524b57; // "VRKW"
constexpr quint32 KeptVersion = 1;

QDataStream& operator<<(QDataStream& out, const KeptWrites::Write& write)
{
    return out << qint32(write.kind) << write.path << write.text << write.checkBase << write.basedOn;
}

QDataStream& operator>>(QDataStream& in, KeptWrites::Write& write)
{
    qint32 kind = 0;
    in >> kind >> write.path >> write.text >> write.checkBase >> write.basedOn;
    write.kind = kind == qint32(KeptWrites::Kind::MemoBoard)   ? KeptWrites::Kind::MemoBoard
                 : kind == qint32(KeptWrites::Kind::MemoErase) ? KeptWrites::Kind::MemoErase
                                                               : KeptWrites::Kind::File;
    return in;
}

} // namespace

// The writes not yet taken by the share, by key; shared with the jobs, which may outlive this
// object when the share hangs at the end.
struct KeptWrites::Journal
{
    std::mutex mutex;
    QHash<QByteArray, std::pair<quint64, Write>> open;
    quint64 sequence = 0;
};

KeptWrites::KeptWrites(ShareQueue& queue, QString folder)
    : m_queue(queue), m_folder(std::move(folder)), m_journal(std::make_shared<Journal>())
{
}

KeptWrites::~KeptWrites() = default;

void KeptWrites::Post(const QByteArray& key, const Write& write, bool checkFirst, QObject* receiver,
                      std::function<void(Outcome)> done)
{
    quint64 number = 0;
    Write made = write;
    {
        std::lock_guard lock(m_journal->mutex);
        number = ++m_journal->sequence;
        // The one it replaces never reached the share: the share still holds what that one
        // started from.
        const auto replaced = m_journal->open.constFind(key);
        if (replaced != m_journal->open.constEnd())
            made.basedOn = replaced->second.basedOn;
        m_journal->open.insert(key, {number, made});
    }
    auto work = [journal = m_journal, key, write = made, number, checkFirst] {
        const Outcome outcome = checkFirst && !StillValid(write) ? Outcome::Changed
                                : Perform(write, checkFirst)     ? Outcome::Written
                                                                 : Outcome::Refused;
        std::lock_guard lock(journal->mutex);
        // A refused write stays open, to be kept at the end; a newer one of the key decides.
        const auto entry = journal->open.constFind(key);
        if (outcome != Outcome::Refused && entry != journal->open.constEnd() && entry->first == number)
            journal->open.remove(key);
        // Older refused writes of the same file would only undo this one at the next start.
        if (outcome == Outcome::Written)
            journal->open.removeIf(
                [&](const auto& e) { return e.value().first < number && e.value().second.path == write.path; });
        return outcome;
    };
    m_queue.Post<Outcome>("kept " + key, work, receiver, std::move(done));
}

bool KeptWrites::Perform(const Write& write, bool kept)
{
    if (write.kind == Kind::MemoBoard)
        return MemoFiles::SaveOwnBoard(write.path, write.text);
    // Memos that came in since the user erased, while the share was away, were never shown:
    // an erase made at a later start leaves them unread.
    if (write.kind == Kind::MemoErase)
        return kept ? MemoFiles::SaveOwnBoard(write.path, {}) : MemoFiles::EraseOwnBoard(write.path);
    return WriteFileText(write.path, write.text);
}

bool KeptWrites::StillValid(const Write& write)
{
    if (!write.checkBase)
        return true;
    const QByteArray path = write.kind == Kind::File ? write.path : MemoFiles::readPath(write.path);
    // The text itself (nothing, for an erase): the write reached the server after all, just
    // before the program ended.
    const QByteArray now = ReadFileText(path);
    return now == write.basedOn || now == write.text;
}

bool KeptWrites::KeepUnwritten()
{
    QList<Write> left;
    {
        std::lock_guard lock(m_journal->mutex);
        // In the order they were asked for: an erase and the save typed after it must stay so.
        QList<std::pair<quint64, Write>> open = m_journal->open.values();
        std::sort(open.begin(), open.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& entry : std::as_const(open))
            left << entry.second;
    }
    const QString path = m_folder + QLatin1Char('/') + QLatin1String(KeptFile);
    // Kept writes of a run that never got to write them come first: they are older. Those this
    // run took are in the journal, where still unwritten.
    QList<Write> all = m_taken ? QList<Write>{} : ReadKeptFile();
    all << left;
    if (all.isEmpty()) {
        if (m_taken)
            QFile::remove(path);
        return true;
    }
    if (!QDir().mkpath(m_folder))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out << KeptMagic << KeptVersion << qint32(all.size());
    for (const Write& write : std::as_const(all))
        out << write;
    const bool kept = out.status() == QDataStream::Ok && file.commit();
    qCInfo(lcFiles) << "unwritten share files kept for the next start:" << left.size() << (kept ? "" : "(failed)");
    return kept;
}

QList<KeptWrites::Write> KeptWrites::TakeKept()
{
    m_taken = true;
    return ReadKeptFile();
}

void KeptWrites::ForgetTaken()
{
    QFile::remove(m_folder + QLatin1Char('/') + QLatin1String(KeptFile));
}

QList<KeptWrites::Write> KeptWrites::ReadKeptFile()
{
    const QString path = m_folder + QLatin1Char('/') + QLatin1String(KeptFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream in(&file);
    quint32 magic = 0;
    quint32 version = 0;
    qint32 count = 0;
    in >> magic >> version >> count;
    QList<Write> writes;
    for (qint32 i = 0; magic == KeptMagic && version == KeptVersion && i < count && in.status() == QDataStream::Ok;
         ++i) {
        Write write;
        in >> write;
        if (in.status() == QDataStream::Ok)
            writes << write;
    }
    file.close();
    if (magic != KeptMagic || version != KeptVersion || in.status() != QDataStream::Ok) {
        // Never dropped: a file this program cannot read stays beside, under another name.
        QFile::rename(path,
                      path + QStringLiteral(".unreadable-") + QString::number(QDateTime::currentMSecsSinceEpoch()));
        qCWarning(lcFiles) << "kept unwritten files unreadable; set aside";
    }
    // The file stays until this run has settled them (ForgetTaken) or keeps them again at its
    // end: a run that never gets there loses nothing.
    return writes;
}

QString KeptWrites::SetAside(const Write& write)
{
    QDir().mkpath(m_folder);
    QString name = Cp932::toUnicode(SjisText::fileNamePart(write.path));
    name.replace(QRegularExpression(QStringLiteral("[^\\w.-]")), QStringLiteral("_"));
    QString path = m_folder + QLatin1Char('/') + name + QStringLiteral(".unsaved.txt");
    for (int n = 2; QFile::exists(path); ++n)
        path = m_folder + QLatin1Char('/') + name + QStringLiteral(".unsaved-%1.txt").arg(n);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(write.text) != write.text.size())
        return {};
    return path;
}
