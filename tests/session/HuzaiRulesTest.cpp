// The absence presets, the questions and the reminder's beat, at fixed moments.

#include "session/AlartPhase.h"
#include "session/HuzaiPresets.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

using HuzaiPresets::Preset;

struct PresetCase
{
    const char* name;
    Preset preset;
    QDateTime at;
    const char* locate; // UTF-8
    QByteArray date;
    QByteArray time;
};

class PresetValues : public ::testing::TestWithParam<PresetCase>
{
};

TEST_P(PresetValues, WritesItsExactValues)
{
    const PresetCase& c = GetParam();
    const HuzaiPresets::HuzaiValues values = HuzaiPresets::PresetValues(c.preset, c.at);
    EXPECT_EQ(values.Locate, cp932(QString::fromUtf8(c.locate)));
    EXPECT_EQ(values.Date, c.date);
    EXPECT_EQ(values.Time, c.time);
    EXPECT_EQ(values.StatusIndex, 0);
}

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 4, day), QTime(hour, minute, second));
}

INSTANTIATE_TEST_SUITE_P(
    Tray, PresetValues,
    ::testing::Values(PresetCase{"Meeting4h", Preset::Meeting4h, at(1, 9, 5), "会議", "2024/04/01", "13:05"},
                      PresetCase{"Meeting2h", Preset::Meeting2h, at(1, 9, 5, 59), "会議", "2024/04/01", "11:05"},
                      PresetCase{"Meeting1h", Preset::Meeting1h, at(1, 16, 45), "会議", "2024/04/01", "17:45"},
                      PresetCase{"Lunch", Preset::Lunch, at(1, 12, 0), "食事中！", "2024/04/01", "13:00"},
                      PresetCase{"LunchAcrossMidnight", Preset::Lunch, at(1, 23, 30), "食事中！", "2024/04/02",
                                 "00:30"},
                      PresetCase{"MeetingAcrossMonthEnd", Preset::Meeting4h,
                                 QDateTime(QDate(2024, 3, 31), QTime(22, 10)), "会議", "2024/04/01", "02:10"},
                      PresetCase{"QuickMorning", Preset::Quick, at(1, 9, 5),
                                 "ちょっと離席中！\r\n9時05分から離席中です。そこら辺にいます。", "", ""},
                      PresetCase{"QuickAfternoon", Preset::Quick, at(1, 14, 30),
                                 "ちょっと離席中！\r\n14時30分から離席中です。そこら辺にいます。", "", ""},
                      PresetCase{"QuickMidnight", Preset::Quick, at(1, 0, 0),
                                 "ちょっと離席中！\r\n0時00分から離席中です。そこら辺にいます。", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HuzaiQuestions, NameTheFirstAndTheLastMember)
{
    EXPECT_EQ(HuzaiPresets::ResetQuestion(QStringLiteral("山田"), QStringLiteral("山田"), 1),
              QStringLiteral("山田さんの不在設定を解除します。"));
    EXPECT_EQ(HuzaiPresets::ResetQuestion(QStringLiteral("山田"), QStringLiteral("鈴木"), 3),
              QStringLiteral("山田さん ～ 鈴木さんの不在設定を解除します。"));
    EXPECT_EQ(HuzaiPresets::AutoResetQuestion(QStringLiteral("山田")),
              QStringLiteral("現在、山田さんは不在状態になっていますが、\r\n既に戻り予定時刻を過ぎているので、"
                             "不在状態を解除しますか？\r\n\r\n\"はい\"を選択すると、不在状態は解除されます。\r\n"
                             "\"いいえ\"を選択すると、不在状態のままです。"));
}

struct BeatCase
{
    int millisecond;
    bool memo;
    bool absent;
    AlartPhase::Picture picture;
};

class Beat : public ::testing::TestWithParam<BeatCase>
{
};

TEST_P(Beat, ShowsThePictureOfItsQuarter)
{
    const BeatCase& c = GetParam();
    EXPECT_EQ(AlartPhase::PictureAt(c.millisecond, c.memo, c.absent), c.picture);
}

using P = AlartPhase::Picture;
INSTANTIATE_TEST_SUITE_P(Quarters, Beat,
                         ::testing::Values(BeatCase{0, true, true, P::Normal}, BeatCase{249, true, true, P::Normal},
                                           BeatCase{250, true, true, P::Memo}, BeatCase{500, true, true, P::Normal},
                                           BeatCase{750, true, true, P::Absent}, BeatCase{999, true, true, P::Absent},
                                           BeatCase{300, true, false, P::Memo}, BeatCase{800, true, false, P::Memo},
                                           BeatCase{300, false, true, P::Absent}, BeatCase{800, false, true, P::Absent},
                                           BeatCase{300, false, false, P::Stop},
                                           BeatCase{100, false, false, P::Normal}));

} // namespace
