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
//
// Strings are kept as Unicode in the store and as CP932 in the program.
class TLocalSettings final : public ShareMoveTarget
{
public:
    // `ownAddress` gives the PC's address for the own record (empty while no datagram
    // listener is active).
    explicit TLocalSettings(std::function<QByteArray()> ownAddress = {});

    // The six access routines. A missing string reads as empty text; `defaultValue` is
    // what a store that cannot be read gives. Flags are integers 0 or 1, true when not 0.
    QByteArray ReadString(const QString& name, const QByteArray& defaultValue = {}) const;
    bool ReadBool(const QString& name, bool defaultValue) const;
    qint32 ReadInteger(const QString& name, qint32 defaultValue) const;
    void WriteString(const QString& name, const QByteArray& value);
    void WriteInteger(const QString& name, qint32 value);
    void WriteBool(const QString& name, bool value);

    // Start-up: makes sure `boards` has the own board (element 0) and fills its shared
    // directory (upper-cased), start-up flags and name "自分が所属する掲示板".
    void ReadLocalSettings(TParmArray& boards) const;
    // Stores the own board's directory as held and its flags, then upper-cases the held
    // directory.
    void WriteLocalSettings(ParmRec& ownBoard) override;

    // Fills the eight identity fields of `own` (FileName upper-cased), marks it running
    // and gives it the PC's address.
    void LoadOwnIdentity(TVurnaDataRec& own, const QByteArray& ownAddress) const;
    TVurnaDataRec LoadOwnIdentity() override;
    void SaveOwnIdentity(const TVurnaDataRec& own) override;

    // The main window's placement values (NormalRight is written, never read).
    TStoredPlacement ReadStoredPlacement() const;
    void SaveWindowPlacement(const TWindowPlacement& placement);

private:
    std::function<QByteArray()> m_ownAddress;
};
