#pragma once
// Start-up: splash, data folder and settings path, template library and lists,
// then either the main window or a command-line compile of a description source.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace core {

// What start-up needs of the windows; the app passes the real ones, tests fakes.
class StartupUi {
public:
    virtual ~StartupUi() = default;
    virtual void showSplash() = 0;
    virtual void hideSplash() = 0;
    // Shows the main window (its load runs), parks the focus, lets events run once.
    virtual void showMainWindow() = 0;
    virtual void postInitialize() = 0;
    // The first Help menu item reads "No help available".
    virtual void setNoHelp() = 0;
};

// The template library operations start-up runs, in its order.
struct StartupLibrary {
    std::function<void()> loadTagList;                                  // reads TagList.xdl (RequireFile)
    std::function<void(const std::string& name)> parseTemplateFile;     // one *.TDL, name without folder
    std::function<int()> templatesLoaded;
    std::function<bool(const std::filesystem::path&)> validateListFile; // one *.XDL
    std::function<void(const std::filesystem::path&)> readManufacturerList;
    // Compiles name.hdl/.ddl into name.tdl with its UTID and validation lines.
    std::function<bool(const std::filesystem::path& name)> compile;
};

struct StartupResult {
    bool showWindow = false;  // the main window is up: run the event loop
    int exitCode = 0;
};

// Runs start-up. Messages that end the program throw core::ProgramEnd.
StartupResult Main(const std::vector<std::string>& args, StartupUi& ui, const StartupLibrary& lib);

// Builds DataFolder (creating the last two levels) and returns the settings path.
std::filesystem::path buildDataFolder();

// A missing required file ends the program after a message.
void RequireFile(const std::filesystem::path& path);

// The ".ddl" argument of the command line without its extension; empty when there is none.
std::filesystem::path compileTarget(const std::vector<std::string>& args);

} // namespace core
