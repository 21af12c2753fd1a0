#include "support/temporary_folder.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace velmora::test {
namespace {

std::string makeFreshFolder()
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
#ifdef _WIN32
    // No mkdtemp here: a random name, made only when nothing has it yet. The user's temporary
    // folder is the user's own on Windows.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path path = base / ("velmora-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(path, error))
            return path.string();
    }
    throw std::runtime_error("cannot create a temporary folder");
#else
    std::string pattern = (base / "velmora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    return pattern;
#endif
}

} // namespace

TemporaryFolder::TemporaryFolder() : path_(makeFreshFolder())
{
}

TemporaryFolder::~TemporaryFolder()
{
    // A test may have taken its own rights away to provoke a write failure; without them back,
    // nothing inside could be removed when the tests do not run as root.
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

} // namespace velmora::test
