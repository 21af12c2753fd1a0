#pragma once
// A fresh folder below the system's temporary folder for one test or benchmark, private to the
// user (as mkdtemp makes it), removed with everything in it at the end.

#include <string>

namespace velmora::test {

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; } // no trailing "/"
    // With the trailing "/" that the program's own folders carry.
    std::string folder() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace velmora::test
