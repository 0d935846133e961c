#include "updater/ProgramReplace.h"

#include "platform/LogCategories.h"
#include "updater/TUpdaterThread.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 ChunkSize = 64 * 1024;

// The old file's permissions, runnable wherever it is readable. The owner always keeps full
// rights: the next update has to replace this file again.
QFileDevice::Permissions RunnablePermissions(QFileDevice::Permissions old)
{
    // The "user" flags describe the running user's access, not the file's mode bits.
    QFileDevice::Permissions result = old & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    result |= QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (result & QFileDevice::ReadGroup)
        result |= QFileDevice::ExeGroup;
    if (result & QFileDevice::ReadOther)
        result |= QFileDevice::ExeOther;
    return result;
}

// Passes every byte written on to `target` and keeps their digest: what is checked is what was
// written, not a second read of a share someone may be writing to.
class DigestingWriter final : public QIODevice
{
public:
    explicit DigestingWriter(QIODevice& target) : m_target(target) { open(QIODevice::WriteOnly); }
    QByteArray digest() const { return m_hash.result().toHex(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 written = m_target.write(data, size);
        if (written > 0)
            m_hash.addData(QByteArrayView(data, written));
        return written;
    }

private:
    QIODevice& m_target;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

} // namespace

qint64 CopyAllBytes(QIODevice& from, QIODevice& to)
{
    qint64 copied = 0;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = from.read(chunk.data(), chunk.size());
        if (got < 0)
            return -1;
        if (got == 0)
            return copied;
        if (to.write(chunk.constData(), got) != got)
            return -1;
        copied += got;
    }
}

bool ReplaceProgram(const QString& source, const QString& destination, const ByteCopy& copy,
                    const QByteArray& expectedSha256)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        qCInfo(lcUpdate) << "new build not readable:" << source << from.errorString();
        return false;
    }
    // QSaveFile writes a temporary file in the destination's folder and renames it over the
    // destination on commit; without a commit it removes the temporary file.
    QSaveFile to(destination);
    if (!to.open(QIODevice::WriteOnly)) {
        qCInfo(lcUpdate) << "no room for the new build beside" << destination << to.errorString();
        return false;
    }
    // A build still being copied into the share by its administrator grows while we read it:
    // anything but exactly the size seen at the start is refused.
    const qint64 expected = from.size();
    DigestingWriter digesting(to);
    const qint64 copied = copy(from, digesting);
    qCInfo(lcUpdate) << "copied" << copied << "of" << expected << "bytes";
    if (copied != expected || to.size() != expected) {
        qCInfo(lcUpdate) << "copy incomplete:" << to.errorString();
        to.cancelWriting();
        return false;
    }
    if (!expectedSha256.isEmpty() && digesting.digest() != expectedSha256) {
        qCInfo(lcUpdate) << "the new build is not the one handed over: SHA-256" << digesting.digest() << "expected"
                         << expectedSha256;
        to.cancelWriting();
        return false;
    }
    if (!to.setPermissions(RunnablePermissions(QFileInfo(destination).permissions()))) {
        qCInfo(lcUpdate) << "permissions not set on the new build:" << to.errorString();
        to.cancelWriting();
        return false;
    }
    if (!to.commit()) {
        qCInfo(lcUpdate) << "new build not put in place:" << to.errorString();
        return false;
    }
    return true;
}
