#include "core/lists/listfile.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/startup/startup.h"

namespace core::listfile {

namespace {
// A file that exists but cannot be read ends the program like a missing one.
[[noreturn]] void missing(const std::filesystem::path& path)
{
    MsgBox("Required file: " + path.string() + " not found" + "\r\n" + "Program will terminate");
    throw ProgramEnd{1};
}
} // namespace

void require(const std::filesystem::path& path) { RequireFile(path); }

std::vector<std::string> readOrEnd(const std::filesystem::path& path)
{
    auto lines = readLines(path);
    if (!lines)
        missing(path);
    return *lines;
}

bool skipped(const std::string& line)
{
    return line.empty() || line[0] == '*' || line.find("Validation_key") != std::string::npos;
}

void wrongVersion(const std::string& what, const std::filesystem::path& path)
{
    MsgBox("Wrong version of " + what + ", file: " + path.string() + "\r\n" + "Program will close now");
    throw ProgramEnd{1};
}

} // namespace core::listfile
