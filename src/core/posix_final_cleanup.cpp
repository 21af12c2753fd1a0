#include "core/final_cleanup.h"

#include <unistd.h>

namespace velmora {

void endProcessAtOnce()
{
    // Not exit(): static destructors would run while an Upload thread may still use what they
    // destroy.
    ::_exit(0);
}

} // namespace velmora
