#include "gui/text_codec.h"

#include <array>

namespace velmora {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned codes, kept as the C1 controls.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t decodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t mapped = kHighControls[byte - 0x80];
        return mapped != 0 ? mapped : char16_t(byte);
    }
    return char16_t(byte);
}

} // namespace

QString fromWindows1252(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes)
        text.append(QChar(decodeByte(static_cast<unsigned char>(c))));
    return text;
}

std::string toWindows1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (size_t i = 0; i < kHighControls.size(); ++i) {
            const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : char16_t(0x80 + i);
            if (mapped == u) {
                out = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes.push_back(out);
    }
    return bytes;
}

QString displayText(const std::string& windows1252)
{
    QString text = fromWindows1252(windows1252);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace velmora
