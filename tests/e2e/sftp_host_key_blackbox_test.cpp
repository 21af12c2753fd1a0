// Host keys the real program must never publish to, over sftp:// against a private sshd, with
// every message box answered by its default button: a key that the presenter's ~/.ssh/known_hosts
// revokes although the program's own known_hosts accepted it earlier, and a key that differs from
// the one ssh wrote for the server under the name as ssh spells it (lower case, one pair of
// brackets around an IPv6 address). The presenter is told with an error box, nothing reaches the
// server, not even a login, no file learns the key, and Exit still ends the program.

#include "settings/credential_scrambling.h"
#include "support/desktop_session.h"
#include "support/file_bytes.h"
#include "support/loopback_port.h"
#include "support/program_on_screen.h"
#include "support/sshd_fixture.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Long enough for several cycles of one second each after the first one has been refused.
constexpr auto kWatchedTime = 8s;

struct RefusedKey {
    const char* name;
    // The server as the presenter typed it into the server name, and as ssh wrote it into
    // ~/.ssh/known_hosts.
    const char* typedHost;
    const char* sshHost;
    // True: the server's own key, revoked by the presenter; false: a key ssh knew before the
    // server was given a new one.
    bool revoked;
    bool ipv6;
};

void PrintTo(const RefusedKey& key, std::ostream* out)
{
    *out << key.name;
}

const RefusedKey kRefusedKeys[] = {
    {"RevokedAfterItWasAccepted", "127.0.0.1", "127.0.0.1", true, false},
    {"ChangedForAMixedCaseName", "LocalHost", "localhost", false, false},
    {"ChangedForAnIpv6Address", "[::1]", "::1", false, true},
};

std::vector<std::string> preferences(const Sshd& sshd, const std::string& typedHost)
{
    // A retry window far beyond the watched time: an error box within it is the refusal of the
    // key, never a server that could not be reached.
    return {"SettingVersion=2",
            "FTPServerName=sftp://" + typedHost + ":" + std::to_string(sshd.port()),
            "FTPUserName=" + EncodeCredential(sshd.user(), kUserNameSelector),
            "FTPWebDir=",
            "FTPSubDir=show/",
            "LizenzSite=http://www.example.com/",
            "PauseSeconds=1",
            "RemoteMousePointer=1",
            "Force256=0",
            "ForceDownscale=0",
            "AutostartPresentation=0",
            "ScreenRegion=",
            "BrowserRefresh=500",
            "InternetRetryTime=300"};
}

// Answers every box of the program with its default button until the time is over or uploaded()
// holds; the titles of the boxes that came up, each box once, in their order.
std::vector<std::string> answerEveryBoxUntil(DesktopSession& session,
                                             std::chrono::milliseconds limit,
                                             const std::function<bool()>& uploaded)
{
    std::vector<std::string> titles;
    std::map<std::string, bool> seen;
    waitUntil(
        limit,
        [&] {
            for (const std::string title : {"Velmora", "Information", "Fehler"}) {
                for (const auto& box : session.messageBoxes(title)) {
                    if (!seen[box.id])
                        titles.push_back(title);
                    seen[box.id] = true;
                    session.pressKey("Return");
                    // Gone before the next look, so that no Return falls on another window.
                    waitUntil(3s, [&] {
                        for (const auto& open : session.messageBoxes(title))
                            if (open.id == box.id)
                                return false;
                        return true;
                    });
                }
            }
            return uploaded();
        },
        300ms);
    return titles;
}

struct HostKeyBlackBox : ::testing::TestWithParam<RefusedKey> {};

TEST_P(HostKeyBlackBox, RefusedKeyIsReportedAndNothingIsUploaded)
{
    const RefusedKey& key = GetParam();
    SshdOptions options;
    options.ipv6Too = key.ipv6;
    Sshd sshd(options);
    if (key.ipv6 && !acceptsIpv6Connections(sshd.port()))
        GTEST_SKIP() << "sshd cannot listen on ::1 here";
    const std::string show = sshd.home() + "/show";
    fs::create_directories(show);

    DesktopSession session;
    session.writePreferences(preferences(sshd, key.typedHost));
    // The presenter's own login key and known hosts, where ssh keeps them.
    const std::string ssh = session.home() + "/.ssh/";
    fs::create_directories(ssh);
    fs::copy_file(sshd.clientKey(), ssh + "id_ed25519");
    fs::copy_file(sshd.clientKey() + ".pub", ssh + "id_ed25519.pub");
    const std::string ownKnownHosts = session.configHome() + "/Velmora/known_hosts";
    if (key.revoked) {
        ASSERT_TRUE(
            writeFileBytes(ssh + "known_hosts", "@revoked " + sshd.knownHostsLine(key.sshHost)));
        ASSERT_TRUE(writeFileBytes(ownKnownHosts, sshd.knownHostsLine(key.sshHost)));
        fs::permissions(ownKnownHosts, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace);
    } else {
        ASSERT_TRUE(writeFileBytes(ssh + "known_hosts", sshd.knownHostsLine(key.sshHost)));
        sshd.replaceHostKey();
        if (key.ipv6) {
            ASSERT_TRUE(waitUntil(10s, [&] { return acceptsIpv6Connections(sshd.port()); }))
                << "sshd no longer listens on ::1 after its new key";
        }
    }
    const std::string presenterFileBefore = fileBytes(ssh + "known_hosts");
    const std::string ownFileBefore = fileBytes(ownKnownHosts);

    ProgramOnScreen program(session);
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    const auto titles =
        answerEveryBoxUntil(session, kWatchedTime, [&] { return !fs::is_empty(show); });

    std::string uploaded;
    for (const auto& entry : fs::directory_iterator(show))
        uploaded += " " + entry.path().filename().string();
    EXPECT_EQ(uploaded, "") << session.log();
    EXPECT_EQ(sshd.logins(), 0);
    // The start message, then the refusal; no question that a default Yes would answer.
    EXPECT_EQ(titles, (std::vector<std::string>{"Velmora", "Fehler"}))
        << session.describeWindows() << "\n"
        << session.log();
    EXPECT_EQ(fileBytes(ownKnownHosts), ownFileBefore);
    EXPECT_EQ(fileBytes(ssh + "known_hosts"), presenterFileBefore);

    program.exit();
}

INSTANTIATE_TEST_SUITE_P(Keys, HostKeyBlackBox, ::testing::ValuesIn(kRefusedKeys),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora::test
