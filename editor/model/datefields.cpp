#include "editor/model/datefields.h"

namespace editor {

bool Skudaar(long year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }
int Antal_dage(long year) { return Skudaar(year) ? 366 : 365; }
long T_server_CalDateValue(const std::string&) { return 0; }
std::string dateFieldText(long) { return {}; }
std::optional<long> dateFieldDays(const std::string&) { return std::nullopt; }

} // namespace editor
