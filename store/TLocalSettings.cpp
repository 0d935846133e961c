#include "store/TLocalSettings.h"

#include "platform/Cp932.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QLoggingCategory>
#include <QSettings>

Q_LOGGING_CATEGORY(lcLocalSettings, "vurna.config", QtWarningMsg)

namespace {

// The stored value, or nothing when it is missing or the store cannot be read.
std::optional<QVariant> readValue(const QString& name, bool* storeOk = nullptr)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                    QStringLiteral("Vurna"));
    const bool ok = store.status() == QSettings::NoError;
    if (storeOk)
        *storeOk = ok;
    if (!ok || !store.contains(name))
        return std::nullopt;
    return store.value(name);
}

std::optional<qint32> readOptionalInteger(const QString& name)
{
    const std::optional<QVariant> value = readValue(name);
    if (!value)
        return std::nullopt;
    bool ok = false;
    const qint32 number = value->toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

void writeValue(const QString& name, const QVariant& value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                    QStringLiteral("Vurna"));
    store.setValue(name, value);
    store.sync();
    if (store.status() != QSettings::NoError)
        qCDebug(lcLocalSettings) << "local setting not written" << name << store.status();
}

} // namespace

TLocalSettings::TLocalSettings(std::function<QByteArray()> ownAddress) : m_ownAddress(std::move(ownAddress)) {}

QByteArray TLocalSettings::ReadString(const QString& name, const QByteArray& defaultValue) const
{
    bool storeOk = false;
    const std::optional<QVariant> value = readValue(name, &storeOk);
    if (!storeOk)
        return defaultValue;
    if (!value)
        return {};
    return Cp932::fromUnicodeLossy(value->toString());
}

bool TLocalSettings::ReadBool(const QString& name, bool defaultValue) const
{
    const std::optional<qint32> value = readOptionalInteger(name);
    return value ? *value != 0 : defaultValue;
}

qint32 TLocalSettings::ReadInteger(const QString& name, qint32 defaultValue) const
{
    return readOptionalInteger(name).value_or(defaultValue);
}

void TLocalSettings::WriteString(const QString& name, const QByteArray& value)
{
    writeValue(name, Cp932::toUnicode(value));
}

void TLocalSettings::WriteInteger(const QString& name, qint32 value)
{
    writeValue(name, value);
}

void TLocalSettings::WriteBool(const QString& name, bool value)
{
    writeValue(name, value ? 1 : 0);
}

void TLocalSettings::ReadLocalSettings(TParmArray& boards) const
{
    if (boards.isEmpty())
        boards.append(ParmRec());
    ParmRec& own = boards[0];
    // A hand-edited value without its final separator still names the directory.
    own.ShareDir = SharePath::withSeparator(SjisText::upperCase(ReadString(QStringLiteral("ShareDir"))));
    own.AutoSmall = ReadBool(QStringLiteral("AutoSmall"), true);
    own.AutoDengonOpen = ReadBool(QStringLiteral("AutoDengonOpen"), false);
    own.BoardName = Cp932::fromUnicodeLossy(QStringLiteral("自分が所属する掲示板"));
}

void TLocalSettings::WriteLocalSettings(ParmRec& ownBoard)
{
    WriteString(QStringLiteral("ShareDir"), ownBoard.ShareDir);
    ownBoard.ShareDir = SjisText::upperCase(ownBoard.ShareDir);
    WriteBool(QStringLiteral("AutoSmall"), ownBoard.AutoSmall);
    WriteBool(QStringLiteral("AutoDengonOpen"), ownBoard.AutoDengonOpen);
}

void TLocalSettings::LoadOwnIdentity(TVurnaDataRec& own, const QByteArray& ownAddress) const
{
    own.FileName = ReadString(QStringLiteral("FileName"));
    own.Furigana = ReadString(QStringLiteral("Furigana"));
    own.Name = ReadString(QStringLiteral("Name"));
    own.Group = ReadString(QStringLiteral("Group"));
    own.InnerLine = ReadString(QStringLiteral("InnerLine"));
    own.WarningCall = ReadString(QStringLiteral("WarningCall"));
    own.StatusIndex = ReadInteger(QStringLiteral("StatusIndex"), 0);
    own.SortPrefix = ReadString(QStringLiteral("SortPrefix"));
    own.Running = true;
    own.IP = ownAddress;
    own.FileName = SjisText::upperCase(own.FileName);
}

TVurnaDataRec TLocalSettings::LoadOwnIdentity()
{
    TVurnaDataRec own;
    LoadOwnIdentity(own, m_ownAddress ? m_ownAddress() : QByteArray());
    return own;
}

void TLocalSettings::SaveOwnIdentity(const TVurnaDataRec& own)
{
    WriteString(QStringLiteral("FileName"), own.FileName);
    WriteString(QStringLiteral("Furigana"), own.Furigana);
    WriteString(QStringLiteral("Name"), own.Name);
    WriteString(QStringLiteral("Group"), own.Group);
    WriteString(QStringLiteral("InnerLine"), own.InnerLine);
    WriteString(QStringLiteral("WarningCall"), own.WarningCall);
    WriteInteger(QStringLiteral("StatusIndex"), own.StatusIndex);
    WriteString(QStringLiteral("SortPrefix"), own.SortPrefix);
}

TStoredPlacement TLocalSettings::ReadStoredPlacement() const
{
    TStoredPlacement stored;
    stored.NormalLeft = readOptionalInteger(QStringLiteral("NormalLeft"));
    stored.NormalTop = readOptionalInteger(QStringLiteral("NormalTop"));
    stored.NormalBottom = readOptionalInteger(QStringLiteral("NormalBottom"));
    stored.MaxLeft = readOptionalInteger(QStringLiteral("MaxLeft"));
    stored.MaxTop = readOptionalInteger(QStringLiteral("MaxTop"));
    return stored;
}

void TLocalSettings::SaveWindowPlacement(const TWindowPlacement& placement)
{
    WriteInteger(QStringLiteral("NormalLeft"), placement.Normal.Left);
    WriteInteger(QStringLiteral("NormalTop"), placement.Normal.Top);
    WriteInteger(QStringLiteral("NormalRight"), placement.Normal.Right);
    WriteInteger(QStringLiteral("NormalBottom"), placement.Normal.Bottom);
    WriteInteger(QStringLiteral("MaxLeft"), placement.MaxPosition.x());
    WriteInteger(QStringLiteral("MaxTop"), 0);
}
