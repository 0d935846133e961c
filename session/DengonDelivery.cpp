#include "session/DengonDelivery.h"

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/DosAttributes.h"
#include "platform/FileTree.h"
#include "platform/FolderChooser.h"
#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/ParcelPost.h"
#include "store/StatusReport.h"
#include "store/StatusSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QScopedValueRollback>

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

} // namespace

DengonDelivery::DengonDelivery(DeliveryContext context) : m_context(std::move(context)) {}

QString DengonDelivery::ChooserHeading()
{
    return QStringLiteral("あなた宛の\"Vurna便\"が届いています。\n荷物をどこに置きますか？");
}

void DengonDelivery::ProcessSendList(const QList<QByteArray> lines, const QByteArray& shareDir)
{
    // Events run between the items; a second sending started from them would work on the same
    // parcels. The window refuses to open a second detail window meanwhile; this is the backstop.
    if (m_busy) {
        qCWarning(lcBoard) << "a sending is under way; the new one is refused";
        return;
    }
    const QScopedValueRollback busy(m_busy, true);
    // Each kind of failure once: a memo that failed after a parcel must not hide that the
    // parcel did not go either.
    QStringList errors;
    const auto fail = [&errors](const QString& error) {
        if (!errors.contains(error))
            errors.append(error);
    };
    Parcels parcels;
    const QString shareReal = realFolder(shareDir);
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArray& line = lines.at(i);
        switch (ParcelPost::KindOf(line)) {
        case ParcelPost::LineKind::Memo:
            m_context.status.ShowProgress(QStringLiteral("伝言を運んでいます。"), percent(i, n));
            if (!DeliverDengon(line, shareDir))
                fail(QStringLiteral("伝言の送信中にエラーが発生しました"));
            break;
        case ParcelPost::LineKind::File: {
            const std::optional<ParcelPost::FileLineParts> parts = ParcelPost::ParseFileLine(line);
            if (!parts) {
                m_context.boxes.show(QStringLiteral("送信リストの内部エラー"), Mb::Ok | Mb::IconStop);
                break;
            }
            const QString folder = ParcelFor(parcels, parts->destination, shareReal);
            const QString name = Cp932::toUnicode(SjisText::fileNamePart(withoutTrailingSeparator(parts->source)));
            m_context.status.ShowProgress(QStringLiteral("Vurna便を運んでいます。ﾌｧｲﾙ名: ") + name, percent(i, n));
            if (folder.isEmpty() || !CopyItem(parts->source, folder))
                fail(QStringLiteral("Vurna便ファイル(") + name + QStringLiteral(")の送信中にエラーが発生しました。"));
            const std::optional<ParcelPost::FileLineParts> next =
                i + 1 < n ? ParcelPost::ParseFileLine(lines.at(i + 1)) : std::nullopt;
            if (folder.isEmpty() || (next && next->destination == parts->destination))
                break;
            // The recipient may take the parcel once all of its items are in. One that received
            // nothing (the share is full) is no parcel: it goes, rather than arrive empty.
            if (holdsNothing(folder))
                FileTree::Remove(folder);
            else if (!DosAttributes::SetHidden(folder, false))
                qCWarning(lcBoard) << "parcel folder stays hidden" << folder;
            break;
        }
        case ParcelPost::LineKind::Other:
            break;
        }
    }
    m_context.status.ShowProgress(errors.join(QLatin1Char(' ')), -99);
}

QString DengonDelivery::ParcelFor(Parcels& parcels, const QByteArray& destination, const QString& shareReal)
{
    for (const auto& known : std::as_const(parcels)) {
        if (known.first == destination)
            return known.second;
    }
    parcels.append({destination, QString()});
    QString& created = parcels.last().second;

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

bool DengonDelivery::CopyItem(const QByteArray& source, const QString& parcel)
{
    // The dropped path as written; only a name whose CP932 form reads back as another character
    // (〜 typed on Linux) needs the share's look-up, which matches by CP932 form.
    QString sourceReal = withoutTrailingSlash(Cp932::toUnicode(source));
    if (!QFileInfo(sourceReal).exists() && !QFileInfo(sourceReal).isSymLink())
        sourceReal = withoutTrailingSlash(SharePath::resolve(source));
    const QFileInfo info(sourceReal);
    const QString target = parcel + QLatin1Char('/') + FileTree::FreeName(parcel, info.fileName(), info.isDir());
    const FileTree::Result result = FileTree::Copy(sourceReal, target);
    QCoreApplication::processEvents();
    if (!result.skippedLinks.isEmpty())
        qCWarning(lcBoard) << "links not sent:" << result.skippedLinks;
    if (!result.ok)
        qCWarning(lcBoard) << "parcel copy failed:" << result.error;
    return result.ok && result.skippedLinks.isEmpty();
}

bool DengonDelivery::DeliverDengon(const QByteArray& line, const QByteArray& shareDir)
{
    const std::optional<ParcelPost::MemoLineParts> parts = ParcelPost::ParseMemoLine(line);
    if (!parts || parts->recipient.isEmpty())
        return false;
    // A recipient is a member of the share: a plain name directly in it.
    const QByteArray name = SjisText::fileNamePart(parts->recipient);
    if (name.isEmpty() || name == "." || name == ".." ||
        realFolder(SjisText::directoryPart(parts->recipient)) != realFolder(shareDir)) {
        qCWarning(lcBoard) << "memo recipient outside the share refused" << parts->recipient;
        return false;
    }
    const bool stored = MemoFiles::AddMemo(parts->recipient, parts->memo, m_context.memoPolicy);
    QCoreApplication::processEvents();
    if (!stored) {
        qCWarning(lcBoard) << "memo not stored for" << parts->recipient;
        return false;
    }
    if (m_context.announceMemo)
        m_context.announceMemo(parts->recipient);
    return true;
}

void DengonDelivery::ReceiveParcels(const QByteArray& ownFileName, const QByteArray& shareDir)
{
    if (m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    // Whichever way this ends, the bar that the memo board's reading filled is emptied.
    const auto emptyBar = qScopeGuard([this] { m_context.status.setProgress(-1); });
    const QString shareReal = realFolder(shareDir);
    const QString inbox = realFolder(ParcelPost::InboxPath(ownFileName));
    const QFileInfo inboxInfo(inbox);
    if (!inboxInfo.exists() || inboxInfo.isSymLink() || !FileTree::IsInside(shareReal, inbox))
        return;
    QDir().rmdir(inbox); // succeeds only when nothing waits
    if (!QFileInfo::exists(inbox))
        return;

    struct Item
    {
        QString name;
        bool remove = false;
    };
    QList<Item> items;
    bool arrived = false;
    const QDateTime dayAgo = m_context.clock.now().addDays(-1);
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
                items.append({entry.fileName(), true});
            break;
        case DosAttributes::Hidden::No:
            // A finished parcel holds its items: an empty folder is one whose items all failed
            // (or one that is just being made), and goes the way of an abandoned delivery.
            if (entry.isDir() &&
                QDir(entry.filePath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
                if (old)
                    items.append({entry.fileName(), true});
                break;
            }
            items.append({entry.fileName(), false});
            arrived = true;
            break;
        case DosAttributes::Hidden::Unknown:
            // Where the state cannot be read, a parcel is taken rather than kept for ever;
            // it is never deleted on a guess.
            items.append({entry.fileName(), false});
            arrived = true;
            break;
        }
    }
    if (!arrived)
        return;

    const QString chosen = withoutTrailingSlash(m_context.folders.chooseFolder(ChooserHeading(), QDir::homePath()));
    if (chosen.isEmpty())
        return;
    QString error;
    if (chosen == inbox || FileTree::IsInside(inbox, chosen)) {
        ReportStatus(m_context.status, QStringLiteral("Vurna便は受信箱の中には置けません。"), Severity::Warning);
        return;
    }
    const qsizetype m = items.size();
    for (qsizetype k = 0; k < m; ++k) {
        const Item& item = items.at(k);
        const QString path = inbox + QLatin1Char('/') + item.name;
        m_context.status.ShowProgress(QStringLiteral("Vurna便が送られてきます。 ﾌｧｲﾙ名: ") + item.name, percent(k, m));
        bool ok = FileTree::IsInside(inbox, path);
        if (ok && item.remove) {
            ok = FileTree::Remove(path);
        } else if (ok) {
            const QFileInfo info(path);
            const QString target = chosen + QLatin1Char('/') + FileTree::FreeName(chosen, item.name, info.isDir());
            const FileTree::Result result = FileTree::Move(path, target);
            ok = result.ok;
        }
        if (!ok)
            error = QStringLiteral("Vurna便(") + item.name + QStringLiteral(")の受信中にエラーが発生しました。");
        QCoreApplication::processEvents();
    }
    QDir().rmdir(inbox);
    m_context.status.ShowProgress(error, -99);
}
