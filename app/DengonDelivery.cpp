#include "app/DengonDelivery.h"

#include "app/MainLog.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/DosAttributes.h"
#include "platform/FileTree.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/ParcelPost.h"
#include "store/StatusSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

void DengonDelivery::ProcessSendList(const QList<QByteArray>& lines, const QByteArray& shareDir)
{
    QString error;
    m_parcels.clear();
    const QString shareReal = realFolder(shareDir);
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArray& line = lines.at(i);
        switch (ParcelPost::KindOf(line)) {
        case ParcelPost::LineKind::Memo:
            m_context.status.ShowProgress(QStringLiteral("伝言を運んでいます。"), percent(i, n));
            if (!DeliverDengon(line))
                error = QStringLiteral("伝言の送信中にエラーが発生しました");
            break;
        case ParcelPost::LineKind::File: {
            const std::optional<ParcelPost::FileLineParts> parts = ParcelPost::ParseFileLine(line);
            if (!parts) {
                m_context.boxes.show(QStringLiteral("送信リストの内部エラー"), Mb::Ok | Mb::IconStop);
                break;
            }
            Parcel& parcel = ParcelFor(parts->destination, shareReal);
            const QString name = Cp932::toUnicode(SjisText::fileNamePart(withoutTrailingSeparator(parts->source)));
            m_context.status.ShowProgress(QStringLiteral("Vurna便を運んでいます。ﾌｧｲﾙ名: ") + name, percent(i, n));
            if (parcel.folder.isEmpty() || !CopyItem(parts->source, parcel))
                error = QStringLiteral("Vurna便ファイル(") + name + QStringLiteral(")の送信中にエラーが発生しました。");
            // The recipient may take the parcel once all of its items are in.
            const std::optional<ParcelPost::FileLineParts> next =
                i + 1 < n ? ParcelPost::ParseFileLine(lines.at(i + 1)) : std::nullopt;
            if (!parcel.folder.isEmpty() && !(next && next->destination == parts->destination) &&
                !DosAttributes::SetHidden(parcel.folder, false))
                qCWarning(lcMain) << "parcel folder stays hidden" << parcel.folder;
            break;
        }
        case ParcelPost::LineKind::Other:
            break;
        }
    }
    m_context.status.ShowProgress(error, -99);
}

DengonDelivery::Parcel& DengonDelivery::ParcelFor(const QByteArray& destination, const QString& shareReal)
{
    for (auto& known : m_parcels) {
        if (known.first == destination)
            return known.second;
    }
    m_parcels.append({destination, Parcel{}});
    Parcel& parcel = m_parcels.last().second;

    const QByteArray folder = withoutTrailingSeparator(destination);
    const QByteArray label = SjisText::fileNamePart(folder);
    const QString inbox = realFolder(SjisText::directoryPart(folder));
    // The inbox is a folder of the share itself; a label is one folder name below it.
    if (label.isEmpty() || label == "." || label == ".." || !FileTree::IsInside(shareReal, inbox) ||
        QFileInfo(inbox).dir() != QDir(shareReal) || QFileInfo(inbox).isSymLink()) {
        qCWarning(lcMain) << "parcel destination outside an inbox refused" << destination;
        return parcel;
    }
    // Two senders of one name in the same second would otherwise fill one folder.
    parcel.folder = FileTree::CreateUniqueFolder(inbox, Cp932::toUnicode(label));
    if (parcel.folder.isEmpty()) {
        qCWarning(lcMain) << "parcel folder not created in" << inbox;
        return parcel;
    }
    if (!DosAttributes::SetHidden(parcel.folder, true))
        qCWarning(lcMain) << "parcel folder could not be hidden" << parcel.folder;
    return parcel;
}

bool DengonDelivery::CopyItem(const QByteArray& source, const Parcel& parcel)
{
    const QString sourceReal = withoutTrailingSlash(SharePath::resolve(source));
    const QFileInfo info(sourceReal);
    const QString target =
        parcel.folder + QLatin1Char('/') + FileTree::FreeName(parcel.folder, info.fileName(), info.isDir());
    const FileTree::Result result = FileTree::Copy(sourceReal, target);
    QCoreApplication::processEvents();
    if (!result.skippedLinks.isEmpty())
        qCWarning(lcMain) << "links not sent:" << result.skippedLinks;
    if (!result.ok)
        qCWarning(lcMain) << "parcel copy failed:" << result.error;
    return result.ok && result.skippedLinks.isEmpty();
}

bool DengonDelivery::DeliverDengon(const QByteArray& line)
{
    const std::optional<ParcelPost::MemoLineParts> parts = ParcelPost::ParseMemoLine(line);
    if (!parts || parts->recipient.isEmpty())
        return false;
    const bool stored = MemoFiles::AddMemo(parts->recipient, parts->memo, m_context.memoPolicy);
    QCoreApplication::processEvents();
    if (!stored) {
        qCWarning(lcMain) << "memo not stored for" << parts->recipient;
        return false;
    }
    if (m_context.announceMemo)
        m_context.announceMemo(parts->recipient);
    return true;
}

void DengonDelivery::ReceiveParcels(const QByteArray& ownFileName, const QByteArray& shareDir)
{
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
            qCWarning(lcMain) << "link in the inbox left alone" << entry.fileName();
            continue;
        }
        switch (DosAttributes::IsHidden(entry.filePath())) {
        case DosAttributes::Hidden::Yes:
            // A delivery in progress, or one abandoned by a copy that stopped half-way.
            if (entry.lastModified() < dayAgo)
                items.append({entry.fileName(), true});
            break;
        case DosAttributes::Hidden::No:
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
        m_context.status.ShowProgress(QStringLiteral("【警告】Vurna便は受信箱の中には置けません。"), -99);
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
            if (ok && !DosAttributes::SetHidden(target, false))
                qCInfo(lcMain) << "received parcel keeps its attributes" << target;
        }
        if (!ok)
            error = QStringLiteral("Vurna便(") + item.name + QStringLiteral(")の受信中にエラーが発生しました。");
        QCoreApplication::processEvents();
    }
    QDir().rmdir(inbox);
    m_context.status.ShowProgress(error, -99);
}
