#pragma once
// What must hold for any bytes at all, whether they come from a damaged preference file or from a
// fuzzer: nothing crashes or hangs, written keys read back, the written form is stable, and the
// credential decoder and the number rule accept anything. Shared by the seeded random test and
// the libFuzzer target.

#include "core/number_rule.h"
#include "settings/credential_scrambling.h"
#include "settings/preference_document.h"

#include <string>
#include <string_view>

namespace velmora::test {

// The value a written text reads back as: one line, up to a zero byte, without outer blanks.
inline std::string AsStoredLine(std::string_view text)
{
    std::string line(text.substr(0, text.find('\0')));
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

inline bool StartsWithUtf8Mark(std::string_view bytes)
{
    return bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

// Empty when everything held, else what went wrong.
inline std::string PreferenceInputProblem(std::string_view data)
{
    PreferenceDocument document{std::string(data)};
    (void)document.readText("FTPServerName", "");
    const std::string_view tail = data.substr(data.size() > 24 ? data.size() - 24 : 0);
    document.writeText("FTPServerName", tail);
    document.writeText("ftpsubdir", "");
    const std::string written = document.render();

    // The mark decides how the next load reads the file, so it must survive exactly when the file
    // had one.
    if (StartsWithUtf8Mark(data) != StartsWithUtf8Mark(written))
        return "the written file changed its encoding";
    const PreferenceDocument reread(written);
    if (reread.readText("FTPSERVERNAME", "absent") != AsStoredLine(tail))
        return "a written value did not read back";
    if (reread.readText("FTPSubDir", "absent") != "")
        return "an empty written value did not read back";
    if (reread.render() != written)
        return "the written form is not stable";

    const std::string decoded = DecodeCredential(data, kUserNameSelector, 1);
    if (decoded.find('\0') != std::string::npos || decoded.size() > data.size())
        return "a decoded credential is malformed";
    (void)numberFromText(data);
    return {};
}

} // namespace velmora::test
