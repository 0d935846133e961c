#pragma once

#include "CopyProcess.h"
#include "MainFixture.h"

#include <functional>
#include <memory>

// Three copies on one shared directory: this test process runs one board window (山田, driven
// as a user would), two real Vurna3 processes run beside it (鈴木 and 田中), each on its own
// loopback address.
class CopyWorld : public MainFixture
{
protected:
    // `udpLine` is the datagram line of vurna.ini; the polls run every `changeStampMinutes`.
    // `prepare` may change the copies' settings before they start.
    void startWorld(const QByteArray& udpLine, int changeStampMinutes,
                    const std::function<void(CopyProcess& suzuki, CopyProcess& tanaka)>& prepare = {});

    TVurnaDataRec shown(const char* fileNamePart);
    // Opens the tray menu and clicks one of its items with the mouse.
    void clickTrayItem(const char* name);

    quint16 port = 0;
    std::unique_ptr<CopyProcess> suzuki;
    std::unique_ptr<CopyProcess> tanaka;
};
