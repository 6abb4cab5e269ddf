#pragma once
// UTID list files: the templates of an amplifier's download list, kept by their
// template ids. Text, lines ending in CR LF:
//   Pelox UTID Fileformat 1.0
//    919106          (one UTID a line: a blank, the digits, a blank)
// A reader takes the number at the start of each line (blanks ignored, anything behind
// it too), so a hand-written file with bare numbers reads the same; any line end is read.

#include "core/tdl/currency.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace amplifier {

inline constexpr const char* kUtidFileHeader = "Pelox UTID Fileformat 1.0";

// The UTIDs of a list file in file order; nullopt when the file cannot be read or its
// first line is not exactly the header. An empty line reads as 0; a number no UTID can
// be (beyond 15 digits) is left out.
std::optional<std::vector<std::int64_t>> readUtidFile(const std::filesystem::path& path);

// The file's bytes for a list of UTIDs.
std::string utidFileBytes(const std::vector<core::Currency>& utids);

// The leading number of a reply or file item, as a 32-bit integer; nullopt when it is
// outside that range.
std::optional<std::int32_t> leadingLong(const std::string& text);

} // namespace amplifier
