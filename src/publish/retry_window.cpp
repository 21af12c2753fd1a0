#include "publish/retry_window.h"

#include "core/message_titles.h"
#include "publish/publish_messages.h"

namespace velmora {

bool noteCycleFailure(SharedPresentation& shared, Clock& clock, MessageBoxes& boxes,
                      std::int32_t retrySeconds, const std::string& message)
{
    const std::int64_t now = clock.steadySeconds();
    std::int64_t first = shared.firstFailureTime.load();
    if (first == 0) {
        first = now;
        shared.firstFailureTime = now;
    }
    // Whole seconds, strictly less; in 64 bits so that a large window cannot wrap around.
    if (first + static_cast<std::int64_t>(retrySeconds) >= now)
        return false;
    shared.state = PresentationState::Stopped;
    shared.firstFailureTime = 0;
    boxes.show(titles::kError, message, BoxButtons::Ok, BoxModality::SystemModal);
    return true;
}

} // namespace velmora
