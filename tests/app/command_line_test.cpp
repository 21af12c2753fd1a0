#include "app/command_line.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

CommandLineAction actionOf(const std::vector<std::string>& arguments)
{
    return readCommandLine(arguments).action;
}

TEST(CommandLine, NoArgumentsStartTheProgramAsAlways)
{
    EXPECT_EQ(actionOf({}), CommandLineAction::Run);
}

TEST(CommandLine, HelpAndVersionAreTheOnlyOptions)
{
    EXPECT_EQ(actionOf({"--help"}), CommandLineAction::PrintHelp);
    EXPECT_EQ(actionOf({"-h"}), CommandLineAction::PrintHelp);
    EXPECT_EQ(actionOf({"--version"}), CommandLineAction::PrintVersion);
    // Both given: the help, which names the version option too.
    EXPECT_EQ(actionOf({"--version", "--help"}), CommandLineAction::PrintHelp);
    EXPECT_EQ(actionOf({"--help", "--help"}), CommandLineAction::PrintHelp);

    // Near misses and Qt's own options are not taken: only the documented spellings work.
    for (const std::string wrong : {"-H", "-v", "--HELP", "--help=1", "--vers", "-help",
                                    "--version ", "-platform", "-display", "--", "-", ""}) {
        const CommandLineRequest request = readCommandLine({wrong});
        EXPECT_EQ(request.action, CommandLineAction::UsageError) << "'" << wrong << "'";
        EXPECT_EQ(request.offending, wrong);
    }
}

TEST(CommandLine, AMistakeAnywhereIsReportedEvenBesideHelp)
{
    const CommandLineRequest request = readCommandLine({"--help", "--verbose", "--bogus"});
    EXPECT_EQ(request.action, CommandLineAction::UsageError);
    EXPECT_EQ(request.offending, "--verbose");
    EXPECT_EQ(readCommandLine({"presentation.prf"}).action, CommandLineAction::UsageError);
}

TEST(CommandLine, UsageErrorNamesTheArgumentAndTheValidForm)
{
    EXPECT_EQ(usageErrorText("/usr/bin/velmora", "--bogus"),
              "velmora: unknown option '--bogus'\n"
              "Try 'velmora --help' for more information.\n");
    EXPECT_EQ(usageErrorText("velmora", "file"), "velmora: unexpected argument 'file'\n"
                                                 "Try 'velmora --help' for more information.\n");
}

TEST(CommandLine, ControlCharactersNeverReachTheTerminal)
{
    // An escape sequence in an argument would otherwise be run by the terminal that shows it.
    const std::string text = usageErrorText("./vel\x1b]0;x\amora", "--\x1b[2Jx\r\n");
    for (const char c : text)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20)
            << "control character " << int(c) << " in: " << text;
    EXPECT_NE(text.find("'--?[2Jx?"
                        "?'"),
              std::string::npos)
        << text;
}

TEST(CommandLine, HelpNamesTheProgramAsCalledWithoutItsFolder)
{
    const std::string help = helpText("/opt/velmora/bin/velmora");
    EXPECT_EQ(help.rfind("Usage: velmora [-h | --help | --version]\n", 0), 0u) << help;
    // The server field's address forms, each with its scheme.
    for (const char* scheme : {"ftp://", "ftpes://", "ftps://", "sftp://"})
        EXPECT_NE(help.find(scheme), std::string::npos) << scheme;
    // argv[0] may be empty; the usage line still names the program.
    EXPECT_EQ(helpText("").rfind("Usage: velmora ", 0), 0u);
}

} // namespace
} // namespace velmora
