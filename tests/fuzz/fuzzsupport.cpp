#include "tests/fuzz/fuzzsupport.h"

#include "core/base/corestate.h"
#include "core/lists/fieldtags.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace fuzz {

namespace {

struct Environment {
    platform::ScriptedMessageBox box;
    platform::VirtualClock clock;
    fs::path folder;

    Environment()
    {
        char pattern[] = "/tmp/tedsmith-fuzz-XXXXXX";
        if (!::mkdtemp(pattern)) {
            std::perror("mkdtemp");
            std::abort();
        }
        folder = pattern;
        fs::copy_file(fs::path(TS_DATA_DIR) / "TagList.xdl", folder / "TagList.xdl");
        platform::setMessageBox(&box);
        platform::setClock(&clock);
    }
    ~Environment()
    {
        platform::setMessageBox(nullptr);
        platform::setClock(nullptr);
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

Environment& environment()
{
    static Environment env;
    return env;
}

} // namespace

const fs::path& begin()
{
    auto& env = environment();
    env.box.clear();
    core::resetCoreState();
    core::resetTdlState();
    core::coreState().ProgramFolder = env.folder;
    auto& lists = core::listsState();
    if (!lists.FieldTagList)
        lists.FieldTagList = std::make_unique<core::Fieldtags>(env.folder);
    return env.folder;
}

std::string bytes(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

fs::path writeFile(const std::string& name, const std::string& content)
{
    const fs::path p = environment().folder / name;
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return p;
}

std::pair<std::string, std::string> splitAtNul(const std::string& text)
{
    const auto nul = text.find('\0');
    if (nul == std::string::npos)
        return {text, std::string()};
    return {text.substr(0, nul), text.substr(nul + 1)};
}

void check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzz
