#pragma once

namespace velmora {

// Start-up, the event loop and shut-down. Never returns: every way out ends the process through
// the final cleanup with exit code 0.
[[noreturn]] void runProgram(int argc, char** argv);

} // namespace velmora
