#include "platform/FileText.h"

#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

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

namespace {

QByteArray readChecked(const QString& real, const RetryPolicy& policy, bool* ok)
{
    *ok = true;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        QByteArray text;
        switch (ReadWholeFileOnce(real, policy, text, nullptr)) {
        case ReadAttempt::Read:
            return text;
        case ReadAttempt::Missing:
            return {};            // an empty file as far as every caller is concerned
        case ReadAttempt::Folder: // a folder where a file should be may be replaced by one
        case ReadAttempt::Failed:
            break;
        }
        qCDebug(lcFiles) << "read failed" << real << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    *ok = false;
    return {};
}

} // namespace

QByteArray ReadNativeFileText(const QString& real, const RetryPolicy& policy)
{
    bool ok = true;
    return readChecked(real, policy, &ok);
}

QByteArray ReadFileTextChecked(const QByteArray& path, const RetryPolicy& policy, bool* ok)
{
    return readChecked(SharePath::resolve(path), policy, ok);
}

bool ReadFileWithTime(const QString& realPath, const RetryPolicy& policy, QByteArray& text, QDateTime& lastWrite)
{
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        switch (ReadWholeFileOnce(realPath, policy, text, &lastWrite)) {
        case ReadAttempt::Read:
            return true;
        case ReadAttempt::Missing:
        case ReadAttempt::Folder:
            return false;
        case ReadAttempt::Failed:
            break;
        }
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    text.clear();
    lastWrite = QFileInfo(realPath).lastModified().toUTC();
    return true;
}

bool WriteFileText(const QByteArray& path, const QByteArray& text, const RetryPolicy& policy)
{
    if (SjisText::baseName(path).isEmpty())
        return false;
    for (int attempt = 1; attempt <= policy.attempts; ++attempt) {
        const QString real = SharePath::resolve(path);
        if (ReplaceWholeFileOnce(real, text))
            return true;
        qCDebug(lcFiles) << "write failed" << real << "attempt" << attempt;
        if (attempt < policy.attempts)
            waitBeforeRetry(policy, attempt);
    }
    qCWarning(lcFiles) << "write given up" << SharePath::resolve(path);
    return false;
}
