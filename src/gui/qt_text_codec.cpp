#include "gui/qt_text_codec.h"

#include "core/windows1252.h"

namespace velmora {

QString fromWindows1252(const std::string& bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    // Every character of the table lies in the Basic Multilingual Plane: one QChar each.
    for (const char c : bytes)
        text.append(QChar(char16_t(unicodeFromWindows1252(static_cast<unsigned char>(c)))));
    return text;
}

std::string toWindows1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    // A character beyond the Basic Multilingual Plane is two surrogates, neither in the table, so
    // it becomes "??".
    for (const QChar ch : text)
        bytes.push_back(windows1252FromUnicode(ch.unicode()));
    return bytes;
}

QString displayText(const std::string& windows1252)
{
    QString text = fromWindows1252(windows1252);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace velmora
