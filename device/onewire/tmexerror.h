#pragma once
// Texts of TMEX result codes and the once-only report of a failed session start.

#include <string>

namespace device {

// "" for 0, the named texts of -1, -2, -3, -200 and -201, else "unknown error".
std::string TMEX_Error_Text(int code);

// Shows "Error accessing the microLAN" with the port, unless a failure was already
// reported since the interface was activated (SessionError).
void Report_Session_Error(int code);

} // namespace device
