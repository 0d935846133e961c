#pragma once

#include "MainFixture.h"
#include "support/SlowShareMount.h"

#include <functional>
#include <memory>

// The board window of 山田 on a share served through slowshare, whose server a test can stop as
// a file server that no longer answers. POSIX only (FUSE).
class StoppableServer : public MainFixture
{
protected:
    // Serves the share and starts the window on it; skips without FUSE. `fill` gets the served
    // folder (no trailing '/') for files that name it.
    void ServeAndStart(const std::function<void(const QString& served)>& fill = {})
    {
        mount = std::make_unique<SlowShareMount>(share.realPath(), 0, false);
        if (!mount->skipReason().isEmpty())
            GTEST_SKIP() << mount->skipReason().toStdString();
        if (fill)
            fill(mount->mountPath());
        const QString served = mount->mountPath() + QLatin1Char('/');
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        setSetting(QStringLiteral("ShareDir"), served);
        setSetting(QStringLiteral("FileName"), served + QStringLiteral("yamada"));
        ASSERT_TRUE(start());
    }
    void TearDown() override
    {
        // The window's end must not wait for a server the test left stopped.
        if (mount)
            mount->SetAnswering(true);
        window.reset();
        session.reset();
    }

    std::unique_ptr<SlowShareMount> mount;
};
