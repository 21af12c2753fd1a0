#pragma once
// Work that talks to a server runs while the presenter waits for it, but the windows must not
// freeze meanwhile: the work gets a thread of its own, and the GUI thread keeps painting and
// shows the message boxes the work asks for. The presenter's input waits until the work has
// ended, as it did while the GUI thread did the work itself, even when a box showed meanwhile
// (held_input.h).

#include <functional>

namespace velmora {

// GUI thread; returns once work has ended.
void runWhileRepainting(const std::function<void()>& work);

} // namespace velmora
