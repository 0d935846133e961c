#include "store/FilterFile.h"

#include "platform/ShareFiles.h"
#include "platform/SjisText.h"
#include "store/MemberList.h"
#include "store/SiteConfigLine.h"

namespace FilterFile {
namespace {

void addLine(QByteArray& text, const QByteArray& line)
{
    text += MemberList::StripOuterCommas(line);
    text += "\r\n";
}

// The board a section header names. The own board is written as "[MyDirectory]", never by
// its directory, so a directory header is looked up among the other boards only: a site
// that also lists the own board's directory as a further board must not have that
// board's filters laid over the own board's.
qsizetype boardNamedBy(const QByteArray& header, const ParmRecList& boards)
{
    for (qsizetype i = 1; i < boards.size(); ++i) {
        if (boards.at(i).ShareDir == header)
            return i;
    }
    return -1;
}

} // namespace

QByteArray Build(const ParmRecList& boards)
{
    QByteArray text;
    for (qsizetype i = 0; i < boards.size(); ++i) {
        const ParmRec& board = boards.at(i);
        const FilterState& f = board.Filter;
        addLine(text, i == 0 ? QByteArray(OwnBoardHeader) : '[' + board.ShareDir + ']');
        addLine(text, f.CustomGroup);
        QByteArray flags = ",";
        if (f.GroupFilterOn)
            flags += "Group,";
        if (f.StatusFilterOn)
            flags += "Status,";
        addLine(text, flags);
        addLine(text, f.CheckedGroups);
        addLine(text, f.CheckedStatus);
        text += "\r\n";
    }
    return text;
}

bool Write(const QByteArray& path, const ParmRecList& boards, const RetryPolicy& policy)
{
    return WriteFileText(path, Build(boards), policy);
}

void Apply(const QByteArray& text, ParmRecList& boards)
{
    if (boards.isEmpty())
        return;
    qsizetype current = 0;
    int counter = 0;
    for (const QByteArray& line : SiteConfigLine::SplitLines(text)) {
        if (line.size() >= 2 && line.startsWith('[') && line.endsWith(']')) {
            const qsizetype named = boardNamedBy(line.mid(1, line.size() - 2), boards);
            if (named >= 0) {
                current = named;
                counter = 0;
            }
        }
        ++counter;
        FilterState& f = boards[current].Filter;
        switch (counter) {
        case 2:
            f.CustomGroup = ',' + line + ',';
            break;
        case 3:
            f.GroupFilterOn = SjisText::indexOf(line, "Group") >= 0;
            f.StatusFilterOn = SjisText::indexOf(line, "Status") >= 0;
            break;
        case 4:
            f.CheckedGroups = ',' + line + ',';
            break;
        case 5:
            f.CheckedStatus = ',' + line + ',';
            break;
        default:
            break;
        }
    }
}

bool Read(const QByteArray& path, ParmRecList& boards, const RetryPolicy& policy)
{
    if (!ShareFiles::exists(path))
        return false;
    Apply(ReadFileText(path, policy), boards);
    return true;
}

QByteArray ReadGroupDefinition(const QByteArray& path, const RetryPolicy& policy)
{
    if (!ShareFiles::exists(path))
        return {};
    const QList<QByteArray> lines = SiteConfigLine::SplitLines(ReadFileText(path, policy));
    if (lines.size() < 2)
        return {};
    const QByteArray header = SjisText::trim(lines.at(0));
    if (header != OwnBoardHeader && header != ShareGroupHeader)
        return {};
    return lines.at(1);
}

} // namespace FilterFile
