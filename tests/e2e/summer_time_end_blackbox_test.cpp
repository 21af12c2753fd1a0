// Summer time ends while a presentation runs: in Berlin the clocks go back from 03:00 CEST to
// 02:00 CET, and the local time the presenter sees falls by an hour. The presentation must not
// notice: cycles keep coming one pause apart, and only the upload time texts fall back.
//
// The program alone runs on a wall clock set to half a minute before the change (libfaketime,
// preloaded into it and into nothing else: the display, xdotool, the FTP and web servers and the
// test itself keep the machine's own time).

#include "support/changing_screen.h"
#include "support/desktop_session.h"
#include "support/presentation_site.h"
#include "support/program_on_screen.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace velmora::test {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
// Time enough to start the program and the presentation before the clocks go back; the first
// cycles must come while summer time still holds, or there is nothing to fall back from.
constexpr int kSecondsBeforeTheChange = 30;

// 01:00:00 UTC on 25 October 2026, the last Sunday of October: 03:00 CEST becomes 02:00 CET.
std::time_t summerTimeEnds()
{
    std::tm utc{};
    utc.tm_year = 2026 - 1900;
    utc.tm_mon = 9;
    utc.tm_mday = 25;
    utc.tm_hour = 1;
    return ::timegm(&utc);
}

std::map<std::string, std::string> clockHalfAMinuteBeforeTheChange()
{
    return {
        {"TZ", "Europe/Berlin"},
        {"LD_PRELOAD", kFakeTimeLibrary},
        // "@": the clock starts at that moment and runs on at the normal rate. Given as seconds
        // since 1970, because a local "@2026-10-25 02:59:30" is ambiguous (that night has two of
        // them) and the C library reads it as the second one, after the change.
        {"FAKETIME_FMT", "%s"},
        {"FAKETIME", "@" + std::to_string(summerTimeEnds() - kSecondsBeforeTheChange)},
        // Only the wall clock is set back, the monotonic clock stays the machine's own, just as
        // the end of summer time leaves it on a real machine: the seconds since 1970 run on
        // unbroken, only their local reading falls by an hour. Faked, the monotonic clock would
        // be moved to 2026 as well, and the waits that take their deadline from it but that
        // libfaketime does not translate (pthread_cond_clockwait under std::condition_variable)
        // would sleep for decades.
        {"FAKETIME_DONT_FAKE_MONOTONIC", "1"},
    };
}

// The upload time texts ("hh:mm:ss") of every data page so far, in the order they arrived.
std::vector<std::string> uploadTimes(const PresentationSite& site)
{
    const std::string marker = "iTime = '";
    std::vector<std::string> times;
    for (const auto& file : site.ftp.stored()) {
        if (file.name != "Velmora.htm")
            continue;
        const auto at = file.bytes.find(marker);
        if (at != std::string::npos)
            times.push_back(file.bytes.substr(at + marker.size(), 8));
    }
    return times;
}

// Where the local time first fell back, as an index into times; times.size() while it has not.
std::size_t fallBack(const std::vector<std::string>& times)
{
    for (std::size_t i = 1; i < times.size(); ++i)
        if (times[i] < times[i - 1])
            return i;
    return times.size();
}

std::string listed(const std::vector<std::string>& times)
{
    std::string text;
    for (const auto& time : times)
        text += (text.empty() ? "" : " ") + time;
    return text;
}

TEST(SummerTimeEndBlackBox, CyclesGoOnWhenTheClocksGoBack)
{
    ASSERT_TRUE(std::filesystem::exists(kFakeTimeLibrary))
        << kFakeTimeLibrary << " is missing: scripts/install-deps.sh installs it (faketime)";
    PresentationSite site("show/");
    DesktopSession session;
    session.writePreferences(site.preferences(1, 500, 30));
    // Something moves on the screen: a still one would give one picture and then none.
    const ChangingScreen moving(session, {900, 700, 60, 40});
    ProgramOnScreen program(session, "velmora.log", clockHalfAMinuteBeforeTheChange());
    ASSERT_NO_FATAL_FAILURE(program.startPresentation());
    session.closeMessageBoxes(10s);

    // Five cycles after the change, within a bound many times what five pauses of 1 s take; a
    // pacing that reads the local time would hold the next cycle for an hour.
    constexpr std::size_t kCyclesAfter = 5;
    std::vector<std::string> times;
    const bool wentOn = waitUntil(kSecondsBeforeTheChange * 1s + 60s, [&] {
        times = uploadTimes(site);
        return times.size() >= fallBack(times) + kCyclesAfter;
    });
    std::cout << "upload times: " << listed(times) << "\n";
    ASSERT_FALSE(times.empty()) << "no data page at all\n" << session.log();
    ASSERT_EQ(times.front().substr(0, 6), "02:59:")
        << "the presentation did not start before the change: " << listed(times);
    const std::size_t change = fallBack(times);
    EXPECT_TRUE(wentOn) << "only " << times.size() - change
                        << " data pages after the clocks went back: " << listed(times);
    ASSERT_LT(change, times.size()) << "no data page after the change";
    EXPECT_EQ(times[change - 1].substr(0, 6), "02:59:") << listed(times);
    EXPECT_EQ(times[change].substr(0, 7), "02:00:0") << listed(times);
    for (std::size_t i = change + 1; i < times.size(); ++i)
        EXPECT_LE(times[i - 1], times[i]) << "the local time fell back twice: " << listed(times);

    program.exit();
}

} // namespace
} // namespace velmora::test
