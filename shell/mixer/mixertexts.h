#pragma once
// Texts of the mixer dump: names and descriptions of line component types, line
// flags, control types and control flags, and the result-code suffixes of trace lines.

#include <cstdint>
#include <string>

namespace shell {

// The part of s before its first NUL character (all of s when it holds none).
std::string TrimAtNul(const std::string& s);
std::string ComponentTypeText(std::uint32_t value);
// Exact value match: a combination of flags gives "no translation found".
std::string LineFlagsText(std::uint32_t value);
std::string ControlTypeText(std::uint32_t value);
std::string ControlFlagsText(std::uint32_t value);
// " : MMSYSERR_..." suffix of a failed call's trace line; "" for other codes.
std::string mixerResultSuffix(std::uint32_t result);

} // namespace shell
