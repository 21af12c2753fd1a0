#pragma once
// How the logic talks to the presenter: every message box goes through this interface, so that
// tests can record what would have been shown and answer questions themselves.

#include <string>

namespace velmora {

// YesNo has Yes as its default button; YesNoDefaultNo is for questions where a hasty Return must
// not say yes.
enum class BoxButtons { Ok, YesNo, YesNoDefaultNo };
enum class BoxAnswer { Ok, Yes, No };
// SystemModal boxes stay above every window and may be raised from any thread; the calling thread
// waits until the box is closed.
enum class BoxModality { Ordinary, SystemModal };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // title and text are Windows-1252 bytes; lines end with "\r\n".
    virtual BoxAnswer show(const std::string& title, const std::string& text,
                           BoxButtons buttons = BoxButtons::Ok,
                           BoxModality modality = BoxModality::Ordinary) = 0;
};

} // namespace velmora
