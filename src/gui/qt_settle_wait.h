#pragma once
// A wait on the GUI thread that keeps painting. After a window of ours has been hidden, the
// windows beneath it (our own main window among them) must repaint before the screen is copied;
// a plain sleep would leave the hidden window's last pixels on the screen for X11 has no
// compositor to keep them.

namespace velmora {

// Serves paint, expose and timer events for the given time; the presenter's input waits until
// afterwards.
void waitWhileRepainting(int milliseconds);

} // namespace velmora
