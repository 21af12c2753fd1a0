#include "app/command_line.h"
#include "app/program.h"
#include "core/clock.h"
#include "core/final_cleanup.h"
#include "crash/crash_reporter.h"
#include "gui/qt_front_end.h"
#include "screen/screen_source_choice.h"

#include <QApplication>
#include <QFont>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int runProgram(int argc, char** argv)
{
    // On a Wayland desktop the windows stay X11 clients (Xwayland): only there may a program
    // place its windows, which the region frame and picker need. The screen itself comes from
    // the desktop's ScreenCast portal.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));
    velmora::QtFrontEnd frontEnd;

    // The choice goes to the log: on Wayland it decides whether presenting can work at all.
    const auto openScreen = [](const std::string& workFolder) {
        velmora::ScreenChoice choice = velmora::chooseScreenSource(workFolder);
        std::fprintf(stderr, "velmora: %s\n", choice.note.c_str());
        return std::move(choice.source);
    };
    // The final cleanup puts the previous handlers back.
    const auto installReporter = [](const std::string& programFolder) {
        velmora::installCrashReporter(velmora::crashHelpersIn(programFolder));
    };
    const velmora::ProgramParts parts{
        frontEnd,        velmora::systemClock(),          openScreen,
        installReporter, [] { velmora::finalCleanup(); }, velmora::kImageLibraryFile};
    velmora::runProgram(parts);
    velmora::finalCleanup();
}

} // namespace

int main(int argc, char** argv)
{
    // Before Qt starts: help and version need no display, and Qt would take some options
    // (-display, -platform) as its own.
    const std::string programName = argc > 0 && argv[0] != nullptr ? argv[0] : "velmora";
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const auto tell = [](const std::string& text, bool error) {
        std::FILE* stream = error ? stderr : stdout;
        return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
    };
    return velmora::runFromCommandLine(programName, arguments, tell,
                                       [&] { return runProgram(argc, argv); });
}
