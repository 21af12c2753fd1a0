#pragma once
// The program from start-up to shut-down, on any front end: folders, single-instance guard,
// crash reporter, screen, image library, main window, settings, region frame, the event loop
// with the presentation control, and the orderly way out.

#include "app/front_end.h"
#include "capture/image_library.h"
#include "core/clock.h"
#include "screen/screen_source.h"

#include <functional>
#include <memory>
#include <string>

namespace velmora {

struct ProgramParts {
    FrontEnd& frontEnd;
    Clock& clock;
    // The screen the capture reads, chosen once at start-up; workFolder holds what the choice
    // remembers.
    std::function<std::unique_ptr<ScreenSource>(const std::string& workFolder)> openScreen;
    // Faults from then on are reported; programFolder holds the crash reporter's helpers.
    std::function<void(const std::string& programFolder)> installCrashReporter;
    // The final cleanup: every way out ends here, and in the program it does not return.
    std::function<void()> endProgram;
    std::string imageLibraryFile = kImageLibraryFile;
};

// Runs the whole program; returns only when endProgram returns (never, in the program itself).
void runProgram(const ProgramParts& parts);

} // namespace velmora
