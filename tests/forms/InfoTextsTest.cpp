#include "forms/InfoTexts.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

TEST(InfoTexts, CaptionForOneAndForSeveral)
{
    EXPECT_EQ(InfoTexts::SelectionCaption(QStringLiteral("山田"), QStringLiteral("山田"), 1),
              QStringLiteral("山田さんを選択しています。"));
    EXPECT_EQ(InfoTexts::SelectionCaption(QStringLiteral("A"), QStringLiteral("C"), 3),
              QStringLiteral("Aさん ～ Cさんを選択しています。(計:3人)"));
}

TEST(InfoTexts, MemoHeaderNamesTheSenderOrAGuest)
{
    const QDateTime at(QDate(2024, 5, 1), QTime(9, 5));
    EXPECT_EQ(InfoTexts::MemoHeader(QStringLiteral("山田"), false, at),
              QStringLiteral("○山田より(伝言)     送信日時: 2024年 5月1日(水) 9時5分\n\n"));
    EXPECT_EQ(InfoTexts::MemoHeader(QString(), true, at),
              QStringLiteral("○ゲストより(Vurna便) 送信日時: 2024年 5月1日(水) 9時5分\n\n"));
}

struct ReturnCase
{
    QByteArray date;
    QByteArray time;
    QString shown;
};

class ReturnText : public ::testing::TestWithParam<ReturnCase>
{
};

TEST_P(ReturnText, DatesAreSpelledOutOtherTextStandsAsItIs)
{
    EXPECT_EQ(InfoTexts::ReturnText(GetParam().date, GetParam().time, QDate(2024, 4, 20)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ReturnText,
    ::testing::Values(ReturnCase{"2024/05/01", "9:05", QStringLiteral("2024年 5月1日(水) 9時05分")},
                      ReturnCase{"2024/05/01", "", QStringLiteral("2024年 5月1日(水)")},
                      ReturnCase{"2024/05/01", "25:00", QStringLiteral("2024年 5月1日(水)")},
                      ReturnCase{"\x95\x73\x8d\xdd", "", QStringLiteral("不在")},
                      ReturnCase{"9:00", "", QStringLiteral("9:00")}, ReturnCase{"", "", QString()}));

struct RefusalCase
{
    QString text;
    bool reasonRefused;
    bool memoRefused;
};

class Refusal : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(Refusal, TextThatTheFilesCannotCarryBackIsRefused)
{
    EXPECT_EQ(InfoTexts::RefusalForReason(GetParam().text).has_value(), GetParam().reasonRefused);
    EXPECT_EQ(InfoTexts::RefusalForMemo(GetParam().text).has_value(), GetParam().memoRefused);
}

INSTANTIATE_TEST_SUITE_P(Texts, Refusal,
                         ::testing::Values(RefusalCase{QStringLiteral("出張 〜 大阪"), false, false},
                                           RefusalCase{QStringLiteral("会議\"A\"室"), false, false},
                                           RefusalCase{QStringLiteral("\"会議\""), true, false},
                                           RefusalCase{QStringLiteral("会議 \"A\"\n東京"), true, false},
                                           RefusalCase{QStringLiteral("会議 \"A\"  \n東京"), false, false},
                                           RefusalCase{QStringLiteral("emoji 😀"), true, true},
                                           RefusalCase{QStringLiteral("한국"), true, true}));

} // namespace
