#include "PrivateMounts.h"

#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

namespace {

QString g_refusal;

QString failure(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// A namespace can only be left while this process has a single thread: before QApplication.
QString leaveMachineMounts()
{
    if (::unshare(CLONE_NEWNS) != 0)
        return failure("unshare(CLONE_NEWNS)");
    // Without this the mounts below would propagate back to the machine's shared mounts.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return failure("making / private");
    return {};
}

} // namespace

QString PrivateMountsRefusal()
{
    return g_refusal;
}

QString MountSmallDisk(const QString& path, const char* size)
{
    const QByteArray options = QByteArray("size=") + size;
    if (::mount("vurnafaults", QFile::encodeName(path).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0)
        return failure("mount -t tmpfs");
    return {};
}

QString MountReadOnlyOverItself(const QString& path)
{
    const QByteArray real = QFile::encodeName(path);
    if (::mount(real.constData(), real.constData(), nullptr, MS_BIND, nullptr) != 0)
        return failure("mount --bind");
    if (::mount(nullptr, real.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        const QString reason = failure("mount -o remount,bind,ro");
        ::umount2(real.constData(), MNT_DETACH);
        return reason;
    }
    return {};
}

QString Unmount(const QString& path)
{
    if (::umount2(QFile::encodeName(path).constData(), MNT_DETACH) != 0)
        return failure("umount");
    return {};
}

int main(int argc, char** argv)
{
    g_refusal = leaveMachineMounts();
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
