#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// What a share on a case-sensitive server does between two look-ups of the same names, and
// what each look-up must find afterwards: remembered folders and listings never hide a change.
struct Change
{
    const char* label;
    std::function<void(const QString& root)> change;
    const char* path; // as held in memory, below the share's parent
    const char* real; // expected, below the share's parent; empty: not found
};

class ResolveAfterAChange : public ::testing::TestWithParam<Change>
{
};

TEST_P(ResolveAfterAChange, FindsWhatIsThereNow)
{
    TestShare parent(QStringLiteral("Parent"));
    const QString root = parent.realPath();
    QDir().mkpath(root + QStringLiteral("Board"));
    parent.writeBytes(QStringLiteral("Board/Yamada.vrn"), "y");
    parent.writeBytes(QStringLiteral("Board/Suzuki.off"), "");
    const QByteArray held = parent.dataSource();
    // Everything looked up once, so the folder and its listing are remembered.
    for (const char* name : {"BOARD/YAMADA.vrn", "BOARD/SUZUKI.off", "BOARD/SATO.off", GetParam().path})
        SharePath::resolve(held + name);

    GetParam().change(root);
    bool found = false;
    const QString resolved = SharePath::resolve(held + GetParam().path, &found);
    const QString expected = QString::fromUtf8(GetParam().real);
    EXPECT_EQ(found, !expected.isEmpty());
    if (!expected.isEmpty()) {
        EXPECT_EQ(resolved, root + expected);
    }
}

void rename(const QString& root, const char* from, const char* to)
{
    ASSERT_TRUE(QDir(root).rename(QString::fromUtf8(from), QString::fromUtf8(to))) << from;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResolveAfterAChange,
    ::testing::Values(
        Change{"NothingChanged", [](const QString&) {}, "BOARD/YAMADA.vrn", "Board/Yamada.vrn"},
        Change{"AbsentStaysAbsent", [](const QString&) {}, "BOARD/SATO.off", ""},
        Change{"FileRespelled", [](const QString& r) { rename(r, "Board/Yamada.vrn", "Board/yamada.VRN"); },
               "BOARD/YAMADA.vrn", "Board/yamada.VRN"},
        Change{"MarkerRemoved", [](const QString& r) { QFile::remove(r + QStringLiteral("Board/Suzuki.off")); },
               "BOARD/SUZUKI.off", ""},
        Change{"MarkerCreatedInAnotherCase",
               [](const QString& r) { QFile(r + QStringLiteral("Board/sato.OFF")).open(QIODevice::WriteOnly); },
               "BOARD/SATO.off", "Board/sato.OFF"},
        Change{"FolderRespelled",
               [](const QString& r) { rename(r, "Board", "BOARD-old"), rename(r, "BOARD-old", "board"); },
               "BOARD/YAMADA.vrn", "board/Yamada.vrn"},
        Change{"FolderGone", [](const QString& r) { QDir(r + QStringLiteral("Board")).removeRecursively(); },
               "BOARD/YAMADA.vrn", ""}),
    [](const auto& info) { return std::string(info.param.label); });

// Root lists any folder; without these capabilities (which belong to this thread alone) a
// folder of mode 0311 refuses its listing, as an SMB host's level does.
struct WithoutListingAnyFolder
{
    WithoutListingAnyFolder()
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        syscall(SYS_capset, &header, reduced);
    }
    ~WithoutListingAnyFolder() { syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};

// The share "Host/Share" as the user typed it (or not at all), and a path held below it.
struct KnownShare
{
    const char* label;
    bool hostListable;
    const char* typed;
    const char* path;
    const char* real; // expected, below the share's parent
    bool found;
};

class ShareFolderSpelling : public ::testing::TestWithParam<KnownShare>
{
};

TEST_P(ShareFolderSpelling, TakesTheTypedSpellingWithoutListingAbove)
{
    const KnownShare& c = GetParam();
    TestShare parent(QStringLiteral("Parent"));
    const QString root = parent.realPath(), host = root + QStringLiteral("Host");
    writeFile(host + QStringLiteral("/Share/Yamada.vrn"), "y");
    const auto listable =
        qScopeGuard([&] { QFile::setPermissions(host, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    SharePath::clearCache();
    if (*c.typed)
        SharePath::rememberFolder(cp932(root + QString::fromUtf8(c.typed)));
    bool found = false;
    QString resolved;
    {
        const WithoutListingAnyFolder guard;
        if (!c.hostListable) {
            ASSERT_TRUE(QFile::setPermissions(host, QFile::WriteOwner | QFile::ExeOwner));
            ASSERT_TRUE(QDir(host).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty()) << "still listed";
        }
        resolved = SharePath::resolve(parent.dataSource() + c.path, &found);
    }
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(resolved, root + QString::fromUtf8(c.real));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShareFolderSpelling,
    ::testing::Values(
        KnownShare{"FileInIt", false, "Host/Share/", "HOST/SHARE/YAMADA.VRN", "Host/Share/Yamada.vrn", true},
        KnownShare{"TheShareItself", false, "Host/Share", "HOST/SHARE/", "Host/Share/", true},
        KnownShare{"NewFileInIt", false, "Host/Share", "HOST/SHARE/VURNA.LOG", "Host/Share/VURNA.LOG", false},
        KnownShare{"NothingTyped", false, "", "HOST/SHARE/YAMADA.VRN", "Host/SHARE/YAMADA.VRN", false},
        KnownShare{"TypedInAnotherCase", true, "host/SHARE", "HOST/SHARE/YAMADA.VRN", "Host/Share/Yamada.vrn", true}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
