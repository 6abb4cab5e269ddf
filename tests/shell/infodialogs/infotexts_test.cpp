// What the About and General information dialogs show.

#include "core/base/corestate.h"
#include "core/tdl/tdlstate.h"
#include "core/validation/validation.h"
#include "device/base/devicestate.h"
#include "device/state/devicelayer.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "platform/onewire/tmex.h"
#include "sim/onewire/simnetwork.h"
#include "shell/infodialogs/about.h"
#include "shell/infodialogs/generalinfo.h"
#include "shell/infodialogs/infotexts.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

class InfoTexts : public ::testing::Test {
protected:
    InfoTexts() { core::coreState().ProgramFolder = dir.path(); }
    // A data file; with its validation lines (both, or the checksum line only).
    void file(const std::string& name, int validation)
    {
        dir.write(name, "Some data\r\n");
        if (validation > 0)
            core::ValidateFile(dir / name, true, validation == 2);
    }
    void templatesFrom(const std::vector<std::string>& files)
    {
        auto& lib = core::tdlState();
        lib.Templates.resize(files.size() + 1);
        for (std::size_t i = 0; i < files.size(); ++i)
            lib.Templates[i].file = files[i];
        lib.TemplateLast = static_cast<int>(files.size()) - 1;
    }

    testing_support::FreshState<device::resetDeviceLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
};

TEST_F(InfoTexts, DriversByInterface)
{
    EXPECT_EQ(shell::driversText(), "no interface selected");
    device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    EXPECT_EQ(shell::driversText(), "for Pelox sw ver. 1.2.16 or later");

    // The adapter: the layer's version, then the port type's when a backend serves it.
    auto& ds = device::deviceState();
    ds.InterfaceType = device::InterfaceType::Adapter;
    ds.PortType = 5;
    platform::TmexVersionBuffer layer{};
    platform::Get_Version(layer);
    EXPECT_EQ(shell::driversText(), platform::versionText(layer));
    platform::useSimulatedNetwork(std::make_shared<platform::sim::SimNetwork>(), 5, 1);
    platform::TmexVersionBuffer type{};
    ASSERT_GT(platform::TMGetTypeVersion(5, type), 0);
    EXPECT_EQ(shell::driversText(), platform::versionText(layer) + "\r\n" + platform::versionText(type));
}

TEST_F(InfoTexts, OneLinePerFileAndRunOfTemplates)
{
    file("ManufacturerList.xdl", 2);
    file("TagList.xdl", 1);
    file("A.tdl", 0);
    file("B.tdl", 2);
    templatesFrom({"A.tdl", "A.tdl", "B.tdl", "A.tdl"});
    EXPECT_EQ(shell::filesLoadedText(), "ManufacturerList.xdl\r\n"
                                        "Only public validation in : TagList.xdl\r\n"
                                        "Validation error in : A.tdl\r\n"
                                        "B.tdl\r\n"
                                        "Validation error in : A.tdl");
    EXPECT_EQ(shell::Validate_local("missing.tdl"), "Validation error in : missing.tdl\r\n");
}

TEST_F(InfoTexts, DialogsShowVersionFolderAndDisclaimer)
{
    testing_support::ensureApplication();
    core::coreState().ProgramVersion = "2.0.7";
    const std::string disclaimer = shell::disclaimerText();
    EXPECT_EQ(disclaimer.rfind("Disclaimer\r\n\r\n", 0), 0u);
    EXPECT_NE(disclaimer.find("\"Tedsmith\","), std::string::npos);
    EXPECT_NE(disclaimer.substr(disclaimer.size() - 2), "\r\n");

    shell::About about;
    EXPECT_EQ(about.windowTitle(), "Tedsmith - About");
    EXPECT_EQ(about.ZQ->text(), "2.0.7");
    EXPECT_EQ(about.PrgTypeName->text(), "QT 8061");
    EXPECT_EQ(about.property("HelpContextID").toInt(), 14);

    file("ManufacturerList.xdl", 2);
    file("TagList.xdl", 2);
    templatesFrom({"A.tdl"});
    shell::GeneralInfo info;
    EXPECT_EQ(info.windowTitle(), "Tedsmith - General information");
    EXPECT_EQ(info.Drivers->toPlainText(), "no interface selected");
    EXPECT_EQ(info.PrgDir->text().toStdString(), dir.path().string() + "/");
    EXPECT_EQ(info.Files_loaded->toPlainText(), "ManufacturerList.xdl\nTagList.xdl\nValidation error in : A.tdl");
    EXPECT_EQ(info.property("HelpContextID").toInt(), 23);
}

} // namespace
