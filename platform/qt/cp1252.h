#pragma once
// The one conversion between the program's Windows-1252 bytes and Qt's strings.

#include <QString>
#include <string>

namespace platform {

QString fromCp1252(const std::string& bytes);
// The same with CR LF line ends made plain line breaks, as a text box shows them.
QString fromCp1252Lines(const std::string& bytes);
// Characters outside Windows-1252 become '?'.
std::string toCp1252(const QString& text);

} // namespace platform
