#pragma once
// A private X display (Xvfb) for one test, on a number the server picks itself; gone when the
// test ends.

#include <string>
#include <sys/types.h>

namespace velmora::test {

class VirtualDisplay {
public:
    VirtualDisplay(int width = 1024, int height = 768);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    const std::string& name() const { return name_; } // ":N"

private:
    void stop();

    std::string name_;
    pid_t pid_ = -1;
};

} // namespace velmora::test
