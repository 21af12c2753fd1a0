#include "crash/crash_box_session.h"

#include <unistd.h>

namespace velmora {

void leaveFaultingSession()
{
    ::setsid();
}

void closeAnswerStream()
{
    ::close(STDOUT_FILENO);
}

} // namespace velmora
