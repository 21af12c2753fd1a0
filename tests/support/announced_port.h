#pragma once
// The port a helper server chose itself and printed as "PORT <n>" once it listens.

#include "support/launched_program.h"

#include <string>

namespace velmora::test {

// Waits (bounded) for the line in the helper's output file; throws with that output when the
// helper ended or stayed silent.
int waitForAnnouncedPort(LaunchedProgram& process, const std::string& outputFile);

} // namespace velmora::test
