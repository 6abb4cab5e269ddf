#pragma once
// Small services of the operating system: environment, debugger output, help.

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Value of an environment variable; nullopt when it is not defined.
std::optional<std::string> environment(const std::string& name);

// Debugger output: written to stderr only while TEDSMITH_DEBUG is set in the environment.
void debugOutput(const std::string& text);
bool debugOutputEnabled();

// Folder of the running executable.
std::filesystem::path executableFolder();

} // namespace platform
