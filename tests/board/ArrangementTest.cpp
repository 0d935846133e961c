#include "board/Arrangement.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2024, 4, 1), QTime(10, 0)); // a Monday morning

struct MemberRow
{
    const char* key;
    const char16_t* furigana;
    const char16_t* group;
    const char* date; // "" present, "today", "tomorrow", "yesterday", or literal text
    int statusIndex;
    bool running;
};

TVurnaDataRec member(const MemberRow& row)
{
    TVurnaDataRec r;
    r.FileName = QByteArray("\\\\SERVER\\SHARE\\") + row.key;
    r.Furigana = cp932(QString::fromUtf16(row.furigana));
    r.Name = r.Furigana;
    r.Group = cp932(QString::fromUtf16(row.group));
    r.StatusIndex = row.statusIndex;
    r.Running = row.running;
    const QByteArray date = row.date;
    const auto day = [](int offset) { return kNow.date().addDays(offset).toString("yyyy/MM/dd").toLatin1(); };
    if (date == "today") {
        r.Date = day(0);
        r.Time = "17:00";
    } else if (date == "tomorrow") {
        r.Date = day(1);
    } else if (date == "yesterday") {
        r.Date = day(-1);
    } else {
        r.Date = cp932(QString::fromUtf8(date));
    }
    return r;
}

// Board order; display status codes at kNow in the comments.
TVurnaDataArray board()
{
    TVurnaDataArray members{TVurnaDataRec{}};
    for (const MemberRow& row : {
             MemberRow{"ABE", u"ｱﾍﾞ", u"営業", "", 0, true},             // 1
             MemberRow{"ITO", u"ｲﾄｳ", u"総務", "today", 0, true},        // 3
             MemberRow{"UEDA", u"ｳｴﾀﾞ", u"営業", "tomorrow", 1, true},   // 6
             MemberRow{"EDA", u"ｴﾀﾞ", u"SALES", "", 0, false},           // 0
             MemberRow{"OTA", u"ｵｵﾀ", u"総務", "today", 1, true},        // 5
             MemberRow{"KATO.K", u"ｶﾄｳ", u"総務", "yesterday", 0, true}, // 2
         })
        members.append(member(row));
    return members;
}

QList<QByteArray> shownKeys(const TVurnaData2Array& cells)
{
    QList<QByteArray> keys;
    for (int row = 0; row < cells.RowCount(); ++row) {
        for (int col = 0; col < cells.ColCount(); ++col) {
            const QByteArray& name = cells.At(col, row).FileName;
            if (!name.isEmpty())
                keys.append(name.mid(name.lastIndexOf('\\') + 1));
        }
    }
    return keys;
}

struct FilterCase
{
    const char* label;
    bool groupOn;
    QList<QByteArray> groups;
    QByteArray custom;
    bool statusOn;
    QList<QByteArray> statuses;
    QList<QByteArray> expected;
};

class ArrangeFilters : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(ArrangeFilters, ShowsTheMembersThatPass)
{
    const FilterCase& c = GetParam();
    ArrangeFilter filter;
    filter.GroupFilterOn = c.groupOn;
    for (const QByteArray& g : c.groups)
        filter.GroupFilter.append(cp932(QString::fromUtf8(g)));
    filter.CustomGrpMember = Arrangement::NormaliseCustomGrpMember(c.custom);
    filter.StatusFilterOn = c.statusOn;
    filter.StatusFilter = c.statuses;

    TVurnaData2Array cells;
    Arrangement::Arrange(board(), filter, kNow, cells);
    EXPECT_EQ(shownKeys(cells), c.expected) << c.label;
    EXPECT_EQ(cells.ColCount(), 2);
    EXPECT_EQ(cells.RowCount(), std::max<int>(1, int(c.expected.size() + 1) / 2)) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ArrangeFilters,
    ::testing::Values(FilterCase{"no filter", false, {}, "", false, {}, {"ABE", "ITO", "UEDA", "EDA", "OTA", "KATO.K"}},
                      FilterCase{"group on, nothing chosen", true, {}, "", false, {}, {}},
                      FilterCase{
                          "group plus a custom member", true, {"営業"}, "OTA", false, {}, {"ABE", "UEDA", "OTA"}},
                      FilterCase{"custom ignored while the group filter is off",
                                 false,
                                 {},
                                 "OTA",
                                 false,
                                 {},
                                 {"ABE", "ITO", "UEDA", "EDA", "OTA", "KATO.K"}},
                      FilterCase{"group compared without letter case", true, {"sales"}, "", false, {}, {"EDA"}},
                      FilterCase{"a custom key with a dot", true, {}, ",KATO.K,", false, {}, {"KATO.K"}},
                      FilterCase{"a key is not part of a longer key", true, {}, "KATO", false, {}, {}},
                      FilterCase{"built-in marks only", false, {}, "", true, {",3,", ",4,"}, {"ITO"}},
                      FilterCase{"custom mark ticked too", false, {}, "", true, {",3,", ",4,", ",5,"}, {"ITO", "OTA"}},
                      FilterCase{"stopped and overdue", false, {}, "", true, {",0,", ",2,"}, {"EDA", "KATO.K"}},
                      FilterCase{"both filters", true, {"総務"}, "", true, {",2,", ",3,"}, {"ITO", "KATO.K"}},
                      FilterCase{"status on, nothing ticked", false, {}, "", true, {}, {}}));

TEST(Arrange, FiveMembersFillTwoRowsAndALeftCell)
{
    TVurnaDataArray members = board();
    members.removeLast();
    TVurnaData2Array cells;
    Arrangement::Arrange(members, {}, kNow, cells);
    ASSERT_EQ(cells.RowCount(), 3);
    EXPECT_EQ(cells.At(0, 2).FileName, members.at(5).FileName);
    EXPECT_TRUE(cells.IsEmptyCell(1, 2));
    // The extra column and row are always empty.
    EXPECT_TRUE(cells.IsEmptyCell(2, 0));
    EXPECT_TRUE(cells.IsEmptyCell(0, 3));
}

TEST(Arrange, ASmallerLayoutLeavesNoStaleCells)
{
    TVurnaData2Array cells;
    Arrangement::Arrange(board(), {}, kNow, cells);
    TVurnaDataArray three = board().mid(0, 4);
    Arrangement::Arrange(three, {}, kNow, cells);
    EXPECT_EQ(cells.RowCount(), 2);
    EXPECT_TRUE(cells.IsEmptyCell(1, 1));
    EXPECT_TRUE(cells.IsEmptyCell(0, 2));
}

TEST(Arrange, MatrixResizeClearsTheNewLastRowAndColumn)
{
    TVurnaData2Array cells;
    Arrangement::Arrange(board(), {}, kNow, cells); // 3 rows
    cells.Resize(2, 2);
    EXPECT_EQ(shownKeys(cells), (QList<QByteArray>{"ABE", "ITO", "UEDA", "EDA"}));
    EXPECT_TRUE(cells.IsEmptyCell(0, 2)); // was OTA
    cells.Resize(2, 0);
    EXPECT_EQ(cells.RowCount(), 1); // never fewer than one row
}

struct NormaliseCase
{
    QByteArray in;
    QByteArray out;
};

class CustomGrpMemberNormalise : public ::testing::TestWithParam<NormaliseCase>
{
};

TEST_P(CustomGrpMemberNormalise, AddsOuterCommas)
{
    EXPECT_EQ(Arrangement::NormaliseCustomGrpMember(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Names, CustomGrpMemberNormalise,
                         ::testing::Values(NormaliseCase{"ABE,ITO", ",ABE,ITO,"},
                                           NormaliseCase{"ABE,ITO,", ",ABE,ITO,"},
                                           NormaliseCase{",ABE,ITO,", ",ABE,ITO,"}, NormaliseCase{" ABE ", ",ABE,"},
                                           NormaliseCase{",", ""}, NormaliseCase{",,", ""}, NormaliseCase{"   ", ""},
                                           NormaliseCase{"", ""}));

struct HighlightCase
{
    const char16_t* furigana;
    const char16_t* row;
    bool white;
};

class KanaRowHighlight : public ::testing::TestWithParam<HighlightCase>
{
};

TEST_P(KanaRowHighlight, FirstByteOfTheReadingDecides)
{
    const HighlightCase& c = GetParam();
    EXPECT_EQ(Arrangement::IsHighlighted(cp932(QString::fromUtf16(c.furigana)), cp932(QString::fromUtf16(c.row))),
              c.white)
        << QString::fromUtf16(c.furigana).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, KanaRowHighlight,
                         ::testing::Values(HighlightCase{u"ｶﾄｳ", u"ｶｷｸｹｺ", true},
                                           HighlightCase{u"ｺﾊﾞﾔｼ", u"ｶｷｸｹｺ", true},
                                           HighlightCase{u"ｶﾞﾓｳ", u"ｶｷｸｹｺ", true}, // voiced: base character first
                                           HighlightCase{u"ｱﾍﾞ", u"ｶｷｸｹｺ", false}, HighlightCase{u"", u"ｶｷｸｹｺ", false},
                                           HighlightCase{u"カトウ", u"ｶｷｸｹｺ", false}, // full-width reading
                                           HighlightCase{u"ﾝｼﾞｬﾒﾅ", u"ﾜｦﾝ", true}, HighlightCase{u"ｱﾍﾞ", u"*", true},
                                           HighlightCase{u"", u"*", true}));

TEST(KanaRowHighlight, FindsTheFirstMatchingCellRowByRow)
{
    TVurnaDataArray members{TVurnaDataRec{}};
    for (const MemberRow& row :
         {MemberRow{"A", u"ｱﾍﾞ", u"営業", "", 0, true}, MemberRow{"B", u"", u"営業", "", 0, true},
          MemberRow{"C", u"ｲﾄｳ", u"営業", "", 0, true}, MemberRow{"D", u"ｶﾞﾓｳ", u"営業", "", 0, true},
          MemberRow{"E", u"ｶﾄｳ", u"営業", "", 0, true}})
        members.append(member(row));
    TVurnaData2Array cells;
    Arrangement::Arrange(members, {}, kNow, cells);
    EXPECT_EQ(Arrangement::FindFirstHighlighted(cells, cp932(QStringLiteral("ｶｷｸｹｺ"))), (Arrangement::CellPos{1, 1}));
    EXPECT_FALSE(Arrangement::FindFirstHighlighted(cells, cp932(QStringLiteral("ﾏﾐﾑﾒﾓ"))).IsValid());
    EXPECT_FALSE(Arrangement::FindFirstHighlighted(cells, "*").IsValid());
}

} // namespace
