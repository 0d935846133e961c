#include "platform/FileText.h"

#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QThread>

Q_LOGGING_CATEGORY(lcFiles, "vurna.files", QtWarningMsg)

namespace {

bool writeOnce(const QString& target, const QByteArray& text)
{
    // QSaveFile writes a temporary file in the target's directory and renames it over the
    // target on commit; its temporary name ends in neither of the extensions the board lists.
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

void waitBeforeRetry(const RetryPolicy& policy, int failedAttempt)
{
    if (policy.beforeRetry)
        policy.beforeRetry(failedAttempt);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (policy.delayMs > 0)
        QThread::msleep(static_cast<unsigned long>(policy.delayMs));
}

QByteArray ReadFileText(const QByteArray& path, const RetryPolicy& policy)
{
    return ReadNativeFileText(SharePath::resolve(path), policy);
}

QByteArray ReadNativeFileText(const QString& real, const RetryPolicy& policy)
{
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        QFile file(real);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
        if (!QFileInfo::exists(real))
            return {};
        qCDebug(lcFiles) << "read failed" << real << file.errorString() << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    return {};
}

bool WriteFileText(const QByteArray& path, const QByteArray& text, const RetryPolicy& policy)
{
    if (SjisText::baseName(path).isEmpty())
        return false;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        const QString real = SharePath::resolve(path);
        if (writeOnce(real, text))
            return true;
        qCDebug(lcFiles) << "write failed" << real << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    qCWarning(lcFiles) << "write given up" << SharePath::resolve(path);
    return false;
}
