#pragma once
// The help that *Hilfe → Online Hilfe* and the about box's link open: the README as rendered
// into HTML and installed with the program, since the program has no help site of its own.

#include <functional>
#include <string>

namespace velmora {

struct HelpPage {
    std::string address; // a file:// address for the browser
    std::string shown;   // the same place as the presenter reads it: a path
};

// Looks beside the program (programFolder ends with a separator) for doc/README.html, as a build
// folder and the Windows program folder hold it, then for ../share/doc/velmora/README.html, where
// a package installs it next to bin/. Without either, the package's place is named all the same:
// the browser then says what is missing, which tells more than silence.
HelpPage installedHelpPage(const std::string& programFolder,
                           const std::function<bool(const std::string&)>& exists);

// "file://" and the absolute path with "/" separators, a drive letter after a third "/", and
// every byte outside the unreserved characters and "/" percent-encoded.
std::string fileAddress(const std::string& absolutePath);

} // namespace velmora
