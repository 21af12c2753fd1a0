// Key lookups in hostile preference files, with the key index against a plain walk from the top of
// the file, measured side by side in one run. Each round does what one load and one save of the
// settings do: 19 lookups for reading and 18 for writing, none of which finds its key, so the walk
// always runs to the end of the file. Prints the median times and the ratios.

#include "settings/preference_document.h"
#include "settings/preference_key_index.h"
#include "settings/preference_lines.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 7;
constexpr std::size_t kMiB = 1024 * 1024;

const char* const kProgramKeys[] = {
    "SettingVersion",    "FTPServerName",  "FTPWebDir",
    "FTPSubDir",         "FTPUserName",    "FTPPassword",
    "LizenzSite",        "HtpasswdPath",   "HtpasswdLoginID",
    "HtpasswdLoginPass", "PauseSeconds",   "RemoteMousePointer",
    "Force256",          "ForceDownscale", "AutostartPresentation",
    "ScreenRegion",      "BrowserRefresh", "InternetRetryTime",
};
constexpr int kLookupsPerLoadAndSave = 19 + 18;

// The most lines a file of this size can hold: one letter each.
std::string ShortLines(std::size_t size)
{
    std::string text;
    while (text.size() + 2 <= size)
        text += "a\n";
    return text;
}

// Keys that differ from the program's only in their last letter, so every comparison of equal
// length runs to the end of the key.
std::string NearMisses(std::size_t size)
{
    std::string text;
    for (std::size_t k = 0;; ++k) {
        std::string line = kProgramKeys[k % std::size(kProgramKeys)];
        line.back() = '_';
        line += "\n";
        if (text.size() + line.size() > size)
            return text;
        text += line;
    }
}

std::size_t WalkFind(std::string_view text, std::string_view key)
{
    PreferenceLineReader reader(text);
    PreferenceLine line;
    while (reader.next(line) && line.kind != PreferenceLineKind::Group) {
        if (line.kind == PreferenceLineKind::Key && EqualIgnoringAsciiCase(line.name, key))
            return line.offset;
    }
    return std::string_view::npos;
}

std::size_t IndexedLookups(std::string_view text)
{
    const PreferenceKeyIndex index(text);
    std::size_t found = 0;
    for (int k = 0; k < kLookupsPerLoadAndSave; ++k)
        found += index.find(text, kProgramKeys[k % std::size(kProgramKeys)]) != std::string::npos;
    return found;
}

std::size_t WalkedLookups(std::string_view text)
{
    std::size_t found = 0;
    for (int k = 0; k < kLookupsPerLoadAndSave; ++k)
        found += WalkFind(text, kProgramKeys[k % std::size(kProgramKeys)]) != std::string::npos;
    return found;
}

// The document as the program uses it: read every key, write every key, render.
std::size_t DocumentLoadAndSave(const std::string& text)
{
    PreferenceDocument load(text);
    std::size_t found = load.readText("FTPServerName", "").size();
    for (const char* key : kProgramKeys)
        found += load.readText(key, "").size();
    PreferenceDocument save(text);
    for (const char* key : kProgramKeys)
        save.writeText(key, "1");
    return found + save.render().size();
}

double MedianMilliseconds(const std::function<std::size_t()>& work)
{
    std::vector<double> times;
    std::size_t sink = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        sink += work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    if (sink == 1) // keeps the work from being optimised away
        std::puts("");
    return times[times.size() / 2];
}

void Compare(const char* name, const std::string& text)
{
    const double indexed = MedianMilliseconds([&] { return IndexedLookups(text); });
    const double walked = MedianMilliseconds([&] { return WalkedLookups(text); });
    const double document = MedianMilliseconds([&] { return DocumentLoadAndSave(text); });
    std::printf("%-28s %8zu bytes  index %8.2f ms  walk %8.2f ms  walk/index %6.2f  "
                "document load+save (index) %8.2f ms\n",
                name, text.size(), indexed, walked, walked / indexed, document);
}

} // namespace

int main()
{
    std::printf("%d lookups per round (one load and one save), median of %d rounds\n",
                kLookupsPerLoadAndSave, kRounds);
    Compare("short lines, 1 MiB", ShortLines(kMiB));
    Compare("near-miss keys, 1 MiB", NearMisses(kMiB));
    Compare("short lines, 64 MiB", ShortLines(64 * kMiB));
    Compare("near-miss keys, 64 MiB", NearMisses(64 * kMiB));
    return 0;
}
