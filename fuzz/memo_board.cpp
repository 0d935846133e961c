// Memos are written into the share by every other member; the memo view lays out whatever
// the two memo files hold. Input: a flags byte, the unread memos, a zero byte, the read memos.
#include "FuzzSupport.h"

#include "store/MemoBoardPhases.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024)
        return 0;
    const bool hideMarker = data[0] & 1;
    MemoFiles::Board board;
    board.hadUnread = data[0] & 2;
    std::tie(board.unread, board.read) = fuzz::splitAtZero(fuzz::bytes(data + 1, size - 1));
    for (const MemoBoardPhases::Phase& phase : MemoBoardPhases::phasesOf(board, hideMarker)) {
        for (const QByteArray& line : phase.lines) {
            MemoBoardPhases::colourOf(phase, line);
            MemoBoardPhases::pointSizeOf(line);
            Cp932::toUnicode(line);
        }
        // The view holds the lines joined again and saves that text as the read memos: the
        // lines must survive the trip.
        FUZZ_CHECK(MemoFiles::splitLines(MemoFiles::joinLines(phase.lines)) == phase.lines);
    }
    return 0;
}
