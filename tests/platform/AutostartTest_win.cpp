#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

namespace {

struct Shortcut
{
    QString target;
    QString workingFolder;
};

// Reads a shortcut back the way the shell does when it starts it at log-on.
Shortcut readShortcut(const QString& path)
{
    Shortcut read;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(QDir::toNativeSeparators(path).toStdWString().c_str(), STGM_READ))) {
        // The item list, not the path kept for older systems in the code page of the PC (which
        // Wine also uses for GetPath): the shell starts what the item list names.
        PIDLIST_ABSOLUTE item = nullptr;
        if (SUCCEEDED(link->GetIDList(&item)) && SHGetPathFromIDListW(item, text))
            read.target = QString::fromWCharArray(text);
        CoTaskMemFree(item);
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
            read.workingFolder = QString::fromWCharArray(text);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(com))
        CoUninitialize();
    return read;
}

class StartupFolder : public ::testing::Test
{
protected:
    StartupFolder() : m_previous(qgetenv("VURNA_STARTUP_FOLDER"))
    {
        qputenv("VURNA_STARTUP_FOLDER", QDir::toNativeSeparators(root.filePath(QStringLiteral("Startup"))).toUtf8());
    }
    ~StartupFolder() override { qputenv("VURNA_STARTUP_FOLDER", m_previous); }

    QTemporaryDir root;

private:
    QByteArray m_previous;
};

class StartupShortcut : public StartupFolder, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(StartupShortcut, StartsTheProgramInItsFolderUntilRemoved)
{
    const QString program = root.filePath(QString::fromUtf8(GetParam()));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(program).path()));
    QFile(program).open(QIODevice::WriteOnly);
    const QString entry = root.filePath(QStringLiteral("Startup/Vurnaboard.lnk"));

    QString error;
    EXPECT_FALSE(Autostart::isPresent());
    for (int time = 0; time < 2; ++time) // the second replaces the first
        ASSERT_TRUE(Autostart::create(program, &error)) << error.toStdString();
    EXPECT_TRUE(Autostart::isPresent());
    const Shortcut shortcut = readShortcut(entry);
    EXPECT_EQ(shortcut.target.toStdString(), QDir::toNativeSeparators(program).toStdString());
    EXPECT_EQ(shortcut.workingFolder.toStdString(), QDir::toNativeSeparators(QFileInfo(program).path()).toStdString());

    // A program moved away leaves its shortcut there, to be replaced or removed.
    ASSERT_TRUE(QFile::remove(program));
    EXPECT_TRUE(Autostart::isPresent());
    ASSERT_TRUE(Autostart::remove(&error)) << error.toStdString();
    EXPECT_FALSE(Autostart::isPresent());
    EXPECT_TRUE(Autostart::remove(&error)); // nothing there is no failure
}

INSTANTIATE_TEST_SUITE_P(Autostart, StartupShortcut,
                         ::testing::Values("Vurna3.exe", "Program Files/掲示板 3/Vurna3.exe"));

TEST_F(StartupFolder, AFolderThatCannotBeMadeIsReported)
{
    QFile blocker(root.filePath(QStringLiteral("Startup")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    QString error;
    EXPECT_FALSE(Autostart::create(QStringLiteral("C:/Vurna/Vurna3.exe"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Autostart::isPresent());
}

} // namespace
