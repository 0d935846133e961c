#include "forms/SettingRules.h"

#include "platform/Cp932.h"
#include "platform/KanaWidth.h"
#include "platform/ParallelWork.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace SettingRules {

QString Trimmed(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

bool IsReservedDeviceName(const QString& name)
{
    // Windows ignores what follows the first dot, and blanks before it, when it looks for a device.
    QString stem = name.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    return reserved.match(stem).hasMatch();
}

std::optional<QString> FileNameRefusal(const QString& typed)
{
    const QString name = Trimmed(typed);
    const QString forbidden = QString::fromLatin1(ForbiddenFileNameCharacters);
    if (std::any_of(name.begin(), name.end(), [&](QChar c) { return forbidden.contains(c); }))
        return QStringLiteral("ファイル名に次の文字は使えないんです。\r\n") + forbidden;
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }))
        return QStringLiteral("ファイル名に制御文字は使えません。");
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("ファイル名の最後に「.」や空白は使えません。");
    if (IsReservedDeviceName(name))
        return QStringLiteral("「%1」はWindowsが予約している名前なので、ファイル名に使えません。").arg(name);
    return UnmappableRefusal(QStringLiteral("ファイル名"), name);
}

std::optional<QString> UnmappableRefusal(const QString& caption, const QString& text)
{
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    if (encoded.ok)
        return std::nullopt;
    return QStringLiteral("「%1」に次の文字は保存できません。\r\n%2").arg(caption, encoded.unmappable);
}

QString FuriganaOnExit(const QString& text)
{
    const QString trimmed = Trimmed(text);
    const QString mapped = KanaWidth::toHalfwidthKatakana(trimmed);
    return mapped.isEmpty() ? trimmed : mapped;
}

QString GroupOnExit(const QString& text)
{
    const QString trimmed = Trimmed(text);
    const QString mapped = KanaWidth::toFullwidthUpper(trimmed);
    return mapped.isEmpty() ? trimmed : mapped;
}

QList<QByteArray> GroupList(const TVurnaDataArray& members)
{
    QList<QByteArray> list;
    for (qsizetype i = 1; i < members.size(); ++i)
        list.append(SjisText::trim(members.at(i).Group));
    const auto caseless = [](const QByteArray& a, const QByteArray& b) {
        return SjisText::compareBytes(SjisText::upperCase(a), SjisText::upperCase(b));
    };
    std::stable_sort(list.begin(), list.end(),
                     [&](const QByteArray& a, const QByteArray& b) { return caseless(a, b) < 0; });
    list.erase(std::unique(list.begin(), list.end(),
                           [&](const QByteArray& a, const QByteArray& b) { return caseless(a, b) == 0; }),
               list.end());
    return list;
}

QByteArray ShareDirFromText(const QString& text)
{
    // Folder choosers hand back '/' on Windows too; the board keeps this system's separators.
    const Cp932::Encoded dir = Cp932::fromUnicode(QDir::toNativeSeparators(Trimmed(text)));
    if (!dir.ok)
        return {};
    // The spelling as typed: on POSIX it finds the folder without listing the ones above it. The
    // board upper-cases it where copies compare names.
    return SharePath::withSeparator(dir.bytes);
}

bool IsExistingDirectory(const QByteArray& dir)
{
    if (dir.isEmpty())
        return false;
    // Asked while the dialog opens and as the field is left: a server that does not answer must
    // not stop the window with it.
    bool isDir = false;
    ParallelWork::RunWhileEventsFlow([&dir, &isDir] { isDir = QFileInfo(SharePath::resolve(dir)).isDir(); });
    return isDir;
}

int FindMember(const TVurnaDataArray& members, const QByteArray& fileName)
{
    const QByteArray wanted = SjisText::upperCase(fileName);
    if (wanted.isEmpty())
        return -1;
    for (qsizetype i = 1; i < members.size(); ++i)
        if (SjisText::upperCase(SjisText::fileNamePart(members.at(i).FileName)) == wanted)
            return int(i);
    return -1;
}

bool SeemsRunningElsewhere(const TVurnaDataRec& member, const QByteArray& ownIp)
{
    return member.Running && !member.IP.isEmpty() && member.IP != ownIp;
}

QString TakeoverQuestion(const TVurnaDataRec& member)
{
    return QStringLiteral("「%1」のVurnaは、別のPC（%2）で起動中のようです。\r\n"
                          "同じ名前で二つ起動すると、互いの情報を上書きしてしまいます。\r\n"
                          "このまま続けますか？")
        .arg(Cp932::toUnicode(SjisText::fileNamePart(member.FileName)), Cp932::toUnicode(member.IP));
}

} // namespace SettingRules
