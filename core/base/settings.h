#pragma once
// The settings file: lines of a key padded to 40 characters, ": ", and a value.
// Every write rewrites the whole file through a temporary file next to it.

#include <filesystem>
#include <string>

namespace core {

// Writes or replaces the line of key. False after the error message.
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, const std::string& value);
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, const char* value);
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, long long value);
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, int value);
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, double value);
bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, bool value);

// Result codes of the readers.
enum IniResult : int { IniFound = 0, IniMissing = 2, IniReadError = 4 };

// value = "" first; the last line of key wins.
int Inifile_Read_String_Value(const std::filesystem::path& iniPath, const std::string& key, std::string& value);
// value = 0 first; the leading number of the text, rounded (halves to even) and kept in 16 bits.
int Inifile_Read_Integer_Value(const std::filesystem::path& iniPath, const std::string& key, int& value);

// Value of an environment variable ("%NAME%" expansion); "" when it is not defined.
std::string GetEnvironmentString(const std::string& name);

// Plain decimal text of a number, "." as separator, at most 15 significant digits.
std::string plainNumberText(double v);

} // namespace core
