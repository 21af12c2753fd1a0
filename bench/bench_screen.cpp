#include "bench_screen.h"

#include <cstdio>

namespace velmora::bench {

BenchScreen::BenchScreen(int width, int height, char* programName, RgbPicture (*content)(int, int))
    : qtScreen_(test::QtScreenKind::Offscreen), argv_{programName, nullptr},
      application_(argc_, argv_), display_(std::nothrow, width, height)
{
    if (!display_.running())
        std::fprintf(stderr, "Xvfb did not start\n");
    else
        display_.showOnRoot(content(width, height));
}

} // namespace velmora::bench
