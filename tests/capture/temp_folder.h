#pragma once
// A fresh folder for one test, removed with everything in it afterwards. Ends with "/", as the
// program's Temp folder does.

#include <filesystem>
#include <string>

namespace velmora::test {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-capture-XXXXXX").string();
        path_ = std::filesystem::path(mkdtemp(pattern.data()));
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace velmora::test
