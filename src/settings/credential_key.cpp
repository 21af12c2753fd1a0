#include "settings/credential_scrambling.h"

#include <algorithm>

namespace velmora {
namespace {

// Fixed for the life of the program's preference files: other pieces would make every stored
// credential unreadable. The unit tests pin a stored form made with them.
constexpr std::string_view kKeyPieces[3] = {
    "wFehpQRCvN7TmYmxqAwiMYtGEOrDEb",
    "B28puXFUyB8E2yhtQo11upXsrxdmld",
    "22MM2gIhlw34aHhuWZOiQRC7bgXYoz",
};
static_assert(kKeyPieces[0].size() == 30 && kKeyPieces[1].size() == 30 &&
              kKeyPieces[2].size() == 30);
static_assert(kUserNameSelector.size() == 8 && kPasswordSelector.size() == 8);

} // namespace

std::string ReverseText(std::string_view text)
{
    return std::string(text.rbegin(), text.rend());
}

std::string BuildCredentialKey(std::string_view fieldSelector, std::int32_t version)
{
    std::string key = ReverseText(kKeyPieces[0]);
    if (version < 2)
        key += fieldSelector;
    key += ReverseText(kKeyPieces[1]);
    if (version < 2)
        key += fieldSelector;
    key += ReverseText(kKeyPieces[2]);
    return key;
}

} // namespace velmora
