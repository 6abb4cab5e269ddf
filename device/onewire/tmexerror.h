#pragma once
// Texts of TMEX result codes and the once-only report of a failed session start.

#include <string>

namespace device {

// "" for 0, the named texts of -1, -2, -3, -12, -13, -200 and -201, else "unknown error".
std::string TMEX_Error_Text(int code);

// Shows "Error accessing the microLAN" with the port, unless a failure was already
// reported since the interface was activated (SessionError). AdapterFault keeps why
// either way, until Session_Opened.
void Report_Session_Error(int code);
// A session opened on the adapter: it is reachable again.
void Session_Opened();
// Why the adapter could not be reached at the last session start, "" when it could.
std::string adapterFault();

// The adapter found its 1-Wire line shorted (TMEX_BUS_SHORT): the first time since the
// bus last worked, the text ("1-Wire bus short circuit on <adapter>") goes into the
// trace and a message box; BusFault keeps it for whoever asks.
void Report_Bus_Short();
// A search ran on a working bus: a later short is reported again.
void Bus_Working();
// The short found and not cleared since, "" when the bus works.
std::string busFault();

} // namespace device
