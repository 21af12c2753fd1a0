#include "app/command_line.h"

#include "core/program_version.h"

namespace velmora {
namespace {

// An argument is echoed back to a terminal: control characters in it must not reach the
// terminal as commands.
std::string printable(const std::string& text)
{
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return shown;
}

// The name the user typed, without its folder, as usage lines conventionally show it.
std::string shortName(const std::string& programName)
{
    const auto slash = programName.rfind('/');
    std::string name = slash == std::string::npos ? programName : programName.substr(slash + 1);
    return name.empty() ? std::string("velmora") : printable(name);
}

// Where the help says the settings are kept.
#ifdef _WIN32
constexpr const char* kPreferenceFileShown = "%APPDATA%\\Velmora\\Velmora.prf";
#else
constexpr const char* kPreferenceFileShown = "$XDG_CONFIG_HOME/Velmora/Velmora.prf";
#endif

} // namespace

CommandLineRequest readCommandLine(const std::vector<std::string>& arguments)
{
    // A mistyped option anywhere wins over --help: the user learns about the mistake instead
    // of getting a text that hides it.
    bool help = false;
    bool version = false;
    for (const auto& argument : arguments) {
        if (argument == "--help" || argument == "-h")
            help = true;
        else if (argument == "--version")
            version = true;
        else
            return {CommandLineAction::UsageError, argument};
    }
    if (help)
        return {CommandLineAction::PrintHelp, {}};
    if (version)
        return {CommandLineAction::PrintVersion, {}};
    return {};
}

std::string helpText(const std::string& programName)
{
    return "Usage: " + shortName(programName) +
           " [-h | --help | --version]\n"
           "Show your screen live to spectators in a web browser: Velmora uploads pictures of\n"
           "the screen by FTP, FTPS or SFTP into a folder of your web server.\n"
           "\n"
           "Without options the program opens its window; the settings are made there\n"
           "(Extras > Einstellungen) and kept in " +
           kPreferenceFileShown +
           ".\n"
           "\n"
           "The FTP server field takes these forms:\n"
           "  host, ftp://host      FTP (port 21), nothing encrypted\n"
           "  ftpes://host          FTP with TLS after connecting (port 21), all encrypted\n"
           "  ftps://host           FTP inside TLS from the start (port 990), all encrypted\n"
           "  sftp://host           SFTP over SSH (port 22), all encrypted; your SSH key\n"
           "                        or the password\n"
           "A port may follow the host (host:port).\n"
           "\n"
           "  -h, --help   show this help and exit\n"
           "  --version    show the version and exit\n";
}

std::string versionText()
{
    return std::string("Velmora ") + kProgramVersion + "\n";
}

std::string usageErrorText(const std::string& programName, const std::string& offending)
{
    const std::string name = shortName(programName);
    const std::string what = !offending.empty() && offending.front() == '-'
                                 ? "unknown option '" + printable(offending) + "'"
                                 : "unexpected argument '" + printable(offending) + "'";
    return name + ": " + what + "\nTry '" + name + " --help' for more information.\n";
}

int runFromCommandLine(const std::string& programName, const std::vector<std::string>& arguments,
                       const std::function<bool(const std::string& text, bool error)>& tell,
                       const std::function<int()>& run)
{
    const CommandLineRequest request = readCommandLine(arguments);
    switch (request.action) {
    case CommandLineAction::PrintHelp:
        return tell(helpText(programName), false) ? 0 : 1;
    case CommandLineAction::PrintVersion:
        return tell(versionText(), false) ? 0 : 1;
    case CommandLineAction::UsageError:
        tell(usageErrorText(programName, request.offending), true);
        return kUsageErrorExitCode;
    case CommandLineAction::Run:
        break;
    }
    return run();
}

} // namespace velmora
