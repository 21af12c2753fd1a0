// A running presentation keeps its connection from one cycle to the next: when it is kept, and
// when a cycle must log in anew.
#include "publish/presentation_cycle.h"

#include "support/publish_test_setup.h"

#include <chrono>
#include <functional>
#include <thread>

namespace velmora {
namespace {

struct KeptConnectionTest : test::PublishTest {
    explicit KeptConnectionTest(test::FtpServerOptions options = {})
        : PublishTest(std::move(options))
    {
    }

    PresentationCycle cycle{shared, boxes, clock, tempFolder(), test::kTestTimeouts};

    std::size_t logins() const { return server.log({"USER"}).size(); }
    // A cycle with a new picture; true when it went through without any failure.
    bool cycleWentThrough(int shade)
    {
        capture(shade);
        const auto uploads = server.stored().size();
        cycle.run(settings, captured());
        return shared.firstFailureTime() == 0 && boxes.shown().empty() &&
               server.stored().size() > uploads && onServer(currentPictureName()) == localPicture();
    }
    std::string currentPictureName() const
    {
        return "Velmora" + std::to_string(shared.pictureNumber()) + ".png";
    }
};

TEST_F(KeptConnectionTest, OneLoginServesTheCyclesOfARunningPresentation)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(cycleWentThrough(10 + i)) << i;
    EXPECT_EQ(logins(), 1u);
    // Each later cycle first made sure the kept connection still answers.
    EXPECT_EQ(server.log({"NOOP"}).size(), 3u);
    EXPECT_TRUE(server.log({"QUIT"}).empty());
}

TEST_F(KeptConnectionTest, ChangedLoginIsUsedAtOnceNotHiddenByTheKeptConnection)
{
    ASSERT_TRUE(cycleWentThrough(10));
    // Anonymous before; this server takes no such user, so the cycle must fail.
    settings.FTPUserName = "presenter";
    settings.FTPPassword = "secret";
    capture(11);
    cycle.run(settings, captured());
    EXPECT_NE(shared.firstFailureTime(), 0);
    EXPECT_EQ(logins(), 2u);
    EXPECT_EQ(server.log({"USER"}).back(), "USER presenter");

    // The same server under another name is a new login as well.
    settings.FTPUserName.clear();
    settings.FTPPassword.clear();
    settings.FTPServerName = "ftp://" + server.serverName();
    shared.start(); // Start again: no failure pending
    ASSERT_TRUE(cycleWentThrough(12));
    EXPECT_EQ(logins(), 3u);
}

TEST_F(KeptConnectionTest, CycleWithAFailureEndsTheConnection)
{
    ASSERT_TRUE(cycleWentThrough(10));
    // The next picture name is taken by a folder: the cycle fails after its upload.
    std::filesystem::create_directory(remoteFolder() + "Velmora2.png");
    capture(11);
    cycle.run(settings, captured());
    ASSERT_NE(shared.firstFailureTime(), 0);
    EXPECT_EQ(server.log({"QUIT"}).size(), 1u);
    std::filesystem::remove(remoteFolder() + "Velmora2.png");
    ASSERT_TRUE(cycleWentThrough(12));
    EXPECT_EQ(logins(), 2u);
}

TEST_F(KeptConnectionTest, StoppedOrClearedPresentationHoldsNoLogin)
{
    // A cycle that ends after Stop (or one of Clear's) leaves no idle login on the server, and
    // the next presentation logs in anew.
    const std::vector<std::function<void()>> endings{[&] { shared.stop(); },
                                                     [&] { shared.clear(); }};
    for (const auto& end : endings) {
        end();
        cycle.run(settings, captured());
        shared.start();
    }
    EXPECT_EQ(server.log({"QUIT"}).size(), 2u);
    ASSERT_TRUE(cycleWentThrough(10));
    EXPECT_EQ(logins(), 3u);
}

TEST_F(KeptConnectionTest, StopBetweenTwoCyclesMeansANewLoginForTheNextOne)
{
    ASSERT_TRUE(cycleWentThrough(10));
    // Stop and Start again while no cycle ran; every stop of the program (button, Exit, the
    // settings window's tools) goes through the same stop.
    shared.stop();
    shared.start();
    ASSERT_TRUE(cycleWentThrough(11));
    EXPECT_EQ(logins(), 2u);
    ASSERT_TRUE(cycleWentThrough(12));
    EXPECT_EQ(logins(), 2u) << "only the one cycle after Stop logs in anew";
}

struct IdleTimeoutTest : KeptConnectionTest {
    static test::FtpServerOptions options()
    {
        test::FtpServerOptions options;
        options.idleTimeoutSeconds = 1;
        return options;
    }
    IdleTimeoutTest() : KeptConnectionTest(options()) {}

    // Long enough for the server to have said 421 and closed the idle connection.
    static void waitPastTheIdleTimeout() { std::this_thread::sleep_for(std::chrono::seconds(2)); }
};

TEST_F(IdleTimeoutTest, ServerThatEndedAnIdleLoginGetsANewOneInTheSameCycle)
{
    ASSERT_TRUE(cycleWentThrough(10));
    waitPastTheIdleTimeout();
    ASSERT_TRUE(cycleWentThrough(11)) << "no failure, not even one within the retry window";
    EXPECT_EQ(logins(), 2u);
    waitPastTheIdleTimeout();
    ASSERT_TRUE(cycleWentThrough(12));
    EXPECT_EQ(logins(), 3u);
    EXPECT_EQ(shared.uploadCounter(), 3);
}

TEST_F(KeptConnectionTest, RestartedServerGetsANewLoginInTheSameCycle)
{
    ASSERT_TRUE(cycleWentThrough(10));
    server.restart(); // the kept connection is gone without a word
    ASSERT_TRUE(cycleWentThrough(11));
    EXPECT_EQ(logins(), 2u);
}

} // namespace
} // namespace velmora
