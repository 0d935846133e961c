#pragma once

#include "store/ParmRec.h"
#include "store/ShareMoveTarget.h"
#include "store/WindowPlacement.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The settings that belong to one user on one PC: the own board's shared directory, the
// start-up options, the member's own identity and the main window's placement. They live in
// QSettings(NativeFormat, UserScope, "Quaxosoft", "Vurna"), value names at the top level
// (the registry key "\Software\Quaxosoft\Vurna\" on Windows, $XDG_CONFIG_HOME/Quaxosoft/
// Vurna.conf on Linux). Every access opens the store, does one read or write and closes it;
// failures are silent: a read that fails gives the default, a write that fails is skipped.
// Each value's name, type and default are declared once, beside the accessors' code, and
// read or written through the accessors below; nothing outside names a value by string.
//
// Strings are kept as Unicode in the store and as CP932 in the program.
class LocalSettings final : public ShareMoveTarget
{
public:
    // `ownAddress` gives the PC's address for the own record (empty while no datagram
    // listener is active).
    explicit LocalSettings(std::function<QByteArray()> ownAddress = {});

    // A profile kept in the ini file `profileFile` rather than in the user's own store, laid
    // out as the user's store is on Linux: for the demo board, which writes the profile its
    // users start with.
    static LocalSettings InProfileFile(const QString& profileFile);

    // The own board's shared directory as stored: letter case as written, the separator
    // possibly missing. ReadLocalSettings gives the form the program works with.
    QByteArray ShareDir() const;
    void SetShareDir(const QByteArray& directory);
    // Start in the notification area without showing the main window (default true).
    bool AutoSmall() const;
    void SetAutoSmall(bool on);
    // Open the memo view by itself when a new memo has arrived.
    bool AutoDengonOpen() const;
    void SetAutoDengonOpen(bool on);
    // The board grid uses the small font.
    bool SmallFont() const;
    void SetSmallFont(bool on);
    // Order the board by reading; when false the administrator's priority codes count.
    bool RegistSortPriority() const;
    void SetRegistSortPriority(bool on);
    // The local folder where share files that could not be written at the end wait for the
    // next start: beside the settings, on this PC.
    QString UnwrittenFolder() const;
    // The member's display name, for log entries written before the identity is loaded.
    // SaveOwnIdentity writes it.
    QByteArray Name() const;

    // Start-up: makes sure `boards` has the own board (element 0) and fills its shared
    // directory (upper-cased), start-up flags and name "自分が所属する掲示板".
    void ReadLocalSettings(ParmRecList& boards) const;
    // Stores the own board's directory as held and its flags, then upper-cases the held
    // directory.
    void WriteLocalSettings(ParmRec& ownBoard) override;

    // Fills the eight identity fields of `own` (FileName upper-cased), marks it running
    // and gives it the PC's address.
    void LoadOwnIdentity(TVurnaDataRec& own, const QByteArray& ownAddress) const;
    TVurnaDataRec LoadOwnIdentity() override;
    void SaveOwnIdentity(const TVurnaDataRec& own) override;

    // The main window's placement values (NormalRight is written, never read).
    StoredPlacement ReadStoredPlacement() const;
    void SaveWindowPlacement(const WindowPlacement& placement);

private:
    std::function<QByteArray()> m_ownAddress;
    QString m_profileFile; // empty: the user's own store
};
