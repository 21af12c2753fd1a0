// Loading and saving the settings from hostile preference files at the size limit, against the
// file the program itself writes, measured side by side in one run. Every lookup walks the file
// from the top, so the hostile files are made for the longest walks: the most lines a file of that
// size can hold, or keys that differ from the program's only in their last letter. None holds a
// key of the program's, so every walk runs to the end. Prints the median times and the ratios.

#include "core/message_boxes.h"
#include "settings/settings_store.h"
#include "settings/stored_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace velmora;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 7;

const char* const kProgramKeys[] = {
    "SettingVersion",    "FTPServerName",  "FTPWebDir",
    "FTPSubDir",         "FTPUserName",    "FTPPassword",
    "LizenzSite",        "HtpasswdPath",   "HtpasswdLoginID",
    "HtpasswdLoginPass", "PauseSeconds",   "RemoteMousePointer",
    "Force256",          "ForceDownscale", "AutostartPresentation",
    "ScreenRegion",      "BrowserRefresh", "InternetRetryTime",
};

class UnseenBoxes : public MessageBoxes {
public:
    BoxAnswer show(const std::string&, const std::string&, BoxButtons, BoxModality) override
    {
        return BoxAnswer::Ok;
    }
};

class Folder {
public:
    Folder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX");
        if (!::mkdtemp(name.data()))
            std::exit(1);
        path_ = name + "/";
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string TypicalFile()
{
    const Folder folder;
    UnseenBoxes boxes;
    SettingsRecord settings;
    settings.FTPServerName = "ftp.example.org";
    settings.FTPWebDir = "htdocs/";
    settings.FTPUserName = "praesentation";
    settings.FTPPassword = "Geheim!";
    SaveSettings(settings, folder.path(), boxes);
    std::ifstream in(folder.path() + std::string(kPreferenceFileName), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string ShortLines()
{
    std::string text;
    while (text.size() + 2 <= StoredFile::kMaximumSize)
        text += "a\n";
    return text;
}

std::string NearMisses()
{
    std::string text;
    for (std::size_t k = 0;; ++k) {
        std::string line = kProgramKeys[k % std::size(kProgramKeys)];
        line.back() = '_';
        line += "\n";
        if (text.size() + line.size() > StoredFile::kMaximumSize)
            return text;
        text += line;
    }
}

double MedianMilliseconds(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Timing {
    double load = 0;
    double save = 0;
};

// The hostile files grow beyond the limit when written back, so their saves do all the work and
// then leave the file as it is: every round sees the same file.
Timing Measure(const std::string& contents)
{
    const Folder folder;
    std::ofstream(folder.path() + std::string(kPreferenceFileName), std::ios::binary) << contents;
    UnseenBoxes boxes;
    SettingsRecord settings;
    Timing timing;
    timing.load = MedianMilliseconds([&] { LoadSettings(settings, folder.path(), boxes); });
    timing.save = MedianMilliseconds([&] { SaveSettings(settings, folder.path(), boxes); });
    return timing;
}

void Report(const char* name, std::size_t size, const Timing& timing, const Timing& typical)
{
    std::printf("%-24s %8zu bytes  load %8.3f ms (x%7.1f)  save %8.3f ms (x%7.1f)\n", name, size,
                timing.load, timing.load / typical.load, timing.save, timing.save / typical.save);
}

} // namespace

int main()
{
    std::printf(
        "LoadSettings and SaveSettings, median of %d rounds; (x) against the typical file\n",
        kRounds);
    const std::string typicalFile = TypicalFile();
    const std::string shortLines = ShortLines();
    const std::string nearMisses = NearMisses();
    const Timing typical = Measure(typicalFile);
    Report("typical file", typicalFile.size(), typical, typical);
    Report("one-letter lines", shortLines.size(), Measure(shortLines), typical);
    Report("near-miss keys", nearMisses.size(), Measure(nearMisses), typical);
    return 0;
}
