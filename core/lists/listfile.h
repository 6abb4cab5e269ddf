#pragma once
// Shared steps of the list-file readers.

#include <filesystem>
#include <string>
#include <vector>

namespace core::listfile {

// Ends the program with the required-file message when no file matches path.
void require(const std::filesystem::path& path);

// The lines of a list file. An unreadable file ends the program like a missing one.
std::vector<std::string> readOrEnd(const std::filesystem::path& path);

// Comment, empty and validation lines carry no entry.
bool skipped(const std::string& line);

// Shows "Wrong version of <what>, file: <path>" and ends the program.
[[noreturn]] void wrongVersion(const std::string& what, const std::filesystem::path& path);

} // namespace core::listfile
