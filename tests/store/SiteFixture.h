#pragma once

#include "platform/Clock.h"
#include "store/ParmRec.h"
#include "store/SiteConfig.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

#include <initializer_list>

// A shared directory with the own board in it, and helpers to write its vurna.ini (CP932,
// CR LF) and load it.
class SiteFixture : public ::testing::Test
{
protected:
    SiteFixture() : clock(QDateTime(QDate(2024, 3, 8), QTime(9, 5, 7)))
    {
        ParmRec own;
        own.ShareDir = share.dataSource();
        own.BoardName = "own";
        boards.append(own);
        context.clock = &clock;
        context.retry = RetryPolicy{1, 0, {}};
    }

    static QByteArray ini(std::initializer_list<QByteArray> lines)
    {
        QByteArray text;
        for (const QByteArray& l : lines)
            text += l + "\r\n";
        return text;
    }

    bool load(const QByteArray& text, bool ownBoard = true)
    {
        share.writeBytes(QStringLiteral("vurna.ini"), text);
        return SiteConfig::Load(boards[0].ShareDir, boards, 0, ownBoard, context);
    }

    ParmRec& own() { return boards[0]; }

    TestShare share;
    FixedClock clock;
    SiteConfigContext context;
    ParmRecList boards;
};
