#pragma once
// The one conversion between the program's Windows-1252 bytes and Qt's strings.

#include <QString>
#include <string>

namespace platform {

QString fromCp1252(const std::string& bytes);
// Characters outside Windows-1252 become '?'.
std::string toCp1252(const QString& text);

} // namespace platform
