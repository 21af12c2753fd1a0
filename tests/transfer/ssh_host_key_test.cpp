// Host key fingerprints and known-hosts lookups, checked against what OpenSSH's own tools make.
#include "transfer/server_address.h"
#include "transfer/ssh_host_key.h"
#include "transfer/ssh_known_hosts_file.h"

#include "support/file_bytes.h"
#include "support/launched_program.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

struct SshHostKeyTest : ::testing::Test {
    test::TemporaryFolder folder;
    std::string key(const std::string& name)
    {
        test::commandOutput("ssh-keygen -q -t ed25519 -N '' -f '" + folder.file(name) + "'");
        const std::string pub = test::fileBytes(folder.file(name + ".pub"));
        const auto start = pub.find(' ') + 1;
        return pub.substr(start, pub.find(' ', start) - start);
    }
};

TEST_F(SshHostKeyTest, FingerprintAsSshKeygenPrintsIt)
{
    const std::string blob = decodeKeyBlob(key("k"));
    const std::string line = test::commandOutput("ssh-keygen -l -f '" + folder.file("k.pub") + "'");
    EXPECT_NE(line.find(" " + sshKeyFingerprint(blob) + " "), std::string::npos);
}

TEST_F(SshHostKeyTest, NamesCarryThePortUnless22)
{
    EXPECT_EQ(knownHostsName("example.org", 22), "example.org");
    EXPECT_EQ(knownHostsName("example.org", 2222), "[example.org]:2222");
}

// The name ssh itself looks up and writes for the server the presenter typed: lower case, the
// bare address on port 22, one pair of brackets around the address and the port otherwise.
struct OpenSshName {
    const char* typed;
    const char* name;
};

class KnownHostsNameTest : public SshHostKeyTest,
                           public ::testing::WithParamInterface<OpenSshName> {};

TEST_P(KnownHostsNameTest, IsTheNameOpenSshWrites)
{
    const auto address = parseServerAddress(GetParam().typed);
    ASSERT_TRUE(address);
    const std::string name = knownHostsName(address->host, address->port);
    EXPECT_EQ(name, GetParam().name);

    // Found where ssh wrote the key, plainly or hashed, and written so that ssh finds it.
    const std::string a = key("a");
    const std::string written = std::string(GetParam().name) + " ssh-ed25519 " + a + "\n";
    EXPECT_EQ(findKnownHost(written, name, decodeKeyBlob(a)), KnownHostMatch::Match);
    test::writeFileBytes(folder.file("hosts"), written);
    test::commandOutput("ssh-keygen -q -H -f '" + folder.file("hosts") + "' 2>/dev/null");
    const std::string hashed = test::fileBytes(folder.file("hosts"));
    ASSERT_EQ(hashed.rfind("|1|", 0), 0u);
    EXPECT_EQ(findKnownHost(hashed, name, decodeKeyBlob(a)), KnownHostMatch::Match);
    const SshKnownHostsFile file(folder.file("own"));
    ASSERT_TRUE(file.remember(name, decodeKeyBlob(a)));
    EXPECT_EQ(file.text(), written);
}

INSTANTIATE_TEST_SUITE_P(Typed, KnownHostsNameTest,
                         ::testing::Values(OpenSshName{"sftp://example.org", "example.org"},
                                           OpenSshName{"sftp://Example.ORG:22", "example.org"},
                                           OpenSshName{"sftp://LocalHost:2222", "[localhost]:2222"},
                                           OpenSshName{"sftp://[::1]:2222", "[::1]:2222"},
                                           OpenSshName{"sftp://[::1]", "::1"},
                                           OpenSshName{"sftp://FE80::A", "fe80::a"}));

TEST_F(SshHostKeyTest, NamesTheProgramStoredBeforeAreStillRead)
{
    // ssh compares plain names without regard to case, and the program once wrote IPv6
    // addresses with two pairs of brackets.
    const std::string a = key("a");
    EXPECT_EQ(findKnownHost("[LocalHost]:2222 ssh-ed25519 " + a + "\n", "[localhost]:2222",
                            decodeKeyBlob(a)),
              KnownHostMatch::Match);
    EXPECT_EQ(findKnownHost("[[::1]]:2222 ssh-ed25519 " + a + "\n", "[::1]:2222", decodeKeyBlob(a)),
              KnownHostMatch::Match);
    const SshKnownHostsFile file(folder.file("known_hosts"));
    test::writeFileBytes(folder.file("known_hosts"), "[[::1]]:2222 ssh-ed25519 " + key("b") + "\n");
    ASSERT_TRUE(file.remember("[::1]:2222", decodeKeyBlob(a)));
    EXPECT_EQ(file.text(), "[::1]:2222 ssh-ed25519 " + a + "\n");
}

TEST_F(SshHostKeyTest, PlainAndHashedNamesAreFound)
{
    const std::string a = key("a");
    const std::string b = key("b");
    const std::string text = "# comment\n"
                             "other.org ssh-ed25519 " +
                             b +
                             "\n"
                             "one.org,[two.org]:2222 ssh-ed25519 " +
                             a + "\n";
    EXPECT_EQ(findKnownHost(text, "[two.org]:2222", decodeKeyBlob(a)), KnownHostMatch::Match);
    EXPECT_EQ(findKnownHost(text, "two.org", decodeKeyBlob(a)), KnownHostMatch::Missing);
    std::string known;
    EXPECT_EQ(findKnownHost(text, "other.org", decodeKeyBlob(a), &known), KnownHostMatch::Mismatch);
    EXPECT_EQ(known, b);

    test::writeFileBytes(folder.file("hosts"), "[two.org]:2222 ssh-ed25519 " + a + "\n");
    test::commandOutput("ssh-keygen -q -H -f '" + folder.file("hosts") + "' 2>/dev/null");
    const std::string hashed = test::fileBytes(folder.file("hosts"));
    ASSERT_EQ(hashed.rfind("|1|", 0), 0u);
    EXPECT_EQ(findKnownHost(hashed, "[two.org]:2222", decodeKeyBlob(a)), KnownHostMatch::Match);
    EXPECT_EQ(findKnownHost(hashed, "[two.org]:2223", decodeKeyBlob(a)), KnownHostMatch::Missing);
}

TEST_F(SshHostKeyTest, RevokedKeyNeverMatches)
{
    const std::string a = key("a");
    const std::string text = "@revoked one.org ssh-ed25519 " + a +
                             "\n"
                             "one.org ssh-ed25519 " +
                             a + "\n";
    EXPECT_EQ(findKnownHost(text, "one.org", decodeKeyBlob(a)), KnownHostMatch::Revoked);
}

// An @revoked line refuses its key wherever it stands and whatever names it carries, and says
// nothing about other keys.
struct RevokedLines {
    const char* before; // lines before the revocation
    const char* names;  // the names on the @revoked line
    const char* after;  // lines after it
};

class RevokedKeyTest : public SshHostKeyTest, public ::testing::WithParamInterface<RevokedLines> {};

TEST_P(RevokedKeyTest, RefusesTheKeyBeforeAnyMatch)
{
    const std::string a = key("a");
    const std::string b = key("b");
    const auto lines = [&](const char* names) {
        return std::string(names).empty() ? std::string()
                                          : std::string(names) + " ssh-ed25519 " + a + "\n";
    };
    const std::string text = lines(GetParam().before) + "@revoked " + GetParam().names +
                             " ssh-ed25519 " + a + "\n" + lines(GetParam().after);
    std::string known;
    EXPECT_EQ(findKnownHost(text, "[one.org]:2222", decodeKeyBlob(a), &known),
              KnownHostMatch::Revoked);
    EXPECT_EQ(known, "");
    EXPECT_EQ(findKnownHost(text + "[one.org]:2222 ssh-ed25519 " + b + "\n", "[one.org]:2222",
                            decodeKeyBlob(b)),
              KnownHostMatch::Match);
}

INSTANTIATE_TEST_SUITE_P(Lines, RevokedKeyTest,
                         ::testing::Values(RevokedLines{"", "[one.org]:2222", ""},
                                           RevokedLines{"[one.org]:2222", "[one.org]:2222", ""},
                                           RevokedLines{"", "[one.org]:2222", "[one.org]:2222"},
                                           RevokedLines{"[one.org]:2222", "*", ""},
                                           RevokedLines{"[one.org]:2222", "other.org", ""}));

TEST_F(SshHostKeyTest, KeyThatIsNoBase64IsNoKnownKey)
{
    // Its fingerprint would be made up: that of no key at all.
    const std::string a = key("a");
    std::string known;
    EXPECT_EQ(findKnownHost("one.org ssh-ed25519 AB!D\n", "one.org", decodeKeyBlob(a), &known),
              KnownHostMatch::Missing);
    EXPECT_EQ(known, "");
}

TEST_F(SshHostKeyTest, DamagedBase64IsNoKeyAndNoHashedName)
{
    // Padding alone: more "=" than the block has bytes.
    EXPECT_EQ(decodeKeyBlob("===="), "");
    EXPECT_EQ(decodeKeyBlob("    ===="), "");
    EXPECT_EQ(decodeKeyBlob("AB!D"), "");
    const std::string a = key("a");
    const std::string text = "|1|====|====  ssh-ed25519 " + a +
                             "\n"
                             "one.org ssh-ed25519 " +
                             a + "\n";
    EXPECT_EQ(findKnownHost(text, "one.org", decodeKeyBlob(a)), KnownHostMatch::Match);
    EXPECT_EQ(findKnownHost(text, "two.org", decodeKeyBlob(a)), KnownHostMatch::Missing);
}

TEST_F(SshHostKeyTest, RememberReplacesTheHostsLineOnly)
{
    const std::string a = key("a");
    const std::string b = key("b");
    const SshKnownHostsFile file(folder.file("known_hosts"));
    ASSERT_TRUE(file.remember("[h]:2222", decodeKeyBlob(a)));
    ASSERT_TRUE(file.remember("other", decodeKeyBlob(a)));
    ASSERT_TRUE(file.remember("[h]:2222", decodeKeyBlob(b)));
    EXPECT_EQ(file.text(), "other ssh-ed25519 " + a + "\n[h]:2222 ssh-ed25519 " + b + "\n");
    EXPECT_EQ(std::filesystem::status(folder.file("known_hosts")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // OpenSSH reads the file as its own.
    EXPECT_NE(
        test::commandOutput("ssh-keygen -F '[h]:2222' -f '" + folder.file("known_hosts") + "'")
            .find(b),
        std::string::npos);
}

} // namespace
} // namespace velmora
