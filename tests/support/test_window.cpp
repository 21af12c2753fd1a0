#include "support/test_window.h"

namespace velmora::test {

std::vector<std::string> testWindowCommand(const TestWindow& window)
{
    const ScreenArea& area = window.area;
    std::vector<std::string> command = {TEST_WINDOW_BINARY, "--area",
                                        std::to_string(area.left) + "," + std::to_string(area.top) +
                                            "," + std::to_string(area.width) + "," +
                                            std::to_string(area.height)};
    if (!window.colour.empty())
        command.insert(command.end(), {"--colour", window.colour});
    if (window.changeEveryMs > 0)
        command.insert(command.end(), {"--changing", std::to_string(window.changeEveryMs)});
    if (window.repaintEveryMs > 0)
        command.insert(command.end(), {"--repaint", std::to_string(window.repaintEveryMs)});
    if (!window.title.empty())
        command.insert(command.end(), {"--title", window.title});
    return command;
}

} // namespace velmora::test
