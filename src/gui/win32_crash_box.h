#pragma once
// The crash box on Windows: the program started again by its crash reporter with the facts of a
// fault (crash/crash_box_request.h). It builds the report, puts its first part on the clipboard,
// shows it in the "ERROR" box with Yes and No and answers through its exit code.

#include <string>
#include <vector>

namespace velmora {

// arguments: those after the crash box argument. Returns the exit code.
int runCrashBox(const std::vector<std::string>& arguments);

} // namespace velmora
