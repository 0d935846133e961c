#include "session/DengonDelivery.h"

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/DosAttributes.h"
#include "platform/FileTree.h"
#include "platform/FolderChooser.h"
#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"
#include "platform/SjisText.h"
#include "store/ParcelPost.h"
#include "store/StatusReport.h"
#include "store/StatusSink.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QString realFolder(const QByteArray& path)
{
    return withoutTrailingSlash(SharePath::resolve(path));
}

QByteArray withoutTrailingSeparator(QByteArray path)
{
    while (SharePath::endsWithSeparator(path))
        path.chop(1);
    return path;
}

// Whether a parcel folder received no item (the marker that may hide it aside).
bool holdsNothing(const QString& folder)
{
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    entries.removeAll(QLatin1String(DosAttributes::markerName));
    return entries.isEmpty();
}

int percent(qsizetype done, qsizetype all)
{
    return all > 0 ? int(done * 100 / all) : 0;
}

// The parcel folders of one sending, made on the queue as its file lines come.
struct Parcels
{
    QByteArray shareDir;
    std::optional<QString> shareReal;
    // Destinations and the parcel folders made for them (real paths; empty where none could be made).
    QList<QPair<QByteArray, QString>> made;
};

// The parcel folder for a destination of the send list, created hidden at its first file line.
QString parcelFor(Parcels& parcels, const QByteArray& destination)
{
    for (const auto& known : std::as_const(parcels.made)) {
        if (known.first == destination)
            return known.second;
    }
    parcels.made.append({destination, QString()});
    QString& created = parcels.made.last().second;
    if (!parcels.shareReal)
        parcels.shareReal = realFolder(parcels.shareDir);
    const QString& shareReal = *parcels.shareReal;

    const QByteArray folder = withoutTrailingSeparator(destination);
    const QByteArray label = SjisText::fileNamePart(folder);
    const QString inbox = realFolder(SjisText::directoryPart(folder));
    // The inbox is a folder of the share itself; a label is one folder name below it.
    if (label.isEmpty() || label == "." || label == ".." || !FileTree::IsInside(shareReal, inbox) ||
        QFileInfo(inbox).dir() != QDir(shareReal) || QFileInfo(inbox).isSymLink()) {
        qCWarning(lcBoard) << "parcel destination outside an inbox refused" << destination;
        return {};
    }
    // Two senders of one name in the same second would otherwise fill one folder.
    const QString made = FileTree::CreateUniqueFolder(inbox, Cp932::toUnicode(label));
    if (made.isEmpty()) {
        qCWarning(lcBoard) << "parcel folder not created in" << inbox;
        return {};
    }
    // A parcel that the recipient could see while it fills would be taken half-way.
    if (!DosAttributes::SetHidden(made, true)) {
        qCWarning(lcBoard) << "parcel folder could not be hidden; nothing sent into it" << made;
        FileTree::Remove(made);
        return {};
    }
    created = made;
    return created;
}

bool copyItem(const QByteArray& source, const QString& parcel)
{
    // The dropped path as written; only a name whose CP932 form reads back as another character
    // (〜 typed on Linux) needs the share's look-up, which matches by CP932 form.
    QString sourceReal = withoutTrailingSlash(Cp932::toUnicode(source));
    if (!QFileInfo(sourceReal).exists() && !QFileInfo(sourceReal).isSymLink())
        sourceReal = withoutTrailingSlash(SharePath::resolve(source));
    const QFileInfo info(sourceReal);
    const QString target = parcel + QLatin1Char('/') + FileTree::FreeName(parcel, info.fileName(), info.isDir());
    const FileTree::Result result = FileTree::Copy(sourceReal, target);
    if (!result.skippedLinks.isEmpty())
        qCWarning(lcBoard) << "links not sent:" << result.skippedLinks;
    if (!result.ok)
        qCWarning(lcBoard) << "parcel copy failed:" << result.error;
    return result.ok && result.skippedLinks.isEmpty();
}

// Copies one dropped item into its parcel; after the last item of a parcel the recipient may
// take it.
bool sendFile(Parcels& parcels, const ParcelPost::FileLineParts& parts, bool lastOfParcel)
{
    const QString folder = parcelFor(parcels, parts.destination);
    if (folder.isEmpty())
        return false;
    const bool copied = copyItem(parts.source, folder);
    if (!lastOfParcel)
        return copied;
    // One that received nothing (the share is full) is no parcel: it goes, rather than arrive
    // empty.
    if (holdsNothing(folder))
        FileTree::Remove(folder);
    else if (!DosAttributes::SetHidden(folder, false))
        qCWarning(lcBoard) << "parcel folder stays hidden" << folder;
    return copied;
}

// Puts the memo of a memo line on top of the recipient's unread memos; the recipient when it
// was stored.
std::optional<QByteArray> storeMemo(const QByteArray& line, const QByteArray& shareDir, const MemoFiles::Policy& policy)
{
    const std::optional<ParcelPost::MemoLineParts> parts = ParcelPost::ParseMemoLine(line);
    if (!parts || parts->recipient.isEmpty())
        return std::nullopt;
    // A recipient is a member of the share: a plain name directly in it.
    const QByteArray name = SjisText::fileNamePart(parts->recipient);
    if (name.isEmpty() || name == "." || name == ".." ||
        realFolder(SjisText::directoryPart(parts->recipient)) != realFolder(shareDir)) {
        qCWarning(lcBoard) << "memo recipient outside the share refused" << parts->recipient;
        return std::nullopt;
    }
    if (!MemoFiles::AddMemo(parts->recipient, parts->memo, policy)) {
        qCWarning(lcBoard) << "memo not stored for" << parts->recipient;
        return std::nullopt;
    }
    return parts->recipient;
}

} // namespace

struct DengonDelivery::Arrival
{
    QString name;
    bool remove = false; // a delivery abandoned long ago
};

struct DengonDelivery::Arrivals
{
    QString inbox;
    QList<Arrival> items;
    bool arrived = false; // something visible waits
};

DengonDelivery::DengonDelivery(DeliveryContext context, QObject* parent)
    : QObject(parent), m_context(std::move(context))
{
}

DengonDelivery::~DengonDelivery() = default;

QString DengonDelivery::ChooserHeading()
{
    return QStringLiteral("あなた宛の\"Vurna便\"が届いています。\n荷物をどこに置きますか？");
}

template <class Result> void DengonDelivery::Run(std::function<Result()> work, std::function<void(Result)> done)
{
    ShareQueue::Run<Result>(m_context.queue, {}, std::move(work), this, std::move(done));
}

void DengonDelivery::RunSteps(QList<Step> steps, std::function<void(const QStringList& errors)> finished)
{
    struct Progress
    {
        QList<Step> steps;
        QStringList errors;
        std::function<void(const QStringList&)> finished;
    };
    auto progress = std::make_shared<Progress>(Progress{std::move(steps), {}, std::move(finished)});
    if (progress->steps.isEmpty()) {
        progress->finished({});
        return;
    }
    const Step& first = progress->steps.first();
    m_context.status.ShowProgress(first.progress, first.percent);
    // All are posted at once: another sending asked for meanwhile comes after the whole of this one.
    for (qsizetype i = 0; i < progress->steps.size(); ++i) {
        Run<QString>(progress->steps.at(i).work, [this, progress, i](const QString& error) {
            const Step& step = progress->steps.at(i);
            if (!error.isEmpty() && !progress->errors.contains(error))
                progress->errors.append(error);
            else if (error.isEmpty() && step.succeeded)
                step.succeeded();
            if (i + 1 < progress->steps.size()) {
                const Step& next = progress->steps.at(i + 1);
                m_context.status.ShowProgress(next.progress, next.percent);
            } else {
                progress->finished(progress->errors);
            }
        });
    }
}

void DengonDelivery::ProcessSendList(const QList<QByteArray>& lines, const QByteArray& shareDir)
{
    auto parcels = std::make_shared<Parcels>();
    parcels->shareDir = shareDir;
    QList<Step> steps;
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArray& line = lines.at(i);
        switch (ParcelPost::KindOf(line)) {
        case ParcelPost::LineKind::Memo: {
            // Told once the memo is stored, never before.
            auto recipient = std::make_shared<QByteArray>();
            steps.append({.progress = QStringLiteral("伝言を運んでいます。"),
                          .percent = percent(i, n),
                          .work =
                              [line, shareDir, policy = m_context.memoPolicy, recipient] {
                                  const std::optional<QByteArray> stored = storeMemo(line, shareDir, policy);
                                  *recipient = stored.value_or(QByteArray());
                                  return stored ? QString() : QStringLiteral("伝言の送信中にエラーが発生しました");
                              },
                          .succeeded =
                              [this, recipient] {
                                  if (m_context.announceMemo)
                                      m_context.announceMemo(*recipient);
                              }});
            break;
        }
        case ParcelPost::LineKind::File: {
            const std::optional<ParcelPost::FileLineParts> parts = ParcelPost::ParseFileLine(line);
            if (!parts) {
                m_context.boxes.show(QStringLiteral("送信リストの内部エラー"), Mb::Ok | Mb::IconStop);
                break;
            }
            const std::optional<ParcelPost::FileLineParts> next =
                i + 1 < n ? ParcelPost::ParseFileLine(lines.at(i + 1)) : std::nullopt;
            const bool last = !next || next->destination != parts->destination;
            const QString name = Cp932::toUnicode(SjisText::fileNamePart(withoutTrailingSeparator(parts->source)));
            steps.append({.progress = QStringLiteral("Vurna便を運んでいます。ﾌｧｲﾙ名: ") + name,
                          .percent = percent(i, n),
                          .work =
                              [parcels, parts = *parts, last, name] {
                                  return sendFile(*parcels, parts, last)
                                             ? QString()
                                             : QStringLiteral("Vurna便ファイル(") + name +
                                                   QStringLiteral(")の送信中にエラーが発生しました。");
                              },
                          .succeeded = {}});
            break;
        }
        case ParcelPost::LineKind::Other:
            break;
        }
    }
    // Each kind of failure once: a memo that failed after a parcel must not hide that the
    // parcel did not go either.
    RunSteps(std::move(steps),
             [this](const QStringList& errors) { m_context.status.ShowProgress(errors.join(QLatin1Char(' ')), -99); });
}

bool DengonDelivery::DeliverDengon(const QByteArray& line, const QByteArray& shareDir)
{
    const std::optional<QByteArray> recipient = storeMemo(line, shareDir, m_context.memoPolicy);
    if (recipient && m_context.announceMemo)
        m_context.announceMemo(*recipient);
    return recipient.has_value();
}

void DengonDelivery::ReceiveParcels(const QByteArray& ownFileName, const QByteArray& shareDir)
{
    // A second look before the first has moved its parcels would ask for them twice.
    if (m_receiving)
        return;
    m_receiving = true;
    const QDateTime dayAgo = m_context.clock.now().addDays(-1);
    Run<Arrivals>(
        [ownFileName, shareDir, dayAgo] {
            Arrivals arrivals;
            const QString shareReal = realFolder(shareDir);
            const QString inbox = realFolder(ParcelPost::InboxPath(ownFileName));
            const QFileInfo inboxInfo(inbox);
            if (!inboxInfo.exists() || inboxInfo.isSymLink() || !FileTree::IsInside(shareReal, inbox))
                return arrivals;
            QDir().rmdir(inbox); // succeeds only when nothing waits
            if (!QFileInfo::exists(inbox))
                return arrivals;
            arrivals.inbox = inbox;
            const QFileInfoList entries = QDir(inbox).entryInfoList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
            for (const QFileInfo& entry : entries) {
                if (entry.isSymLink()) {
                    qCWarning(lcBoard) << "link in the inbox left alone" << entry.fileName();
                    continue;
                }
                const bool old = entry.lastModified() < dayAgo;
                switch (DosAttributes::IsHidden(entry.filePath())) {
                case DosAttributes::Hidden::Yes:
                    // A delivery in progress, or one abandoned by a copy that stopped half-way.
                    if (old)
                        arrivals.items.append({entry.fileName(), true});
                    break;
                case DosAttributes::Hidden::No:
                    // A finished parcel holds its items: an empty folder is one whose items all
                    // failed (or one that is just being made), and goes the way of an abandoned
                    // delivery.
                    if (entry.isDir() &&
                        QDir(entry.filePath())
                            .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
                        if (old)
                            arrivals.items.append({entry.fileName(), true});
                        break;
                    }
                    arrivals.items.append({entry.fileName(), false});
                    arrivals.arrived = true;
                    break;
                case DosAttributes::Hidden::Unknown:
                    // Where the state cannot be read, a parcel is taken rather than kept for
                    // ever; it is never deleted on a guess.
                    arrivals.items.append({entry.fileName(), false});
                    arrivals.arrived = true;
                    break;
                }
            }
            return arrivals;
        },
        [this](const Arrivals& arrivals) { ChooseFolderFor(arrivals); });
}

void DengonDelivery::ChooseFolderFor(const Arrivals& arrivals)
{
    if (!arrivals.arrived) {
        EndReception(std::nullopt);
        return;
    }
    const QString chosen = withoutTrailingSlash(m_context.folders.chooseFolder(ChooserHeading(), QDir::homePath()));
    if (chosen.isEmpty()) {
        EndReception(std::nullopt);
        return;
    }
    const QString inbox = arrivals.inbox;
    Run<bool>([inbox, chosen] { return chosen == inbox || FileTree::IsInside(inbox, chosen); },
              [this, inbox, items = arrivals.items, chosen](bool insideInbox) {
                  if (!insideInbox) {
                      MoveArrivals(inbox, items, chosen);
                      return;
                  }
                  EndReception(std::nullopt);
                  ReportStatus(m_context.status, QStringLiteral("Vurna便は受信箱の中には置けません。"),
                               Severity::Warning);
              });
}

void DengonDelivery::MoveArrivals(const QString& inbox, const QList<Arrival>& items, const QString& chosen)
{
    QList<Step> steps;
    const qsizetype m = items.size();
    for (qsizetype k = 0; k < m; ++k) {
        const Arrival& item = items.at(k);
        steps.append({.progress = QStringLiteral("Vurna便が送られてきます。 ﾌｧｲﾙ名: ") + item.name,
                      .percent = percent(k, m),
                      .work =
                          [inbox, chosen, item, last = k + 1 == m] {
                              const QString path = inbox + QLatin1Char('/') + item.name;
                              bool ok = FileTree::IsInside(inbox, path);
                              if (ok && item.remove) {
                                  ok = FileTree::Remove(path);
                              } else if (ok) {
                                  const QFileInfo info(path);
                                  const QString target =
                                      chosen + QLatin1Char('/') + FileTree::FreeName(chosen, item.name, info.isDir());
                                  ok = FileTree::Move(path, target).ok;
                              }
                              if (last)
                                  QDir().rmdir(inbox);
                              return ok ? QString()
                                        : QStringLiteral("Vurna便(") + item.name +
                                              QStringLiteral(")の受信中にエラーが発生しました。");
                          },
                      .succeeded = {}});
    }
    // Only the last error stays on show.
    RunSteps(std::move(steps),
             [this](const QStringList& errors) { EndReception(errors.isEmpty() ? QString() : errors.last()); });
}

void DengonDelivery::EndReception(const std::optional<QString>& error)
{
    m_receiving = false;
    // Whichever way this ends, the bar that the memo board's reading filled is emptied; the text
    // only after a move, which put its own texts up.
    if (error)
        m_context.status.ShowProgress(*error, -99);
    else
        m_context.status.setProgress(-1);
}
