#pragma once
// Short outages of a running presentation stay silent: a failed step of the presentation cycle
// is reported only when it happens more than the retry window after the first failure that has
// not been reported yet.

#include "publish/presentation_state.h"
#include "core/clock.h"
#include "core/message_boxes.h"

#include <cstdint>
#include <string>

namespace velmora {

// Records the first failure's time (steady-clock seconds); a failure strictly more than
// retrySeconds later stops the presentation, clears the time and shows message in a
// system-modal "Fehler" box, waiting for OK. Returns true when it reported.
bool noteCycleFailure(SharedPresentation& shared, Clock& clock, MessageBoxes& boxes,
                      std::int32_t retrySeconds, const std::string& message);

} // namespace velmora
