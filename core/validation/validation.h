#pragma once
// Validation lines at the end of data files: a keycode line anyone can recompute and a
// second line built with the built-in keys.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The support address named by error messages.
const std::string& SupportAddress();

// True when the file's second validation line matches its content. Score: +2 when the
// keycode line matches, +1 when the second line matches (0..3). With Create the
// validation lines are rewritten first (the keycode line, and with WriteSecondKey the
// second line); the file is replaced through a temporary file in its folder.
bool ValidateFile(const std::filesystem::path& path, bool Create, bool WriteSecondKey, int& Score);
bool ValidateFile(const std::filesystem::path& path, bool Create, bool WriteSecondKey);
// The same check without Create on the lines of path, already read (a reader that needs
// the lines anyway reads the file once).
bool ValidateFileLines(const std::filesystem::path& path, const std::vector<std::string>& lines, int& Score);
bool ValidateFileLines(const std::filesystem::path& path, const std::vector<std::string_view>& lines, int& Score);

} // namespace core
