#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "board/UserStatusWriter.h"
#include "platform/Cp932.h"
#include "platform/DosAttributes.h"
#include "platform/FileTree.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/MemoFiles.h"
#include "store/ParcelPost.h"
#include "support/BoardFixtures.h"
#include "support/SlowShareMount.h"
#include "support/TestShare.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

// Offices keep the board on Windows or Samba servers, which match every name without regard to
// letter case, while a Linux copy on a plain disk finds names itself. One board scenario runs on
// a share served by slowshare both ways; members, records and the files left behind must agree.
namespace {

// How the member files of one board happen to be spelled on disk.
struct Spelling
{
    const char* name;
    QString yamada;  // status file of 山田
    QString suzuki;  // status file of 鈴木
    QString stopped; // 鈴木's stop marker
    QString stamp;   // the change stamp
    QString unread;  // 鈴木's unread memos
    QString read;    // 鈴木's memo board
    QString inbox;   // 鈴木's parcel inbox
    QString board;   // the board's folder below the share's root ("" for the root)
};

void PrintTo(const Spelling& s, std::ostream* os)
{
    *os << s.name;
}

struct Outcome
{
    QList<QByteArray> loaded;      // the full load
    QList<QByteArray> afterWrites; // after the writes and the single-member reloads
    QList<QByteArray> otherCopy;   // another copy that picked up the last commit
    QByteArray memoBoard;          // what 鈴木 sees after taking memos in
    QStringList inbox;             // 鈴木's parcels as the receiving side finds them
    QStringList files;             // the backing folder afterwards: path, a tab and the content digest

    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os)
{
    const auto join = [](const QList<QByteArray>& lines) { return Cp932::toUnicode(lines.join(" / ")).toStdString(); };
    *os << "\n  loaded: " << join(o.loaded) << "\n  after writes: " << join(o.afterWrites)
        << "\n  other copy: " << join(o.otherCopy) << "\n  memo board: " << Cp932::toUnicode(o.memoBoard).toStdString()
        << "\n  inbox: " << o.inbox.join(QStringLiteral(", ")).toStdString()
        << "\n  files: " << o.files.join(QStringLiteral(", ")).toStdString();
}

QList<QByteArray> describe(const TVurnaDataArray& members, const QByteArray& dataSource)
{
    QList<QByteArray> out;
    for (int i = 1; i < members.size(); ++i) {
        const TVurnaDataRec& m = members.at(i);
        out.append(m.FileName.mid(dataSource.size()) + ' ' + m.Name + (m.Running ? " running " : " stopped ") +
                   m.Locate + ' ' + m.Date + ' ' + m.Time);
    }
    return out;
}

QStringList filesBelow(const QString& folder)
{
    const QString root = QDir::cleanPath(folder);
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QString line = path.mid(root.size() + 1);
        QFile file(path);
        if (it.fileInfo().isFile() && file.open(QIODevice::ReadOnly))
            line += QLatin1Char('\t') +
                    QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
        out.append(line);
    }
    out.sort();
    return out;
}

QString swappedCase(QString name)
{
    for (QChar& c : name)
        c = c.isUpper() ? c.toLower() : c.toUpper();
    return name;
}

void prepareBoard(const QString& backing, const Spelling& s)
{
    writeFile(backing + s.yamada, memberFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田")));
    writeFile(backing + s.suzuki, memberFile(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木")));
    writeFile(backing + QStringLiteral("Abe.Vrn"), memberFile(QStringLiteral("ｱﾍﾞ"), QStringLiteral("阿部")));
    writeFile(backing + s.stopped, "");
    writeFile(backing + s.stamp, "7\r\nABE\r\n");
    writeFile(backing + s.unread, cp932(QStringLiteral("○阿部より\r\n前の伝言")) + MemoFiles::entrySeparator);
    writeFile(backing + s.read, cp932(QStringLiteral("読んだ伝言\r\n")));
    QDir(backing).mkdir(s.inbox);
}

// What the board does on a working day, through the program's own readers and writers.
Outcome runBoard(const QString& sharePath, const QString& backing, const QString& parcelSource)
{
    Outcome o;
    const QByteArray share = SjisText::upperCase(SharePath::fromNative(sharePath + QLatin1Char('/')));
    BoardModel board;
    board.SetDataSource(share);
    board.Reload(AllMembers);
    o.loaded = describe(board.Members(), share);
    BoardModel other;
    other.SetDataSource(share);
    other.Reload(AllMembers);

    // 山田 goes to a meeting and later ends the program.
    TVurnaDataRec yamada;
    EXPECT_GE(board.FindMember(share + "YAMADA", yamada), 1);
    UserStatusWriter yamadaWriter(board, yamada);
    TVurnaDataRec away = yamada;
    away.Locate = cp932(QStringLiteral("会議"));
    away.Date = "2026/12/09";
    away.Time = "10:00";
    qsizetype failed = -1;
    yamadaWriter.WriteUserFile(away, [&](const TVurnaDataArray& left) { failed = left.size() - 1; });
    EXPECT_EQ(failed, 0);
    board.CommitTimeStamp(away.FileName);
    yamadaWriter.SetStopMarker(true);
    // 鈴木 starts the program: the stop marker goes, the change stamp names 鈴木.
    TVurnaDataRec suzuki;
    EXPECT_GE(board.FindMember(share + "SUZUKI", suzuki), 1);
    UserStatusWriter suzukiWriter(board, suzuki);
    suzukiWriter.SetStopMarker(false);
    board.Reload(share + "SUZUKI");
    board.Reload(share + "YAMADA");
    o.afterWrites = describe(board.Members(), share);
    EXPECT_TRUE(other.ReloadLastCommit());
    o.otherCopy = describe(other.Members(), share);
    o.otherCopy.append(QByteArray::number(other.TimeStamp()) + ' ' + SjisText::fileNamePart(other.LastCommitFile()));

    // 山田 leaves 鈴木 a memo and a parcel; 鈴木 takes the memos in.
    MemoFiles::Policy quick;
    quick.files.delayMs = 1;
    EXPECT_TRUE(MemoFiles::AddMemo(suzuki.FileName, cp932(QStringLiteral("○山田より\r\n資料を置きました")), quick));
    const QByteArray label = ParcelPost::BatchLabel(yamada.Name, QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7)));
    const QList<QByteArray> sendList =
        ParcelPost::BuildSendList(label, {suzuki.FileName}, {SharePath::fromNative(parcelSource)}, "");
    const std::optional<ParcelPost::FileLineParts> parcel = ParcelPost::ParseFileLine(sendList.value(0));
    EXPECT_TRUE(parcel.has_value());
    if (parcel) {
        const QByteArray destination = parcel->destination.chopped(1);
        const QString inbox = SharePath::resolve(SjisText::directoryPart(destination));
        const QString folder =
            FileTree::CreateUniqueFolder(inbox, Cp932::toUnicode(SjisText::fileNamePart(destination)));
        EXPECT_FALSE(folder.isEmpty()) << inbox.toStdString();
        // Hidden while it fills, as the sender keeps it.
        EXPECT_TRUE(DosAttributes::SetHidden(folder, true));
        EXPECT_TRUE(FileTree::Copy(parcelSource, folder + QStringLiteral("/report.txt")).ok);
        EXPECT_TRUE(DosAttributes::SetHidden(folder, false));
    }
    const QString inbox = SharePath::resolve(ParcelPost::InboxPath(suzuki.FileName));
    for (const QFileInfo& e : QDir(inbox).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const bool shown = DosAttributes::IsHidden(e.filePath()) == DosAttributes::Hidden::No;
        o.inbox.append(e.fileName() + (shown ? QStringLiteral(" shown") : QStringLiteral(" hidden")));
    }
    const MemoFiles::TakeIn takeIn = MemoFiles::TakeInOwnMemos(suzuki.FileName, quick);
    EXPECT_TRUE(takeIn.movedToRead);
    o.memoBoard = takeIn.board.unread + "|" + takeIn.board.read;
    o.files = filesBelow(backing);
    return o;
}

class CaseFoldingShare : public ::testing::TestWithParam<Spelling>
{
};

TEST_P(CaseFoldingShare, BoardAgreesWithAShareThatMatchesCase)
{
    const Spelling& s = GetParam();
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString parcelSource = work.filePath(QStringLiteral("report.txt"));
    writeFile(parcelSource, "quarterly figures\n");

    Outcome outcomes[2];
    for (const bool ignoreCase : {false, true}) {
        const QString backing = work.filePath(ignoreCase ? QStringLiteral("folding") : QStringLiteral("exact")) + '/';
        QDir().mkpath(backing + s.board);
        prepareBoard(backing + s.board + QLatin1Char('/'), s);
        SlowShareMount mount(backing, 0, ignoreCase);
        if (!mount.skipReason().isEmpty())
            GTEST_SKIP() << mount.skipReason().toStdString();
        // The share answers as configured: a name in the other letter case is found only when
        // case is ignored.
        const QString board = mount.mountPath() + QLatin1Char('/') + s.board;
        EXPECT_EQ(QFileInfo::exists(board + QLatin1Char('/') + swappedCase(s.yamada)), ignoreCase);
        SharePath::clearCache();
        outcomes[ignoreCase] = runBoard(board, backing, parcelSource);
        // The files were written through the share, not past it.
        EXPECT_GT(mount.operationCounts().value(QStringLiteral("rename")), 0u);
    }
    EXPECT_EQ(outcomes[true], outcomes[false]);

    // Every file keeps the spelling it had: nothing lost, no second file in another case. The
    // unread memos went to the board, the stop marker went, and 山田's new one is spelled as the
    // program spells it.
    QStringList names;
    for (const QString& line : outcomes[false].files)
        names.append(line.section(QLatin1Char('\t'), 0, 0));
    const QString parcel = s.inbox + QStringLiteral("/山田さんからのVurna便 12月8日 9時5分7秒");
    QStringList expected;
    QString folder;
    for (const QString& part : s.board.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        expected.append(folder += (folder.isEmpty() ? QString() : QStringLiteral("/")) + part);
    if (!folder.isEmpty())
        folder += QLatin1Char('/');
    for (const QString& name : {QStringLiteral("Abe.Vrn"), s.yamada, s.suzuki, s.stamp, s.read, s.inbox, parcel,
                                parcel + QStringLiteral("/report.txt"), QStringLiteral("YAMADA.off")})
        expected.append(folder + name);
    expected.sort();
    EXPECT_EQ(outcomes[false].inbox, QStringList{parcel.section(QLatin1Char('/'), 1) + QStringLiteral(" shown")});
    EXPECT_EQ(names.join(QStringLiteral(", ")).toStdString(), expected.join(QStringLiteral(", ")).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Board, CaseFoldingShare,
    ::testing::Values(
        Spelling{"MixedCase", QStringLiteral("Yamada.VRN"), QStringLiteral("suzuki.vrn"), QStringLiteral("SUZUKI.OFF"),
                 QStringLiteral("TimeStmp.Dat"), QStringLiteral("suzuki.MIL"), QStringLiteral("Suzuki.OLD"),
                 QStringLiteral("Suzuki"), QString()},
        Spelling{"WrittenByWindowsCopies", QStringLiteral("YAMADA.VRN"), QStringLiteral("SUZUKI.VRN"),
                 QStringLiteral("SUZUKI.OFF"), QStringLiteral("TIMESTMP.DAT"), QStringLiteral("SUZUKI.MIL"),
                 QStringLiteral("SUZUKI.OLD"), QStringLiteral("SUZUKI"), QString()},
        // The board in a folder of the share, \\server\share\Office\Board.
        Spelling{"InAMixedCaseFolder", QStringLiteral("Yamada.vrn"), QStringLiteral("Suzuki.Vrn"),
                 QStringLiteral("suzuki.Off"), QStringLiteral("timestmp.DAT"), QStringLiteral("Suzuki.mil"),
                 QStringLiteral("SUZUKI.old"), QStringLiteral("suzuki"), QStringLiteral("Office/Board")},
        Spelling{"LowerCase", QStringLiteral("yamada.vrn"), QStringLiteral("suzuki.vrn"), QStringLiteral("suzuki.off"),
                 QStringLiteral("timestmp.dat"), QStringLiteral("suzuki.mil"), QStringLiteral("suzuki.old"),
                 QStringLiteral("suzuki"), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
