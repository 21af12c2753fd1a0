#pragma once
// The logic keeps texts as Windows-1252 bytes; Qt wants Unicode. Conversions happen only here.

#include <QString>
#include <string>

namespace velmora {

QString fromWindows1252(const std::string& bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string toWindows1252(const QString& text);
// For display: "\r\n" line ends become "\n" so Qt does not draw the carriage returns.
QString displayText(const std::string& windows1252);

} // namespace velmora
