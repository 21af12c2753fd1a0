#include "screen/portal_restore_token.h"

#include "settings/stored_file.h"

#include <algorithm>

namespace velmora {
namespace {

// Tokens are short printable words; anything else in the file did not come from a portal.
bool looksLikeToken(const std::string& text)
{
    return !text.empty() && text.size() <= 512 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 127; });
}

} // namespace

std::string readRestoreToken(const std::string& path)
{
    StoredFile file;
    std::string contents;
    if (!file.openExisting(path, contents))
        return {};
    while (!contents.empty() && (contents.back() == '\n' || contents.back() == '\r'))
        contents.pop_back();
    return looksLikeToken(contents) ? contents : std::string();
}

bool storeRestoreToken(const std::string& path, const std::string& token)
{
    StoredFile file;
    if (!file.create(path))
        return false;
    // replaceContents leaves the file owner-only whatever it was.
    return file.replaceContents(looksLikeToken(token) ? token + "\n" : std::string()) ==
           ReplaceResult::Replaced;
}

} // namespace velmora
