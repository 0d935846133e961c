// The defaults file lies in the share beside the member's status file, where anyone can
// change it; it is read when the member ends the program.
#include "FuzzSupport.h"

#include "store/DefaultValueFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DefaultValueFile::ParseDefaultValue(fuzz::bytes(data, size));
    return 0;
}
