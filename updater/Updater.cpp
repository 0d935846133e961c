#include "updater/Updater.h"

#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"

#include <QEventLoop>
#include <QFileInfo>

namespace {

// Hands the worker's boxes to the entry's thread, which owns the windows, and blocks the
// worker until the user has answered.
class EntryThreadBoxes final : public MessageBoxes
{
public:
    EntryThreadBoxes(MessageBoxes& target, QObject& entry) : m_target(target), m_entry(entry) {}

    int show(const QString& text, int flags, const QString& caption) override
    {
        if (QThread::currentThread() == m_entry.thread())
            return m_target.show(text, flags, caption);
        int answer = Mb::IdCancel;
        QMetaObject::invokeMethod(
            &m_entry, [&] { answer = m_target.show(text, flags, caption); }, Qt::BlockingQueuedConnection);
        return answer;
    }

private:
    MessageBoxes& m_target;
    QObject& m_entry;
};

} // namespace

std::optional<UpdateRequest> Updater::ParseArguments(const QStringList& arguments)
{
    if (arguments.size() < 3 || arguments.at(0).trimmed() != QLatin1String("-Update")) {
        qCInfo(lcUpdate) << "arguments refused:" << arguments;
        return std::nullopt;
    }
    UpdateRequest request{arguments.at(1).trimmed(), arguments.at(2).trimmed(), {}};
    // Our board program adds the digest of the build it logged; others give three arguments.
    if (arguments.size() > 3 && arguments.at(3).trimmed().startsWith(QLatin1String("-SHA256=")))
        request.sha256 = arguments.at(3).trimmed().mid(8).toLower().toLatin1();
    if (!QFileInfo(request.source).isFile() || !QFileInfo(request.destination).isFile()) {
        qCInfo(lcUpdate) << "refused, a file is missing:" << request.source << request.destination;
        return std::nullopt;
    }
    qCInfo(lcUpdate) << "update of" << request.destination << "from" << request.source;
    return request;
}

int Updater::Run(const QStringList& arguments, const UpdaterEnvironment& environment)
{
    const std::optional<UpdateRequest> request = ParseArguments(arguments);
    return request ? Run(*request, environment) : Refused;
}

int Updater::Run(const UpdateRequest& request, const UpdaterEnvironment& environment)
{
    QObject entry;
    EntryThreadBoxes boxes(*environment.boxes, entry);
    TUpdaterThread worker(request, environment, boxes);
    QEventLoop loop;
    // Set on this thread only, so a loop ended early by someone else's quit() is simply resumed.
    bool finished = false;
    QObject::connect(&worker, &QThread::finished, &entry, [&] {
        finished = true;
        loop.quit();
    });
    worker.start();
    while (!finished)
        loop.exec();
    worker.wait();

    switch (worker.outcome()) {
    case TUpdaterThread::Outcome::Updated:
        return Updated;
    case TUpdaterThread::Outcome::Cancelled:
        return Cancelled;
    case TUpdaterThread::Outcome::Failed:
        break;
    }
    environment.boxes->show(QString::fromUtf8(UpdaterTexts::FailurePrefix) + worker.reason(), Mb::Ok,
                            QString::fromUtf8(UpdaterTexts::Caption));
    return Failed;
}
