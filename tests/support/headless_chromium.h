#pragma once
// Headless Chromium as the spectator's browser in tests: a fresh profile of its own, a viewport of
// a given size, no screen, and nothing to reach but 127.0.0.1. Ended together with every helper
// process it started when the object goes.

#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class HeadlessChromium {
public:
    // arguments: what it is to do, after the common switches (an address, "--dump-dom",
    // "--remote-debugging-pipe", ...). descriptors: pipe ends it gets as its own descriptors
    // (its number -> this process's descriptor).
    HeadlessChromium(int viewportWidth, int viewportHeight,
                     const std::vector<std::string>& arguments,
                     const std::map<int, int>& descriptors = {});

    LaunchedProgram& process() { return process_; }
    // A folder that lives as long as the browser, for files to hand over.
    std::string file(const std::string& name) const { return folder_.file(name); }
    // What the browser printed so far.
    std::string output() const;

private:
    TemporaryFolder folder_; // first: it outlives the browser that uses it
    LaunchedProgram process_;
};

} // namespace velmora::test
