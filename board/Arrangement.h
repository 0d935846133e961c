#pragma once

#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>

// The members shown on the board, two to a row, as copies. Indexed [column][row] and sized
// (ColCount + 1) x (RowCount + 1): the extra last column and row always hold empty records,
// so a look one cell past the members is always safe. A record with an empty FileName is an
// empty cell.
class TVurnaData2Array
{
public:
    TVurnaData2Array() { Resize(2, 1); }

    int ColCount() const { return m_cols; }
    int RowCount() const { return m_rows; }
    // Resizes to (cols + 1) x (rows + 1); rows < 1 gives 1. The records of the new last
    // column and last row are cleared; the others keep their place.
    void Resize(int cols, int rows);

    // The record of a cell; an empty record for anything outside the matrix.
    const TVurnaDataRec& At(int col, int row) const;
    void Set(int col, int row, const TVurnaDataRec& record);
    bool IsEmptyCell(int col, int row) const { return At(col, row).FileName.isEmpty(); }

private:
    qsizetype index(int col, int row) const { return qsizetype(row) * (m_cols + 1) + col; }

    int m_cols = 0;
    int m_rows = 0;
    QList<TVurnaDataRec> m_cells;
};

// What decides whether a member gets a cell.
struct ArrangeFilter
{
    bool GroupFilterOn = false;
    QList<QByteArray> GroupFilter; // group names; compared without regard to letter case
    QByteArray CustomGrpMember;    // ",KEY,KEY," or empty (see NormaliseCustomGrpMember)
    bool StatusFilterOn = false;
    QList<QByteArray> StatusFilter; // ",code," items
};

namespace Arrangement {

// Members per row.
constexpr int ColCount = 2;

// A member list handed to the group filter: trimmed, a comma added in front and at the end
// where missing; "," and ",," become empty.
QByteArray NormaliseCustomGrpMember(const QByteArray& names);

// The status filter item of a display status code: ",code,".
QByteArray StatusFilterItem(int code);

// Decides which members are shown at one moment, with the filter lists prepared once for
// many members. Answers are remembered by what they depend on: an office has few groups and
// few return dates, and working out a display status means local-time conversions.
class MemberFilter
{
public:
    MemberFilter(const ArrangeFilter& filter, const QDateTime& now);
    // Whether `member` passes the group and status filters.
    bool Shows(const TVurnaDataRec& member) const;

private:
    bool inGroups(const QByteArray& group) const;
    bool inCustomGroup(const QByteArray& fileName) const;
    static bool keyLess(QByteArrayView a, QByteArrayView b);
    bool statusShown(const TVurnaDataRec& member) const;

    struct StatusKey
    {
        QByteArray Date;
        QByteArray Time;
        qint32 StatusIndex;
        bool Running;
        bool operator==(const StatusKey&) const = default;
    };
    friend size_t qHash(const StatusKey& key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.Date, key.Time, key.StatusIndex, key.Running);
    }

    bool m_groupOn;
    QList<QByteArray> m_groups; // upper-cased, sorted
    QByteArray m_custom;
    QList<QByteArray> m_customKeys; // the keys of m_custom, sorted by keyLess
    bool m_statusOn;
    QList<QByteArray> m_statuses; // sorted
    QDateTime m_now;
    mutable QHash<QByteArray, bool> m_groupShown;
    mutable QHash<StatusKey, bool> m_statusShown;
};

// Rebuilds `cells` from members 1 .. High in board order: every member the filter shows takes
// the next cell, left then right, and a member in a left cell starts a new row. The matrix is
// left with ColCount columns and at least one row.
void Arrange(const TVurnaDataArray& members, const ArrangeFilter& filter, const QDateTime& now,
             TVurnaData2Array& cells);

// Whether a member's cell keeps the white background under kana-row highlighting: always with
// "*" (off), else when the first byte of the reading is one of the highlight characters.
bool IsHighlighted(const QByteArray& furigana, const QByteArray& scrDBEnabled);

struct CellPos
{
    int Col = -1;
    int Row = -1;
    bool IsValid() const { return Col >= 0 && Row >= 0; }
    bool operator==(const CellPos&) const = default;
};

// The first non-empty cell, row by row and left cell first, whose member's reading starts
// with one of the highlight characters; invalid when none does or `scrDBEnabled` is "*".
CellPos FindFirstHighlighted(const TVurnaData2Array& cells, const QByteArray& scrDBEnabled);

} // namespace Arrangement
