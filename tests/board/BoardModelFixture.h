#pragma once

#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "support/BoardFixtures.h"

#include <gtest/gtest.h>

// Three members loaded from a share whose change stamp stands at 41, naming 阿部.
class BoardModelFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        share.writeBytes(QStringLiteral("Ito.vrn"),
                         memberFile(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊藤"), QStringLiteral("sales")));
        share.writeBytes(QStringLiteral("ueda.vrn"),
                         memberFile(QStringLiteral("ｳｴﾀﾞ"), QStringLiteral("上田"), QStringLiteral("SALES")));
        share.writeBytes(QStringLiteral("abe.vrn"),
                         memberFile(QStringLiteral("ｱﾍﾞ"), QStringLiteral("阿部"), QStringLiteral("総務")));
        share.writeBytes(QStringLiteral("timestmp.dat"), "41\r\nABE\r\n");
        model.SetDataSource(share.dataSource());
        model.Reload(AllMembers);
    }

    QByteArray path(const char* base) const { return share.dataSource() + base; }

    TestShare share;
    BoardModel model;
};
