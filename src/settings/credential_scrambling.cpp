#include "settings/credential_scrambling.h"

#include "core/text_trimming.h"
#include "settings/base64.h"

namespace velmora {

std::string EncodeCredential(std::string_view text, std::string_view fieldSelector)
{
    // The "|" gives even an empty text one encrypted byte, so an empty credential is stored
    // as a non-empty value.
    std::string bytes(trimSpaces(text));
    bytes += '|';
    Rc4Transform(bytes.data(), bytes.size(), BuildCredentialKey(fieldSelector, 2));
    return base64Encode(bytes);
}

std::string DecodeCredential(std::string_view stored, std::string_view fieldSelector,
                             std::int32_t version)
{
    std::string bytes = base64Decode(stored);
    Rc4Transform(bytes.data(), bytes.size(), BuildCredentialKey(fieldSelector, version));
    if (bytes.size() <= 1)
        return {};
    bytes.pop_back();
    if (const auto nul = bytes.find('\0'); nul != std::string::npos)
        bytes.resize(nul);
    return bytes;
}

} // namespace velmora
