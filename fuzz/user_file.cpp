// Every member's status file is written by another PC, and every copy reads all of them on
// each load: whatever a file holds, reading it must not fault.
#include "FuzzSupport.h"

#include "board/UserFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text = fuzz::bytes(data, size);
    TVurnaDataRec record;
    ParseUserFile(text, record);
    // The record goes on to be written back by its owner and compared by every copy.
    const QByteArray written = BuildUserFileText(record);
    TVurnaDataRec again;
    ParseUserFile(written, again);
    ParseDecimal(text);
    ParseWholeNumber(text);
    return 0;
}
