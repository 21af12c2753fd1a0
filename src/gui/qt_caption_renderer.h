#pragma once
// The caption line drawn with QtGui: Arial 8 pt bold (a metric-compatible face where Arial is
// missing), sized for the screen's logical dots per inch; measured once, on the first call.
// Needs the program's QGuiApplication; without one the box is drawn without text.

#include "capture/caption_renderer.h"

namespace velmora {

CaptionRenderer& qtCaptionRenderer();

} // namespace velmora
