#include "store/LocalSettings.h"

#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

namespace {

// The values the store keeps. Copies on other PCs, administrators' scripts and the
// end-to-end tests read the same names and types, so none of them may change.
struct TextValue // stored as Unicode, held as CP932; a missing text reads as empty
{
    const char* name;
};
struct FlagValue // stored as the integer 0 or 1, true when not 0
{
    const char* name;
    bool fallback;
};
struct IntegerValue
{
    const char* name;
    qint32 fallback;
};
// Its default depends on the window at the time, so the placement rules supply it.
struct PlacementValue
{
    const char* name;
};

namespace Stored {
constexpr TextValue ShareDir{"ShareDir"};
constexpr FlagValue AutoSmall{"AutoSmall", true};
constexpr FlagValue AutoDengonOpen{"AutoDengonOpen", false};
constexpr FlagValue SmallFont{"SmallFont", false};
constexpr FlagValue RegistSortPriority{"RegistSortPriority", false};

constexpr TextValue FileName{"FileName"};
constexpr TextValue Furigana{"Furigana"};
constexpr TextValue Name{"Name"};
constexpr TextValue Group{"Group"};
constexpr TextValue InnerLine{"InnerLine"};
constexpr TextValue WarningCall{"WarningCall"};
constexpr IntegerValue StatusIndex{"StatusIndex", 0};
constexpr TextValue SortPrefix{"SortPrefix"};

constexpr PlacementValue NormalLeft{"NormalLeft"};
constexpr PlacementValue NormalTop{"NormalTop"};
constexpr PlacementValue NormalRight{"NormalRight"}; // written for other programs, never read
constexpr PlacementValue NormalBottom{"NormalBottom"};
constexpr PlacementValue MaxLeft{"MaxLeft"};
constexpr PlacementValue MaxTop{"MaxTop"};
} // namespace Stored

void openStore(std::optional<QSettings>& store, const QString& profileFile)
{
    if (profileFile.isEmpty())
        store.emplace(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                      QStringLiteral("Vurna"));
    else
        store.emplace(profileFile, QSettings::IniFormat);
}

// The stored value, or nothing when it is missing or the store cannot be read.
std::optional<QVariant> readValue(const QString& profileFile, const QString& name, bool* storeOk = nullptr)
{
    std::optional<QSettings> store;
    openStore(store, profileFile);
    const bool ok = store->status() == QSettings::NoError;
    if (storeOk)
        *storeOk = ok;
    if (!ok || !store->contains(name))
        return std::nullopt;
    return store->value(name);
}

std::optional<qint32> readOptionalInteger(const QString& profileFile, const QString& name)
{
    const std::optional<QVariant> value = readValue(profileFile, name);
    if (!value)
        return std::nullopt;
    bool ok = false;
    const qint32 number = value->toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

QByteArray readText(const QString& profileFile, const QString& name, const QByteArray& defaultValue)
{
    bool storeOk = false;
    const std::optional<QVariant> value = readValue(profileFile, name, &storeOk);
    if (!storeOk)
        return defaultValue;
    if (!value)
        return {};
    return Cp932::fromUnicodeLossy(value->toString());
}

void writeValue(const QString& profileFile, const QString& name, const QVariant& value)
{
    std::optional<QSettings> store;
    openStore(store, profileFile);
    store->setValue(name, value);
    store->sync();
    if (store->status() != QSettings::NoError)
        qCDebug(lcConfig) << "local setting not written" << name << store->status();
}

QByteArray read(const QString& profileFile, TextValue value)
{
    return readText(profileFile, QLatin1String(value.name), {});
}

bool read(const QString& profileFile, FlagValue value)
{
    const std::optional<qint32> number = readOptionalInteger(profileFile, QLatin1String(value.name));
    return number ? *number != 0 : value.fallback;
}

qint32 read(const QString& profileFile, IntegerValue value)
{
    return readOptionalInteger(profileFile, QLatin1String(value.name)).value_or(value.fallback);
}

std::optional<qint32> read(const QString& profileFile, PlacementValue value)
{
    return readOptionalInteger(profileFile, QLatin1String(value.name));
}

void write(const QString& profileFile, TextValue value, const QByteArray& text)
{
    writeValue(profileFile, QLatin1String(value.name), Cp932::toUnicode(text));
}

void write(const QString& profileFile, FlagValue value, bool on)
{
    writeValue(profileFile, QLatin1String(value.name), on ? 1 : 0);
}

void write(const QString& profileFile, IntegerValue value, qint32 number)
{
    writeValue(profileFile, QLatin1String(value.name), number);
}

void write(const QString& profileFile, PlacementValue value, qint32 number)
{
    writeValue(profileFile, QLatin1String(value.name), number);
}

} // namespace

LocalSettings::LocalSettings(std::function<QByteArray()> ownAddress) : m_ownAddress(std::move(ownAddress)) {}

LocalSettings LocalSettings::InProfileFile(const QString& profileFile)
{
    LocalSettings settings;
    settings.m_profileFile = profileFile;
    return settings;
}

QByteArray LocalSettings::ShareDir() const
{
    return read(m_profileFile, Stored::ShareDir);
}

void LocalSettings::SetShareDir(const QByteArray& directory)
{
    write(m_profileFile, Stored::ShareDir, directory);
}

bool LocalSettings::AutoSmall() const
{
    return read(m_profileFile, Stored::AutoSmall);
}

void LocalSettings::SetAutoSmall(bool on)
{
    write(m_profileFile, Stored::AutoSmall, on);
}

bool LocalSettings::AutoDengonOpen() const
{
    return read(m_profileFile, Stored::AutoDengonOpen);
}

void LocalSettings::SetAutoDengonOpen(bool on)
{
    write(m_profileFile, Stored::AutoDengonOpen, on);
}

bool LocalSettings::SmallFont() const
{
    return read(m_profileFile, Stored::SmallFont);
}

void LocalSettings::SetSmallFont(bool on)
{
    write(m_profileFile, Stored::SmallFont, on);
}

bool LocalSettings::RegistSortPriority() const
{
    return read(m_profileFile, Stored::RegistSortPriority);
}

void LocalSettings::SetRegistSortPriority(bool on)
{
    write(m_profileFile, Stored::RegistSortPriority, on);
}

QByteArray LocalSettings::Name() const
{
    return read(m_profileFile, Stored::Name);
}

void LocalSettings::ReadLocalSettings(ParmRecList& boards) const
{
    if (boards.isEmpty())
        boards.append(ParmRec());
    ParmRec& own = boards[0];
    // A hand-edited value without its final separator still names the directory.
    own.ShareDir = SharePath::withSeparator(SjisText::upperCase(ShareDir()));
    own.AutoSmall = AutoSmall();
    own.AutoDengonOpen = AutoDengonOpen();
    own.BoardName = Cp932::fromUnicodeLossy(QStringLiteral("自分が所属する掲示板"));
}

void LocalSettings::WriteLocalSettings(ParmRec& ownBoard)
{
    SetShareDir(ownBoard.ShareDir);
    ownBoard.ShareDir = SjisText::upperCase(ownBoard.ShareDir);
    SetAutoSmall(ownBoard.AutoSmall);
    SetAutoDengonOpen(ownBoard.AutoDengonOpen);
}

void LocalSettings::LoadOwnIdentity(TVurnaDataRec& own, const QByteArray& ownAddress) const
{
    own.FileName = read(m_profileFile, Stored::FileName);
    own.Furigana = read(m_profileFile, Stored::Furigana);
    own.Name = read(m_profileFile, Stored::Name);
    own.Group = read(m_profileFile, Stored::Group);
    own.InnerLine = read(m_profileFile, Stored::InnerLine);
    own.WarningCall = read(m_profileFile, Stored::WarningCall);
    own.StatusIndex = read(m_profileFile, Stored::StatusIndex);
    own.SortPrefix = read(m_profileFile, Stored::SortPrefix);
    own.Running = true;
    own.IP = ownAddress;
    own.FileName = SjisText::upperCase(own.FileName);
}

TVurnaDataRec LocalSettings::LoadOwnIdentity()
{
    TVurnaDataRec own;
    LoadOwnIdentity(own, m_ownAddress ? m_ownAddress() : QByteArray());
    return own;
}

void LocalSettings::SaveOwnIdentity(const TVurnaDataRec& own)
{
    write(m_profileFile, Stored::FileName, own.FileName);
    write(m_profileFile, Stored::Furigana, own.Furigana);
    write(m_profileFile, Stored::Name, own.Name);
    write(m_profileFile, Stored::Group, own.Group);
    write(m_profileFile, Stored::InnerLine, own.InnerLine);
    write(m_profileFile, Stored::WarningCall, own.WarningCall);
    write(m_profileFile, Stored::StatusIndex, own.StatusIndex);
    write(m_profileFile, Stored::SortPrefix, own.SortPrefix);
}

StoredPlacement LocalSettings::ReadStoredPlacement() const
{
    StoredPlacement stored;
    stored.NormalLeft = read(m_profileFile, Stored::NormalLeft);
    stored.NormalTop = read(m_profileFile, Stored::NormalTop);
    stored.NormalBottom = read(m_profileFile, Stored::NormalBottom);
    stored.MaxLeft = read(m_profileFile, Stored::MaxLeft);
    stored.MaxTop = read(m_profileFile, Stored::MaxTop);
    return stored;
}

void LocalSettings::SaveWindowPlacement(const WindowPlacement& placement)
{
    write(m_profileFile, Stored::NormalLeft, placement.Normal.Left);
    write(m_profileFile, Stored::NormalTop, placement.Normal.Top);
    write(m_profileFile, Stored::NormalRight, placement.Normal.Right);
    write(m_profileFile, Stored::NormalBottom, placement.Normal.Bottom);
    write(m_profileFile, Stored::MaxLeft, placement.MaxPosition.x());
    write(m_profileFile, Stored::MaxTop, 0);
}

QString LocalSettings::UnwrittenFolder() const
{
    const QString base =
        m_profileFile.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quaxosoft")
            : QFileInfo(m_profileFile).absolutePath();
    return base + QStringLiteral("/Vurna-unwritten");
}
