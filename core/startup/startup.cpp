#include "core/startup/startup.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "platform/base/system.h"

#include <chrono>
#include <cstdio>

#ifndef TS_VERSION
#define TS_VERSION "0.0.0"
#endif

namespace core {

namespace fs = std::filesystem;

namespace {

void trace(const std::string& t) { core::debugTrace("QT-8061: " + t); }

// Files matching pattern in the program folder, a file named just ".TDL" left out.
std::vector<fs::path> programFiles(const std::string& pattern)
{
    std::vector<fs::path> out;
    for (auto& p : core::matchFiles(coreState().ProgramFolder, pattern))
        if (!core::iequals(p.filename().string(), pattern.substr(1)))
            out.push_back(p);
    return out;
}

void ensureFolder(const fs::path& p)
{
    std::error_code ec;
    if (!fs::is_directory(p, ec))
        fs::create_directory(p, ec);
}

} // namespace

void RequireFile(const fs::path& path)
{
    if (FileExists(path))
        return;
    MsgBox("Required file: " + path.string() + " not found\r\nProgram will terminate");
    throw ProgramEnd{1};
}

fs::path buildDataFolder()
{
    auto& st = coreState();
    const std::string profile = core::GetEnvironmentString("AllUsersProfile");
    fs::path folder;
    if (!profile.empty()) {
        folder = profile;
        std::error_code ec;
        if (fs::is_directory(folder / "Application Data", ec))
            folder /= "Application Data";
    } else {
        // No all-users profile on Linux: the user's configuration folder.
        const std::string xdg = core::GetEnvironmentString("XDG_CONFIG_HOME");
        const std::string home = core::GetEnvironmentString("HOME");
        folder = !xdg.empty() ? fs::path(xdg) : fs::path(home.empty() ? "." : home) / ".config";
        std::error_code ec;
        fs::create_directories(folder, ec);
    }
    folder /= "Morvelund";
    ensureFolder(folder);
    folder /= "QT8061";
    ensureFolder(folder);
    st.DataFolder = folder;
    st.IniPath = folder / "QT8061_Inifile.txt";
    return st.IniPath;
}

fs::path compileTarget(const std::vector<std::string>& args)
{
    for (std::size_t i = 1; i < args.size(); ++i) {
        const auto p = core::upper(args[i]).find(".DDL");
        if (p != std::string::npos)
            return fs::path(args[i].substr(0, p));
    }
    return {};
}

namespace {

StartupResult runMain(const std::vector<std::string>& args, StartupUi& ui, const StartupLibrary& lib)
{
    auto& st = coreState();
    trace("Starting Sub Main in Module 'Tedsmith'");
    ui.showSplash();
    platform::processEvents();

    trace("Setting helpfile path in Module 'Tedsmith'");

    trace("Setting StartTime = Timer in Module 'Tedsmith'");
    st.StartTime = platform::clock().now();
    trace("StartTime = Timer, Done....... in Module 'Tedsmith'");

    trace("Ready to check for Japanese windows....... in Module 'Tedsmith'");
    st.JapaneseWindows = false;
    trace("This is not japanese windows");

    st.ProgramVersion = TS_VERSION;
    if (st.ProgramFolder.empty())
        st.ProgramFolder = platform::executableFolder();
    lib.loadTagList();

    buildDataFolder();
    core::Inifile_CreateKeyWithValue(st.IniPath, "Version", st.ProgramVersion);

    const fs::path compileName = compileTarget(args);
    const bool compiling = !compileName.empty();

    trace("Ready to read Description Language file in Sub Main");
    const auto templates = programFiles("*.TDL");
    if (templates.empty() && !compiling)
        RequireFile(st.ProgramFolder / "*.TDL");
    // The library parse is timed on the steady clock (a measurement, not a wait) for the trace.
    const auto parseStart = std::chrono::steady_clock::now();
    for (const auto& t : templates)
        lib.parseTemplateFile(t.filename().string());
    const std::chrono::duration<double, std::milli> parseTime = std::chrono::steady_clock::now() - parseStart;
    if (lib.templatesLoaded() == 0 && !compiling) {
        MsgBox("Wrong version of Description Language file or file not found, program will terminate");
        throw ProgramEnd{1};
    }
    trace("Description Language file read in Sub Main");
    char parsed[96];
    std::snprintf(parsed, sizeof parsed, "Template library: %d templates parsed in %.1f ms", lib.templatesLoaded(),
                  parseTime.count());
    trace(parsed);

    st.AllFilesValid = true;
    for (const auto& x : programFiles("*.XDL"))
        st.AllFilesValid = lib.validateListFile(x) && st.AllFilesValid;

    trace("Ready to read 'ManufacturerList.xdl' file in Sub Main");
    const fs::path manu = core::fileAnyCase(st.ProgramFolder / "ManufacturerList.xdl");
    RequireFile(manu);
    lib.readManufacturerList(manu);

    core::DelayUntil(st.StartTime, 2000);
    ui.hideSplash();

    if (compiling) {
        const bool ok = lib.compile(compileName);
        return {false, ok ? 0 : 1};
    }
    ui.showMainWindow();
    ui.postInitialize();
    // Help is the folder of HTML pages beside the program.
    std::error_code ec;
    if (!fs::is_directory(st.ProgramFolder / "help", ec))
        ui.setNoHelp();
    return {true, 0};
}

} // namespace

StartupResult Main(const std::vector<std::string>& args, StartupUi& ui, const StartupLibrary& lib)
{
    try {
        return runMain(args, ui, lib);
    } catch (const ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        // An unexpected error ends start-up with a word, never silently.
        MsgBox("Error in Sub 'Main'\r\n\r\nError: " + std::string(e.what()));
        return {false, 1};
    } catch (...) {
        MsgBox("Error in Sub 'Main'\r\n\r\nError: unknown error");
        return {false, 1};
    }
}

} // namespace core
