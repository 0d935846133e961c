// The reason history lies in the share, where anyone can change it, and is merged with what
// the member types. Input: the file's text, a zero byte, the typed text.
#include "FuzzSupport.h"

#include "platform/SjisText.h"
#include "store/HistoryFile.h"
#include "store/MemoFiles.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The merge compares every typed line with every stored line; a real history has sixteen
    // lines and a reason a few, so beyond 8 KiB the fuzzer would only measure that square.
    if (size > 8 * 1024)
        return 0;
    const auto [oldText, newText] = fuzz::splitAtZero(fuzz::bytes(data, size));
    MemoFiles::splitLines(oldText);
    const QByteArray merged = HistoryFile::MergeHistory(oldText, newText, HistoryFile::MaxLines - 1);
    // What the file promises its readers: at most MaxLines lines, none of them blank.
    const QList<QByteArray> lines = MemoFiles::splitLines(merged);
    FUZZ_CHECK(lines.size() <= HistoryFile::MaxLines);
    for (const QByteArray& line : lines)
        FUZZ_CHECK(!SjisText::trim(line).isEmpty());
    return 0;
}
