// vurna.ini is the site's configuration in the share, read at every start and reload by
// every copy. The reader takes a folder, so the input is written into a share made once.
#include "FuzzSupport.h"

#include "platform/Clock.h"
#include "store/SiteConfig.h"

namespace {

// Removed at the end of the run with the other static objects.
fuzz::Share& share()
{
    static fuzz::Share made;
    return made;
}

bool mentionsShareMove(const QByteArray& text)
{
    return text.toUpper().contains("CHANGESHAREDIR");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    // Files that lines of the seeds name, so the reader goes past its existence checks.
    share().write(QStringLiteral("eigyo.grp"), "[ShareCustomGroup]\r\nYAMADA,SUZUKI\r\n");
    share().write(QStringLiteral("y.ico"), "icon");
    share().write(QStringLiteral("r.ico"), "icon");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A site file is a few dozen lines, and every line may name a file that is then opened:
    // a larger input adds file system calls, not code.
    if (size > 16 * 1024)
        return 0;
    const QByteArray text = fuzz::bytes(data, size);
    share().write(QStringLiteral("vurna.ini"), text);

    static const FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(9, 30)));
    SiteConfigContext context;
    context.clock = &clock;
    context.retry = RetryPolicy{1, 0, {}};
    context.memberName = "FUZZ";
    ParmRecList boards(1);
    boards[0].ShareDir = share().dataSource();
    // A share move names any folder on this machine as the new share, and the reader then
    // writes its log there; the fuzzer must not write outside its own folder, so such inputs
    // are read as another board's file, which never moves.
    const bool ownBoard = !mentionsShareMove(text);
    SiteConfig::Load(share().dataSource(), boards, 0, ownBoard, context);
    SiteConfig::ReadSortPriority(share().dataSource(), context.retry);
    // The log only grows; each input starts without one.
    share().remove(QStringLiteral("vurna.log"));
    return 0;
}
