#pragma once
// Data files are 8-bit Windows-1252 text: kept as bytes, read with any line end,
// written with CR LF, replaced through a temporary file and a rename.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

namespace fs = std::filesystem;

// Whole file as bytes; nullopt when it cannot be read (error text in *error).
std::optional<std::string> readFileBytes(const fs::path& path, std::string* error = nullptr);
// The first limit + 1 bytes at most, read in small blocks: a result longer than limit
// means the file is larger (whatever its size, a device or a pipe included). Nothing
// waits: a pipe without a writer reads as empty, one whose data is not there yet
// cannot be read.
std::optional<std::string> readFileHead(const fs::path& path, std::size_t limit, std::string* error = nullptr);

// Lines of a file, split at CR LF, LF or CR; a final line end adds no empty line.
std::optional<std::vector<std::string>> readLines(const fs::path& path, std::string* error = nullptr);
std::vector<std::string> splitLines(const std::string& bytes);
// The same lines as views into bytes (valid while bytes is).
std::vector<std::string_view> splitLineViews(std::string_view bytes);

// Lines joined with CR LF after each line.
std::string joinCrLf(const std::vector<std::string>& lines);

// Writes bytes to a temporary file in the same folder, then renames it over path.
// On failure the old file is untouched, the temporary removed, and false returned.
bool writeFileAtomic(const fs::path& path, const std::string& bytes, std::string* error = nullptr);

// Files of folder whose name matches pattern ('*' and '?'), compared without regard
// to letter case, sorted by name (byte order of the upper-cased name).
std::vector<fs::path> matchFiles(const fs::path& folder, const std::string& pattern);

// True when a file matches path (whose last part may hold wildcards); errors count as false.
bool FileExists(const fs::path& path);

// The file at path, or, when there is none, the file of the same folder whose name equals
// path's name without regard to letter case (as Windows users write names); path itself
// when neither exists.
fs::path fileAnyCase(const fs::path& path);

// Case-insensitive wildcard match of one name ('*', '?').
bool wildcardMatch(const std::string& pattern, const std::string& name);

// ASCII helpers used by every reader.
std::string upper(std::string s);
std::string trim(const std::string& s);
bool iequals(const std::string& a, const std::string& b);
// True when text in upper case is upperName (a name in upper case), without a copy.
bool upperEquals(std::string_view text, std::string_view upperName);

} // namespace core
