#pragma once
// What the About and General information dialogs show, built from the program's state
// when they open: version, program folder, the drivers of the chosen interface, and
// one validation line per data file the program loaded.

#include <string>

namespace shell {

constexpr const char* kProgramTypeNo = "QT 8061";

// The disclaimer of the About dialog, lines joined by CR LF.
std::string disclaimerText();

// "Drivers loaded:": the 1-Wire layer's and the port type's versions for the adapter,
// a note for the amplifier link, "no interface selected" otherwise.
std::string driversText();

// The line for one data file of the program folder (its validation lines checked,
// never rewritten), CR LF included; "" for a score the check never gives.
std::string Validate_local(const std::string& file);

// "Description files loaded:": the two list files, then each run of consecutive
// templates from one description file, in library order; no line break at the end.
std::string filesLoadedText();

} // namespace shell
