#include "publish/presentation_state.h"

#include "core/message_titles.h"

#include <utility>

namespace velmora {

void SharedPresentation::start()
{
    state_ = PresentationState::Running;
    firstFailureTime_ = 0;
    spectators_.forget();
}

void SharedPresentation::autostart()
{
    state_ = PresentationState::Running;
    spectators_.forget();
}

void SharedPresentation::stop()
{
    state_ = PresentationState::Stopped;
    firstFailureTime_ = 0;
    stops_.fetch_add(1);
}

void SharedPresentation::clear()
{
    state_ = PresentationState::Cleared;
    firstFailureTime_ = 0;
    // A cycle still under way cannot put back the picture that the black one replaces.
    spectators_.forget();
}

void SharedPresentation::stopWithMessage(MessageBoxes& boxes, const std::string& text)
{
    state_ = PresentationState::Stopped;
    boxes.show(titles::kError, text, BoxButtons::Ok, BoxModality::SystemModal);
}

void SharedPresentation::reportFailure(MessageBoxes& boxes, const std::string& text)
{
    state_ = PresentationState::Stopped;
    firstFailureTime_ = 0;
    boxes.show(titles::kError, text, BoxButtons::Ok, BoxModality::SystemModal);
}

bool SharedPresentation::failureNoted(Clock& clock, MessageBoxes& boxes, std::int32_t retrySeconds,
                                      const std::string& message)
{
    const std::int64_t now = clock.steadySeconds();
    std::int64_t first = firstFailureTime_.load();
    if (first == 0) {
        first = now;
        firstFailureTime_ = now;
    }
    // Whole seconds, strictly less; in 64 bits so that a large window cannot wrap around.
    if (first + static_cast<std::int64_t>(retrySeconds) >= now)
        return false;
    reportFailure(boxes, message);
    return true;
}

std::int32_t SharedPresentation::advancePictureNumber(PictureAdvance advance)
{
    const std::int32_t current = pictureNumber_.load();
    // Before the first picture there is no name to hold on to: holding 0 would publish a fourth
    // file "Velmora0.png" that clearing never overwrites.
    const bool hold = advance == PictureAdvance::HoldWhileFailing &&
                      firstFailureTime_.load() != 0 && current >= 1 && current <= 3;
    const std::int32_t next = hold ? current : (current >= 1 && current < 3) ? current + 1 : 1;
    pictureNumber_ = next;
    return next;
}

std::int32_t SharedPresentation::pictureUploaded(std::string timeText)
{
    uploadTimeText_.set(std::move(timeText));
    return uploadCounter_.fetch_add(1) + 1;
}

} // namespace velmora
