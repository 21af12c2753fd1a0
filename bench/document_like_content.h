#pragma once
// A presenter's screen showing a document: a word processor filling the screen, with its menu and
// tool bars, a white page of black text (headings, paragraphs, a table) on a grey desk, and a
// task bar. Deterministic, so runs compare.

#include "png/rgb_picture.h"

namespace velmora::bench {

// Needs a QGuiApplication (fonts).
RgbPicture documentLikeContent(int width, int height);

} // namespace velmora::bench
