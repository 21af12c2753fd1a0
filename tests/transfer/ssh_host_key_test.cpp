// Host key fingerprints and known-hosts lookups, checked against what OpenSSH's own tools make.
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
    EXPECT_EQ(findKnownHost(text, "one.org", decodeKeyBlob(a)), KnownHostMatch::Mismatch);
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
