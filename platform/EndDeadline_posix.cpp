#include "platform/EndDeadline.h"

#include <cstdlib>

void EndDeadline::EndNow()
{
    std::_Exit(0);
}
