#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/time.h>
#include <sys/xattr.h>

namespace DeliveryDisk {

void MakeOld(const QString& path, int days)
{
    const qint64 when = QDateTime::currentSecsSinceEpoch() - qint64(days) * 86400;
    const timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(path).constData(), times), 0);
}

bool SpoilHiddenState(const QString& folder)
{
    return ::setxattr(QFile::encodeName(folder).constData(), "user.DOSATTRIB", "junk", 4, 0) == 0;
}

} // namespace DeliveryDisk
