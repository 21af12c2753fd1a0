#pragma once
// Just enough JSON and Base64 for talking to the browser: quoting a text, reading one text field
// of a reply, and decoding a screenshot.

#include <cstdint>
#include <cstdio>
#include <string>

namespace velmora::test {

inline std::string jsonQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

inline void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The text value of the first field of that name anywhere in the message; empty when there is
// none or it is not a text.
inline std::string jsonStringField(const std::string& message, const std::string& name)
{
    const std::string key = "\"" + name + "\":\"";
    auto at = message.find(key);
    if (at == std::string::npos)
        return {};
    std::string value;
    for (at += key.size(); at < message.size() && message[at] != '"'; ++at) {
        if (message[at] != '\\' || at + 1 >= message.size()) {
            value += message[at];
            continue;
        }
        const char escaped = message[++at];
        switch (escaped) {
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        case 'b':
            value += '\b';
            break;
        case 'f':
            value += '\f';
            break;
        case 'u':
            if (at + 4 < message.size()) {
                appendUtf8(value, static_cast<std::uint32_t>(
                                      std::stoul(message.substr(at + 1, 4), nullptr, 16)));
                at += 4;
            }
            break;
        default:
            value += escaped; // quote, backslash, slash
        }
    }
    return value;
}

inline std::string base64Decoded(const std::string& text)
{
    std::string bytes;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const char c : text) {
        int value = -1;
        if (c >= 'A' && c <= 'Z')
            value = c - 'A';
        else if (c >= 'a' && c <= 'z')
            value = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            value = c - '0' + 52;
        else if (c == '+')
            value = 62;
        else if (c == '/')
            value = 63;
        if (value < 0)
            continue; // padding and line breaks
        buffer = (buffer << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return bytes;
}

} // namespace velmora::test
