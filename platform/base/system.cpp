#include "platform/base/system.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform {

std::optional<std::string> environment(const std::string& name)
{
    const char* v = std::getenv(name.c_str());
    if (!v)
        return std::nullopt;
    return std::string(v);
}

bool debugOutputEnabled()
{
    const char* v = std::getenv("TEDSMITH_DEBUG");
    return v && *v && std::string(v) != "0";
}

void debugOutput(const std::string& text)
{
    if (debugOutputEnabled()) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }
}

std::filesystem::path executableFolder()
{
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path();
    return p.parent_path();
}

} // namespace platform
