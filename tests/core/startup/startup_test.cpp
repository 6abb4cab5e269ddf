#include "core/startup/startup.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/state/corelayer.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;
using testing_support::TempDir;

namespace {

struct FakeUi : core::StartupUi {
    std::vector<std::string> calls;
    platform::VirtualClock* clock = nullptr;
    platform::TimePoint splashGone{};
    void showSplash() override { calls.push_back("splash"); }
    void hideSplash() override
    {
        calls.push_back("hide");
        splashGone = clock->now();
    }
    void showMainWindow() override { calls.push_back("main"); }
    void postInitialize() override { calls.push_back("post"); }
    void setNoHelp() override { calls.push_back("nohelp"); }
};

class StartupTest : public ::testing::Test {
protected:
    testing_support::FreshState<core::resetCoreLayer> fresh;
    TempDir program, profile;
    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    FakeUi ui;
    int parsed = 0;
    std::vector<std::string> order;
    core::StartupLibrary lib;

    void SetUp() override
    {
        core::coreState().ProgramFolder = program.path();
        ::setenv("AllUsersProfile", profile.path().c_str(), 1);
        ui.clock = &clock;
        program.write("TagList.xdl", "x");
        program.write("ManufacturerList.xdl", "x");
        program.write("B.tdl", "x");
        program.write("a.TDL", "x");
        program.write(".TDL", "x");
        lib.loadTagList = [this] { core::RequireFile(program / "TagList.xdl"); };
        lib.parseTemplateFile = [this](const std::string& n) {
            order.push_back(n);
            ++parsed;
        };
        lib.templatesLoaded = [this] { return parsed; };
        lib.validateListFile = [this](const fs::path& p) {
            order.push_back("validate " + p.filename().string());
            return true;
        };
        lib.readManufacturerList = [this](const fs::path& p) { order.push_back("manufacturers"); };
        lib.compile = [this](const fs::path& p) {
            order.push_back("compile " + p.string());
            return true;
        };
    }
    void TearDown() override { ::unsetenv("AllUsersProfile"); }
};

TEST_F(StartupTest, NormalStartCreatesFoldersWritesVersionAndHoldsSplash)
{
    const auto t0 = clock.now();
    const auto res = core::Main({"tedsmith"}, ui, lib);
    EXPECT_TRUE(res.showWindow);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"splash", "hide", "main", "post", "nohelp"}));
    EXPECT_GE(ui.splashGone - t0, platform::Millis(2000));
    EXPECT_LT(ui.splashGone - t0, platform::Millis(2010));
    const fs::path data = profile.path() / "Morvelund" / "QT8061";
    EXPECT_TRUE(fs::is_directory(data));
    EXPECT_EQ(core::coreState().IniPath, data / "QT8061_Inifile.txt");
    std::string v;
    EXPECT_EQ(core::Inifile_Read_String_Value(core::coreState().IniPath, "Version", v), core::IniFound);
    EXPECT_FALSE(v.empty());
    EXPECT_EQ(testing_support::readAll(core::coreState().IniPath), "Version" + std::string(33, ' ') + ": " + v + "\r\n");
    // Template files sorted by name, the bare ".TDL" left out; lists validated before the manufacturer list.
    EXPECT_EQ(order, (std::vector<std::string>{"a.TDL", "B.tdl", "validate ManufacturerList.xdl", "validate TagList.xdl", "manufacturers"}));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(StartupTest, ApplicationDataUsedOnlyWhenPresent)
{
    fs::create_directory(profile.path() / "Application Data");
    core::Main({"tedsmith"}, ui, lib);
    EXPECT_TRUE(fs::is_directory(profile.path() / "Application Data" / "Morvelund" / "QT8061"));
}

struct MissingCase {
    const char* remove;
    std::string message;
};

class StartupMissingTest : public StartupTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(StartupMissingTest, EndsWithMessage)
{
    const auto& c = GetParam();
    if (std::string(c.remove) == "*.tdl") {
        fs::remove(program / "B.tdl");
        fs::remove(program / "a.TDL");
        fs::remove(program / ".TDL");
    } else {
        fs::remove(program / c.remove);
    }
    try {
        core::Main({"tedsmith"}, ui, lib);
        FAIL() << "program did not end";
    } catch (const core::ProgramEnd& e) {
        EXPECT_NE(e.exitCode, 0);
    }
    ASSERT_EQ(box.shown.size(), 1u);
    const std::string folder = program.path().string() + "/";
    EXPECT_EQ(box.shown[0].prompt, "Required file: " + folder + c.message + " not found\r\nProgram will terminate");
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "main"), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, StartupMissingTest,
    ::testing::Values(MissingCase{"TagList.xdl", "TagList.xdl"}, MissingCase{"*.tdl", "*.TDL"},
                      MissingCase{"ManufacturerList.xdl", "ManufacturerList.xdl"}),
    [](const auto& info) { return std::string(info.param.remove == std::string("*.tdl") ? "Templates" : "List") + std::to_string(info.index); });

TEST_F(StartupTest, NoTemplateLoadedEnds)
{
    lib.parseTemplateFile = [](const std::string&) {};
    EXPECT_THROW(core::Main({"tedsmith"}, ui, lib), core::ProgramEnd);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Wrong version of Description Language file or file not found, program will terminate");
}

TEST_F(StartupTest, CommandLineCompileNeverShowsWindow)
{
    // Compiling works before any template exists.
    fs::remove(program / "B.tdl");
    fs::remove(program / "a.TDL");
    lib.parseTemplateFile = [](const std::string&) {};
    const auto res = core::Main({"tedsmith", "/src/My Lib.DDL"}, ui, lib);
    EXPECT_FALSE(res.showWindow);
    EXPECT_EQ(res.exitCode, 0);
    EXPECT_EQ(order.back(), "compile /src/My Lib");
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "main"), 0);
    std::string v;
    EXPECT_EQ(core::Inifile_Read_String_Value(core::coreState().IniPath, "Version", v), core::IniFound);
}

TEST_F(StartupTest, FailedCompileExitsNonZero)
{
    lib.compile = [](const fs::path&) { return false; };
    EXPECT_EQ(core::Main({"tedsmith", "x.ddl"}, ui, lib).exitCode, 1);
}

TEST_F(StartupTest, UnexpectedErrorIsShownAndEndsStartUp)
{
    lib.validateListFile = [](const fs::path&) -> bool { throw std::runtime_error("disk on fire"); };
    const auto res = core::Main({"tedsmith"}, ui, lib);
    EXPECT_FALSE(res.showWindow);
    EXPECT_NE(res.exitCode, 0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in Sub 'Main'\r\n\r\nError: disk on fire");
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "main"), 0);
}

TEST_F(StartupTest, ManufacturerListNameInAnyLetterCase)
{
    fs::remove(program / "ManufacturerList.xdl");
    program.write("MANUFACTURERLIST.XDL", "x");
    fs::path read;
    lib.readManufacturerList = [&](const fs::path& p) { read = p; };
    EXPECT_TRUE(core::Main({"tedsmith"}, ui, lib).showWindow);
    EXPECT_EQ(read, program / "MANUFACTURERLIST.XDL");
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
