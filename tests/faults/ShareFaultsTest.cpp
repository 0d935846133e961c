#include "PrivateMounts.h"
#include "app/MainFixture.h"

#include "board/BoardModel.h"
#include "board/UserFile.h"
#include "store/MemoFiles.h"
#include "store/ParcelPost.h"

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QStorageInfo>
#include <QTabWidget>

namespace {

// The share's disk is full (or has room for the memo guard alone, so that the memo files
// themselves fail), or the share is mounted read-only: what the board writes there fails.
// Whatever the user does then, the files of the share stay as they were (no status file cut
// short, no memo dropped, no half parcel, no temporary file), nothing is announced to the other
// copies, the board stays and the status bar says what failed. Once the fault is gone, doing it
// again works.
enum class Fault { Full, AlmostFull, ReadOnly };
enum class Action { Start, SetAbsence, SendMemo, SendParcel, TakeInMemos };

struct Row
{
    const char* name;
    Fault fault;
    Action action;
    const char* told; // in the status bar while the fault lasts; empty: nothing asked
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}

const QString fillerName = QStringLiteral("filler.bin");

class ShareFault : public MainFixture, public ::testing::WithParamInterface<Row>
{
protected:
    void SetUp() override
    {
        if (!PrivateMountsRefusal().isEmpty())
            GTEST_SKIP() << "no mount namespace of our own: " << PrivateMountsRefusal().toStdString();
        if (GetParam().fault != Fault::ReadOnly)
            mountOrSkip(MountSmallDisk(folder(), "256k"));
        if (IsSkipped())
            return;
        address = "127.0.0.1";
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), address));
        addMember(QStringLiteral("suzuki"),
                  userFile(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), QStringLiteral("総務"), "127.0.0.9"));
        share.writeBytes(QStringLiteral("yamada.mil"),
                         cp932(QStringLiteral("○鈴木より\r\n至急お電話下さい")) + MemoFiles::entrySeparator);
        share.writeBytes(QStringLiteral("yamada.old"), cp932(QStringLiteral("○佐藤より\r\n資料は机の上です\r\n")));
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        QFile parcel(outside.filePath(QStringLiteral("parcel.txt")));
        ASSERT_TRUE(parcel.open(QIODevice::WriteOnly));
        parcel.write(parcelBytes);
    }

    void TearDown() override
    {
        window.reset();
        while (!mounts.isEmpty())
            EXPECT_EQ(Unmount(mounts.takeLast()).toStdString(), "");
    }

    QString folder() const { return QDir::cleanPath(share.realPath()); }

    void mountOrSkip(const QString& refusal)
    {
        if (!refusal.isEmpty())
            GTEST_SKIP() << "the share cannot be mounted here: " << refusal.toStdString();
        mounts.append(folder());
    }

    void applyFault()
    {
        if (GetParam().fault == Fault::ReadOnly) {
            mountOrSkip(MountReadOnlyOverItself(folder()));
            return;
        }
        QFile filler(folder() + QLatin1Char('/') + fillerName);
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        if (GetParam().fault == Fault::AlmostFull) {
            ASSERT_TRUE(filler.resize(filler.size() - block.size()));
        }
        ASSERT_EQ(QStorageInfo(folder()).bytesAvailable(), GetParam().fault == Fault::AlmostFull ? block.size() : 0);
    }

    void liftFault()
    {
        if (GetParam().fault == Fault::ReadOnly) {
            ASSERT_EQ(Unmount(mounts.takeLast()).toStdString(), "");
            return;
        }
        ASSERT_TRUE(QFile::remove(folder() + QLatin1Char('/') + fillerName));
    }

    void act(Action what)
    {
        const QByteArray shareDir = state().ShownBoard().ShareDir;
        const QByteArray suzuki = share.dataSource() + "SUZUKI";
        const QByteArray label = ParcelPost::BatchLabel(cp932(QStringLiteral("山田")), clock.now());
        switch (what) {
        case Action::Start:
            break;
        case Action::SetAbsence:
            action(QStringLiteral("popTrayHuzaiLunch"))->trigger();
            break;
        case Action::SendMemo:
            session->Delivery().ProcessSendList(ParcelPost::BuildSendList(label, {suzuki}, {}, memo), shareDir);
            break;
        case Action::SendParcel:
            session->Delivery().ProcessSendList(
                ParcelPost::BuildSendList(label, {suzuki}, {cp932(outside.filePath(QStringLiteral("parcel.txt")))}, {}),
                shareDir);
            break;
        case Action::TakeInMemos:
            child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabKeiziban"));
            child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
            break;
        }
        settle();
    }

    // What the action leaves in the share when it works.
    void expectDone(Action action) const
    {
        const QMap<QString, QByteArray> files = tree();
        switch (action) {
        case Action::Start:
            EXPECT_EQ(state().Model.MemberHigh(), 2);
            break;
        case Action::SetAbsence: {
            TVurnaDataRec yamada;
            ParseUserFile(files.value(QStringLiteral("yamada.vrn")), yamada);
            EXPECT_FALSE(yamada.Locate.isEmpty());
            break;
        }
        case Action::SendMemo:
            EXPECT_TRUE(files.value(QStringLiteral("suzuki.mil")).startsWith(memo));
            break;
        case Action::SendParcel: {
            const QStringList parcels = files.keys(parcelBytes);
            ASSERT_EQ(parcels.size(), 1);
            EXPECT_TRUE(parcels.front().startsWith(QStringLiteral("suzuki/"))) << parcels.front().toStdString();
            break;
        }
        case Action::TakeInMemos:
            EXPECT_FALSE(files.contains(QStringLiteral("yamada.mil")));
            EXPECT_TRUE(files.value(QStringLiteral("yamada.old")).startsWith(cp932(QStringLiteral("○鈴木より"))));
            break;
        }
    }

    // Every file and folder of the share by its path below it (lower case, as the board's
    // names compare), files with their bytes. An empty folder directly in the share is an inbox
    // with nothing waiting, which the board makes and removes as it goes.
    QMap<QString, QByteArray> tree() const
    {
        QMap<QString, QByteArray> entries;
        const QDir root(folder());
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QDirIterator it(folder(), all, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = root.relativeFilePath(path);
            if (relative == fillerName)
                continue;
            if (!it.fileInfo().isDir()) {
                QFile file(path);
                EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
                entries.insert(relative.toLower(), file.readAll());
            } else if (relative.contains(QLatin1Char('/')) || !QDir(path).isEmpty(all)) {
                entries.insert(relative.toLower() + QLatin1Char('/'), {});
            }
        }
        return entries;
    }

    static std::string changes(const QMap<QString, QByteArray>& before, const QMap<QString, QByteArray>& after)
    {
        QStringList changed;
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (!after.contains(it.key()))
                changed << QStringLiteral("lost ") + it.key();
            else if (after.value(it.key()) != it.value())
                changed << QStringLiteral("changed ") + it.key();
        }
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()))
                changed << QStringLiteral("left ") + it.key();
        }
        return changed.join(QStringLiteral(", ")).toStdString();
    }

    QString status() const { return window->findChild<QLabel*>(QStringLiteral("stsMainText"))->text(); }

    QTemporaryDir outside;
    QStringList mounts;
    const QByteArray memo = cp932(QStringLiteral("会議は三時からです"));
    const QByteArray parcelBytes = QByteArray(64 * 1024, 'p');
};

TEST_P(ShareFault, NothingInTheShareChangesTheUserIsToldAndTheNextTryWorks)
{
    const Row& row = GetParam();
    if (row.action != Action::Start) {
        ASSERT_TRUE(start());
    }
    const QMap<QString, QByteArray> before = tree();
    const qsizetype announced = sent.size();

    applyFault();
    if (IsSkipped() || HasFatalFailure())
        return;
    if (row.action == Action::Start)
        start();
    else
        act(row.action);

    EXPECT_EQ(changes(before, tree()), "");
    if (row.action != Action::Start) { // a copy that starts says so, whatever its share
        EXPECT_EQ(sent.size(), announced) << "announced what was not stored";
    }
    EXPECT_EQ(state().Model.MemberHigh(), 2) << "the board is kept";
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.shown().front().text.toStdString();
    EXPECT_TRUE(status().contains(QString::fromUtf8(row.told))) << status().toStdString();

    liftFault();
    ASSERT_FALSE(HasFatalFailure());
    act(row.action);
    expectDone(row.action);
}

const Row rows[] = {
    {"FullStatus", Fault::Full, Action::SetAbsence, "山田 の行き先を保存できませんでした"},
    {"FullMemo", Fault::Full, Action::SendMemo, "伝言の送信中にエラーが発生しました"},
    {"FullParcel", Fault::Full, Action::SendParcel, "Vurna便ファイル(parcel.txt)の送信中にエラーが発生しました"},
    {"FullTakeIn", Fault::Full, Action::TakeInMemos, ""},
    {"AlmostFullMemo", Fault::AlmostFull, Action::SendMemo, "伝言の送信中にエラーが発生しました"},
    {"AlmostFullParcel", Fault::AlmostFull, Action::SendParcel,
     "Vurna便ファイル(parcel.txt)の送信中にエラーが発生しました"},
    {"AlmostFullTakeIn", Fault::AlmostFull, Action::TakeInMemos, ""},
    {"ReadOnlyStart", Fault::ReadOnly, Action::Start, "共有ディレクトリに書き込めません"},
    {"ReadOnlyStatus", Fault::ReadOnly, Action::SetAbsence, "山田 の行き先を保存できませんでした"},
    {"ReadOnlyMemo", Fault::ReadOnly, Action::SendMemo, "伝言の送信中にエラーが発生しました"},
    {"ReadOnlyParcel", Fault::ReadOnly, Action::SendParcel,
     "Vurna便ファイル(parcel.txt)の送信中にエラーが発生しました"},
    {"ReadOnlyTakeIn", Fault::ReadOnly, Action::TakeInMemos, ""},
};

INSTANTIATE_TEST_SUITE_P(Share, ShareFault, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

} // namespace
