#include "board/Arrangement.h"

#include "board/StatusText.h"
#include "platform/SjisText.h"
#include "store/MemberList.h"

#include <algorithm>
#include <cstring>

namespace {

const TVurnaDataRec& emptyRecord()
{
    static const TVurnaDataRec empty;
    return empty;
}

QList<QByteArray> sorted(QList<QByteArray> list)
{
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

void TVurnaData2Array::Resize(int cols, int rows)
{
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    if (cols == m_cols && rows == m_rows)
        return;
    QList<TVurnaDataRec> resized(qsizetype(rows + 1) * (cols + 1));
    // The new last column and row stay empty; every other cell keeps what it held.
    const int keptRows = m_cells.isEmpty() ? 0 : std::min(rows, m_rows + 1);
    for (int row = 0; row < keptRows; ++row) {
        for (int col = 0; col < std::min(cols, m_cols + 1); ++col)
            resized[qsizetype(row) * (cols + 1) + col] = m_cells.at(index(col, row));
    }
    m_cells = std::move(resized);
    m_cols = cols;
    m_rows = rows;
}

const TVurnaDataRec& TVurnaData2Array::At(int col, int row) const
{
    if (col < 0 || row < 0 || col > m_cols || row > m_rows)
        return emptyRecord();
    return m_cells.at(index(col, row));
}

void TVurnaData2Array::Set(int col, int row, const TVurnaDataRec& record)
{
    // The extra last column and row are never filled.
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return;
    m_cells[index(col, row)] = record;
}

namespace Arrangement {

QByteArray NormaliseCustomGrpMember(const QByteArray& names)
{
    return MemberList::Normalise(names);
}

QByteArray StatusFilterItem(int code)
{
    return ',' + QByteArray::number(code) + ',';
}

MemberFilter::MemberFilter(const ArrangeFilter& filter, const QDateTime& now)
    : m_groupOn(filter.GroupFilterOn), m_custom(filter.CustomGrpMember), m_statusOn(filter.StatusFilterOn),
      m_statuses(sorted(filter.StatusFilter)), m_now(now)
{
    // A comma is never the trail byte of a pair, so the list splits byte-wise.
    for (const QByteArray& key : m_custom.split(',')) {
        if (!key.isEmpty())
            m_customKeys.append(key);
    }
    std::sort(m_customKeys.begin(), m_customKeys.end(), keyLess);
    for (const QByteArray& group : filter.GroupFilter)
        m_groups.append(SjisText::upperCase(group));
    m_groups = sorted(m_groups);
}

bool MemberFilter::inGroups(const QByteArray& group) const
{
    const auto known = m_groupShown.constFind(group);
    if (known != m_groupShown.cend())
        return known.value();
    const bool shown = std::binary_search(m_groups.cbegin(), m_groups.cend(), SjisText::upperCase(group));
    m_groupShown.insert(group, shown);
    return shown;
}

bool MemberFilter::keyLess(QByteArrayView a, QByteArrayView b)
{
    const int c = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    return c < 0 || (c == 0 && a.size() < b.size());
}

bool MemberFilter::inCustomGroup(const QByteArray& fileName) const
{
    // The member key is the file-name part of FileName as it is: FileName carries no
    // extension, so a key with a dot in it ("ITO.K") keeps its last part. Looked at in place:
    // this runs for most members of a large board.
    qsizetype start = 0;
    for (qsizetype i = 0; i < fileName.size(); i = SjisText::nextCharIndex(fileName, i)) {
        if (fileName.at(i) == '\\' || fileName.at(i) == '/')
            start = i + 1;
    }
    const QByteArrayView key = QByteArrayView(fileName).sliced(start);
    if (key.isEmpty())
        return false;
    if (key.contains(','))
        // A key with a comma in it can still occur across two list items.
        return SjisText::indexOf(m_custom, ',' + key.toByteArray() + ',') >= 0;
    const auto at = std::lower_bound(m_customKeys.cbegin(), m_customKeys.cend(), key, keyLess);
    return at != m_customKeys.cend() && QByteArrayView(*at) == key;
}

bool MemberFilter::statusShown(const TVurnaDataRec& member) const
{
    const StatusKey key{member.Date, member.Time, member.StatusIndex, member.Running};
    const auto known = m_statusShown.constFind(key);
    if (known != m_statusShown.cend())
        return known.value();
    QByteArray text;
    int code = 0;
    GetStatusText(member, m_now, text, code);
    const bool shown = std::binary_search(m_statuses.cbegin(), m_statuses.cend(), StatusFilterItem(code));
    m_statusShown.insert(key, shown);
    return shown;
}

bool MemberFilter::Shows(const TVurnaDataRec& member) const
{
    bool shown = true;
    if (m_groupOn) {
        shown = inGroups(member.Group);
        if (!shown && !m_custom.isEmpty())
            shown = inCustomGroup(member.FileName);
    }
    // The display status is decided here, once per Arrange: a member whose return time
    // passes while shown keeps its cell until the next Arrange.
    if (m_statusOn && !statusShown(member))
        shown = false;
    return shown;
}

void Arrange(const TVurnaDataArray& members, const ArrangeFilter& filter, const QDateTime& now, TVurnaData2Array& cells)
{
    const MemberFilter test(filter, now);
    QList<qsizetype> shown;
    shown.reserve(members.size());
    for (qsizetype i = 1; i < members.size(); ++i) {
        if (test.Shows(members.at(i)))
            shown.append(i);
    }
    const int rows = std::max<int>(1, int((shown.size() + ColCount - 1) / ColCount));
    // Start from a cleared matrix: cells that a smaller layout no longer uses must be empty.
    cells = TVurnaData2Array();
    cells.Resize(ColCount, rows);
    for (qsizetype n = 0; n < shown.size(); ++n)
        cells.Set(int(n % ColCount), int(n / ColCount), members.at(shown.at(n)));
}

bool IsHighlighted(const QByteArray& furigana, const QByteArray& scrDBEnabled)
{
    if (scrDBEnabled == "*")
        return true;
    if (furigana.isEmpty())
        return false;
    // Half-width katakana are single bytes, and a voiced reading starts with its base
    // character, so the first byte decides. A lead byte never matches a single-byte character.
    const char first = furigana.at(0);
    if (SjisText::isLeadByte(static_cast<unsigned char>(first)))
        return false;
    for (qsizetype i = 0; i < scrDBEnabled.size(); i = SjisText::nextCharIndex(scrDBEnabled, i)) {
        if (scrDBEnabled.at(i) == first && !SjisText::isLeadByte(static_cast<unsigned char>(scrDBEnabled.at(i))))
            return true;
    }
    return false;
}

CellPos FindFirstHighlighted(const TVurnaData2Array& cells, const QByteArray& scrDBEnabled)
{
    if (scrDBEnabled == "*")
        return {};
    for (int row = 0; row < cells.RowCount(); ++row) {
        for (int col = 0; col < cells.ColCount(); ++col) {
            const TVurnaDataRec& member = cells.At(col, row);
            if (!member.FileName.isEmpty() && !member.Furigana.isEmpty() &&
                IsHighlighted(member.Furigana, scrDBEnabled))
                return {col, row};
        }
    }
    return {};
}

} // namespace Arrangement
