#pragma once
// What every fuzz target shares: message boxes answered by a script, virtual time, a
// scratch program folder holding the shipped tag list, fresh library state per input,
// and the check that stops a run when a target's own rule breaks.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

namespace fuzz {

namespace fs = std::filesystem;

// Sets up the shared services once, then resets the core, template and device state
// for one input (the tag list is kept). Returns the scratch program folder.
const fs::path& begin();

std::string bytes(const std::uint8_t* data, std::size_t size);
// Writes bytes to the scratch folder under name; returns the path.
fs::path writeFile(const std::string& name, const std::string& content);
// The parts before and after the first NUL byte (the second empty without one).
std::pair<std::string, std::string> splitAtNul(const std::string& text);
// Stops the run with what when ok is false: a rule of the target broke.
void check(bool ok, const char* what);

} // namespace fuzz
