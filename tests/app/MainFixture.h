#pragma once

#include "app/TfrmMain.h"
#include "platform/Clock.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/ProcessStarter.h"
#include "session/BoardSession.h"
#include "support/TestShare.h"

#include <QAction>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// A shared directory with members, a private settings profile and a board window made on
// them with a fixed clock and scripted message boxes.
class MainFixture : public ::testing::Test
{
protected:
    MainFixture();
    ~MainFixture() override;

    // A user status file: the twelve values in CP932, CR LF between lines.
    static QByteArray userFile(const QString& furigana, const QString& name, const QString& group, const QByteArray& ip,
                               const QString& locate = {}, const QByteArray& date = {}, const QByteArray& time = {},
                               int defaultOnExit = 0);
    void addMember(const QString& base, const QByteArray& text) const { share.writeBytes(base + ".vrn", text); }

    // The user's settings: the own board is `share`; `fileBase` empty makes a guest.
    void writeSettings(const QString& fileBase, const QString& name, bool autoSmall = true) const;
    void setSetting(const QString& key, const QVariant& value) const;
    QVariant setting(const QString& key) const;
    // The settings as the program reads them: the profile's file, or the registry on Windows.
    static QSettings nativeSettings();

    // A part of the window by its object name (and type).
    template <class T> T& child(const char* name = nullptr) const
    {
        T* found = name ? window->findChild<T*>(QLatin1String(name)) : window->findChild<T*>();
        if (!found)
            throw std::runtime_error(std::string("no such part of the window: ") + (name ? name : "?"));
        return *found;
    }
    MainState& state() const { return session->State(); }

    // A command of the window's menus by its name.
    QAction* action(const QString& name) const { return window->findChild<QAction*>(name); }

    // Clicks the cell of the member named `name` on the board, with Ctrl to add to the selection.
    void pick(const QString& name, bool add = false) const;
    // Drops `files` from the shell on the member named `name`, with Ctrl to add to the selection.
    void dropOn(const QString& name, const QStringList& files, bool add = false) const;

    // Makes the window and runs the start-up; returns what FormCreate returned.
    bool start(bool trayAvailable = true);

    // Waits until the share's queue has done what was asked of it and its results are applied.
    void settle() const;
    // Every file in the share, names lower-cased, with its bytes (once the share's work is done).
    QMap<QString, QByteArray> shareSnapshot() const;
    // A file of the share whatever the letter case of its name on disk; empty when none.
    QByteArray readShareFile(const QString& name) const;
    bool shareHas(const QString& name) const;

    TestShare share;
    QTemporaryDir profile;
    FixedClock clock;
    ScriptedMessageBoxes boxes;
    ScriptedFolderChooser folders;
    // Answers instead of `boxes` when set.
    MessageBoxes* otherBoxes = nullptr;
    QByteArray address = "192.168.10.20";
    QByteArray programFolder = "/OPT/VURNA/";
    // The running program file and its arguments for the update check; empty: no check.
    QString programFile;
    QStringList arguments;
    ScriptedProcessStarter starter;
    // The listener binds here alone; datagrams the window sends are recorded, not sent,
    // unless `realDatagrams` (end-to-end tests with other copies).
    QByteArray bindAddress = "127.0.0.1";
    bool realDatagrams = false;
    struct SentDatagram
    {
        QByteArray datagram;
        QByteArray address;
        quint16 port = 0;
    };
    QList<SentDatagram> sent;
    std::unique_ptr<BoardSession> session;
    std::unique_ptr<TfrmMain> window;

private:
    QByteArray m_previousConfig;
};
