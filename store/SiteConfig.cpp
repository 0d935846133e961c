#include "store/SiteConfig.h"

#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/DateTimeText.h"
#include "store/FilterFile.h"
#include "store/ShareMoveTarget.h"
#include "store/SiteConfigLine.h"
#include "store/SortPriority.h"
#include "store/VurnaLog.h"
#include "store/WeekendDays.h"

#include <exception>

using namespace SiteConfigLine;

namespace SiteConfig {
namespace {

// The configuration file exists but could not be read.
struct ConfigReadError : std::exception
{
    const char* what() const noexcept override { return "EInOutError"; }
};

qint32 clampInterval(qint32 value, qint32 lowest)
{
    // 1 .. lowest-1 rises to lowest; up to a day stays; 1441 .. 65535 falls to a day;
    // anything else (0, negative, absurd) switches the activity off.
    if (value >= 1 && value < lowest)
        return lowest;
    if (value >= lowest && value <= 1440)
        return value;
    if (value > 1440 && value <= 65535)
        return 1440;
    return 0;
}

// The file text, or a ConfigReadError when the file is there but gives nothing back.
QByteArray readConfigText(const QByteArray& path, const RetryPolicy& policy)
{
    bool ok = true;
    const QByteArray text = ReadFileTextChecked(path, policy, &ok);
    if (!ok)
        throw ConfigReadError();
    return text;
}

class Reader
{
public:
    Reader(ParmRecList& boards, int index, bool ownBoard, QByteArray boardDir, const SiteConfigContext& context)
        : m_boards(boards), m_index(index), m_own(ownBoard), m_dir(std::move(boardDir)), m_context(context),
          m_today(now().date())
    {
    }

    void run()
    {
        const QByteArray path = SharePath::join(m_dir, FileName);
        if (m_dir.isEmpty() || !ShareFiles::exists(path))
            return finish();
        QList<QByteArray> lines = SplitLines(readConfigText(path, m_context.retry));
        if (m_own && !lines.isEmpty())
            changeShareDir(lines);
        for (const QByteArray& raw : std::as_const(lines)) {
            const QByteArray line = PrepareLine(raw);
            if (!line.isEmpty())
                applyLine(line, SjisText::upperCase(line));
        }
        finish();
    }

    void log(const QByteArray& message) const
    {
        const QByteArray ownDir = m_boards.isEmpty() ? QByteArray() : m_boards.at(0).ShareDir;
        if (ownDir.isEmpty())
            return;
        VurnaLog::WriteLogEntry(SharePath::join(ownDir, VurnaLog::FileName), m_context.memberName, message,
                                VurnaLog::KindError, now(), m_context.logAppender);
    }

private:
    QDateTime now() const { return m_context.clock ? m_context.clock->now() : QDateTime::currentDateTime(); }

    ParmRec& rec() { return m_boards[m_index]; }

    void changeShareDir(QList<QByteArray>& lines)
    {
        const QByteArray first = SjisText::upperCase(PrepareLine(lines.first()));
        if (!first.startsWith("CHANGESHAREDIR"))
            return;
        const QByteArray unc = TakeValue(first, "UNC=");
        // Without a directory there is nowhere to move to (and an empty value would
        // otherwise name the root of the file system).
        if (unc.isEmpty())
            return;
        const QByteArray dir = SharePath::withSeparator(unc);
        if (!ShareFiles::isDirectory(dir))
            return;
        qCInfo(lcConfig) << "own board moves to" << Cp932::toUnicode(dir);
        m_dir = dir;
        rec().ShareDir = dir;
        if (ShareMoveTarget* target = m_context.shareMove) {
            target->WriteLocalSettings(rec());
            TVurnaDataRec own = target->LoadOwnIdentity();
            // A member who has no file yet keeps having none, rather than the directory
            // itself becoming their file name.
            if (!own.FileName.isEmpty()) {
                own.FileName = SharePath::join(dir, SjisText::fileNamePart(own.FileName));
                target->SaveOwnIdentity(own);
            }
        }
        const QByteArray path = SharePath::join(dir, FileName);
        lines = ShareFiles::exists(path) ? SplitLines(readConfigText(path, m_context.retry)) : QList<QByteArray>();
    }

    void applyLine(const QByteArray& line, const QByteArray& upper)
    {
        if (m_own && Contains(upper, "SHAREDIR"))
            addBoard(line);
        if (Contains(upper, "SHARECUSTOMGROUP"))
            addShareCustomGroup(line);
        if (Contains(upper, "INTERVAL")) {
            TInterval& iv = rec().Interval;
            if (Contains(upper, "RELOADALLFILE"))
                iv.ReloadAllFile = ParseInteger(TakeValue(line, "RELOADALLFILE=")).value_or(180);
            if (Contains(upper, "RELOADLASTCOMMIT"))
                iv.ReloadLastCommit = ParseInteger(TakeValue(line, "RELOADLASTCOMMIT=")).value_or(15);
            if (Contains(upper, "DENGONCHECK"))
                iv.CheckMsg = ParseInteger(TakeValue(line, "DENGONCHECK=")).value_or(5);
        }
        if (Contains(upper, "UPDATE="))
            applyUpdate(line);
        if (Contains(upper, "UDPMESSAGE"))
            applyUdp(line);
        if (Contains(upper, "CUSTOMICON"))
            addCustomIcon(line);
        if (Contains(upper, "TIMETABLE"))
            addTime(line);
        if (Contains(upper, "WORKDAY"))
            addDay(line, "WORKDAY=", rec().WorkDays);
        if (Contains(upper, "HOLIDAY"))
            addDay(line, "HOLIDAY=", rec().Holidays);
        if (Contains(upper, "WEEKEND"))
            applyWeekend(line, upper);
        if (Contains(upper, "SHORTCUTPROTECT=") && SjisText::upperCase(TakeValue(line, "SHORTCUTPROTECT=")) == "YES")
            rec().ShortcutProtect = true;
        if (Contains(upper, "SORTPRIORITY"))
            ApplySortPriorityLine(line, rec().SortPriority);
    }

    void addBoard(const QByteArray& line)
    {
        const QByteArray unc = TakeValue(line, "UNC=");
        if (unc.isEmpty())
            return;
        ParmRec board;
        board.ShareDir = SharePath::withSeparator(unc);
        board.BoardName = TakeValue(line, "NAME=");
        board.SlowLine = SjisText::upperCase(TakeValue(line, "SLOWLINE=")) != "NO";
        m_boards.append(board);
    }

    void addShareCustomGroup(const QByteArray& line)
    {
        const QByteArray file = TakeValue(line, "FILE=");
        if (file.isEmpty())
            return;
        const QByteArray members = FilterFile::ReadGroupDefinition(SharePath::join(m_dir, file), m_context.retry);
        if (members.isEmpty()) {
            qCDebug(lcConfig) << "site custom group dropped:" << Cp932::toUnicode(file);
            return;
        }
        rec().ShareCustomGroups.append({TakeValue(line, "NAME="), members});
    }

    void applyUpdate(const QByteArray& line)
    {
        if (SjisText::upperCase(TakeValue(line, "UPDATE=")) != "AUTO")
            return;
        rec().AutoUpdate = true;
        rec().NewVersion = SjisText::trim(TakeValue(line, "VERSION="));
        if (SjisText::upperCase(TakeValue(line, "SILENT=")) == "YES")
            rec().SilentUpdate = true;
    }

    void applyUdp(const QByteArray& line)
    {
        const QByteArray send = SjisText::upperCase(TakeValue(line, "SEND="));
        if (send == "NO" || send == "OFF")
            rec().UdpMode = 0;
        else if (send == "IPDIRECT")
            rec().UdpMode = 1;
        else
            rec().UdpMode = 3;
        rec().UdpPort = ParseInteger(TakeValue(line, "PORT=")).value_or(1971);
    }

    void addCustomIcon(const QByteArray& line)
    {
        const QByteArray name = TakeValue(line, "NAME=");
        static const QByteArray backToday = Cp932::fromUnicodeLossy(QStringLiteral("(本日戻り)"));
        rec().StatusTable.append({TakeValue(line, "YELLOWICON="), name + backToday});
        rec().StatusTable.append({TakeValue(line, "REDICON="), name});
    }

    void addTime(const QByteArray& line)
    {
        const QByteArray value = TakeValue(line, "TIMETABLE=");
        if (!DateTimeText::IsTimeText(value, m_today))
            return;
        if (!m_timeTableStarted) {
            rec().TimeTable.clear();
            m_timeTableStarted = true;
        }
        rec().TimeTable.append(value);
    }

    void addDay(const QByteArray& line, const QByteArray& key, QList<QByteArray>& days)
    {
        const std::optional<QDate> date = DateTimeText::ParseDate(TakeValue(line, key), m_today);
        const QByteArray name = ValueAfterFirstComma(line);
        if (date && !name.isEmpty())
            days.append(DateTimeText::FormatDate(*date) + name);
    }

    // The value is taken as written: extra characters ("土日祝", "土、日") are harmless because
    // a day is tested by whether its name occurs in the text, and an empty value clears the
    // weekend. Only a line that has no value at all, or whose value names no day (SAT,SUN),
    // keeps the earlier weekend, and the administrator hears about it in the log.
    void applyWeekend(const QByteArray& line, const QByteArray& upper)
    {
        const bool hasKey = Contains(upper, "WEEKEND=");
        const QByteArray value = TakeValue(line, "WEEKEND=");
        if (!hasKey || (!value.isEmpty() && !WeekendDays::NamesAnyDay(value))) {
            log(Cp932::fromUnicodeLossy(QStringLiteral("初期設定ファイルの｢")) + line +
                Cp932::fromUnicodeLossy(QStringLiteral("｣パラメタは記述に問題があります。")));
            return;
        }
        rec().Weekend = value;
    }

    void finish()
    {
        ApplyFinalChecks(rec());
        ParmRec& r = rec();
        r.StatusIcons.clear();
        for (qsizetype i = BuiltinStatusCount; i < r.StatusTable.size(); ++i) {
            const QByteArray file = r.StatusTable.at(i).IconFile;
            const QByteArray path = SharePath::join(m_dir, file);
            StatusIcon icon;
            icon.FallbackPicture = (i % 2 == 1) ? 3 : 4;
            bool read = false;
            if (!file.isEmpty()) {
                // Read here, away from the window, which shows the board from the bytes. The
                // read tells a missing file or a folder itself: no look before it, which on a
                // file server is a round trip each. One try: a picture that cannot be read has
                // its built-in stand-in, and every reading of the configuration would wait again
                // for one too large or locked.
                RetryPolicy policy;
                policy.attempts = 1;
                policy.maxBytes = StatusIcon::MaxBytes;
                icon.Picture = ReadFileTextChecked(path, policy, &read);
            }
            if (read && !icon.Picture.isEmpty())
                icon.IconPath = path;
            else
                qCDebug(lcConfig) << "アイコンファイルがありません。" << Cp932::toUnicode(path);
            r.StatusIcons.append(icon);
        }
    }

    ParmRecList& m_boards;
    int m_index;
    bool m_own;
    QByteArray m_dir;
    const SiteConfigContext& m_context;
    // Short years and month/day dates in the calendar are placed around this day.
    QDate m_today;
    bool m_timeTableStarted = false;
};

} // namespace

void ApplyFinalChecks(ParmRec& rec)
{
    if (rec.UdpMode < 1 || rec.UdpMode > 3)
        rec.UdpMode = 0;
    if (rec.UdpPort < 1 || rec.UdpPort > 65535)
        rec.UdpPort = 1971;
    rec.Interval.CheckMsg = clampInterval(rec.Interval.CheckMsg, 1);
    rec.Interval.ReloadLastCommit = clampInterval(rec.Interval.ReloadLastCommit, 5);
    rec.Interval.ReloadAllFile = clampInterval(rec.Interval.ReloadAllFile, 60);
}

bool Load(const QByteArray& shareDir, ParmRecList& boards, int index, bool ownBoard, const SiteConfigContext& context)
{
    if (ownBoard) {
        if (index != 0)
            return false;
        if (boards.isEmpty())
            boards.append(ParmRec());
        boards.resize(1);
    }
    if (index < 0 || index >= boards.size())
        return false;
    boards[index].ResetConfig();

    Reader reader(boards, index, ownBoard, SharePath::withSeparator(shareDir), context);
    try {
        reader.run();
        return true;
    } catch (const ConfigReadError&) {
        qCWarning(lcConfig) << "configuration unreadable in" << Cp932::toUnicode(shareDir);
        reader.log(
            Cp932::fromUnicodeLossy(QStringLiteral("初期設定ファイルのロード中に「EInOutError」例外が発生しました。")));
    } catch (...) {
        qCWarning(lcConfig) << "configuration load failed in" << Cp932::toUnicode(shareDir);
        reader.log(
            Cp932::fromUnicodeLossy(QStringLiteral("初期設定ファイルのロード中に予期していない例外が発生しました。")));
    }
    return false;
}

qint32 ReadSortPriority(const QByteArray& shareDir, const RetryPolicy& policy)
{
    const QByteArray path = SharePath::join(shareDir, FileName);
    if (!ShareFiles::exists(path))
        return 0;
    qint32 length = 0;
    for (const QByteArray& raw : SplitLines(ReadFileText(path, policy))) {
        const QByteArray line = PrepareLine(raw);
        if (Contains(SjisText::upperCase(line), "SORTPRIORITY"))
            ApplySortPriorityLine(line, length);
    }
    return length;
}

} // namespace SiteConfig
