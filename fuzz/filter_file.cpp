// The filter file lies in the share under the member's name and is read at every start.
#include "FuzzSupport.h"

#include "store/FilterFile.h"
#include "store/SiteConfigLine.h"

namespace {

// An own board and two others, one whose directory has trail bytes that are the separator
// (ソ表). Made once: a board's defaults take many conversions, which would be most of the work.
const ParmRecList& emptyBoards()
{
    static const ParmRecList boards = [] {
        ParmRecList b(3);
        b[0].ShareDir = "/SRV/OWN/";
        b[1].ShareDir = "/SRV/HONSYA/";
        b[2].ShareDir = "/SRV/\x83\x5C\x95\x5C/";
        return b;
    }();
    return boards;
}

// Whether a value line of the written file reads as another board's section header. Member
// names, group names and marks never take that form; only a file edited by hand gives it, and
// the value then moves to that board's section on the next reading.
bool valueNamesABoard(const QByteArray& written)
{
    const QList<QByteArray> lines = SiteConfigLine::SplitLines(written);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i % 6 == 0) // the headers Build writes: six lines to a board
            continue;
        for (qsizetype b = 1; b < emptyBoards().size(); ++b) {
            if (lines.at(i) == '[' + emptyBoards().at(b).ShareDir + ']')
                return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    emptyBoards();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    ParmRecList boards = emptyBoards();
    FilterFile::Apply(fuzz::bytes(data, size), boards);
    // Written back at the end of the run and read again at the next start: the second
    // reading must give the state the first one did.
    const QByteArray written = FilterFile::Build(boards);
    ParmRecList again = emptyBoards();
    FilterFile::Apply(written, again);
    FUZZ_CHECK(FilterFile::Build(again) == written || valueNamesABoard(written));
    return 0;
}
