// The program binary with each adapter driver chosen and activated at start, and no
// adapter attached: the session error names the device file or USB device tried.

#include "core/base/settings.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using testing_support::readAll;
using testing_support::TempDir;

namespace {

struct Case {
    const char* driver;
    const char* portType;
    const char* tried;  // what the message must name
};

TEST(NoAdapterAttached, EachDriverNamesTheDeviceItTried)
{
    const Case cases[] = {
        {"Z&Q Demo adaptor type RV3308", "PortType = 1", "/dev/ttyNOPE9"},
        {"Dallas DS9097E", "PortType = 1", "/dev/ttyNOPE9"},
        {"Dallas DS9097U", "PortType = 5", "/dev/ttyNOPE9"},
        {"Dallas DS9490R", "PortType = 6", "USB device 04fa:2490"},
    };
    TempDir program;
    fs::copy_file(testing_support::programBinary(), program / "tedsmith");
    for (const char* f : {"TagList.xdl", "ManufacturerList.xdl", "IEEE_Templates.tdl"})
        fs::copy_file(testing_support::dataDir() / f, program / f);
    std::vector<std::unique_ptr<TempDir>> profiles;
    // All four runs at once; each ends after its first scans.
    std::string cmd;
    for (const Case& c : cases) {
        profiles.push_back(std::make_unique<TempDir>());
        const fs::path settings = profiles.back()->path() / "Morvelund" / "QT8061";
        fs::create_directories(settings);
        const fs::path ini = settings / "QT8061_Inifile.txt";
        core::Inifile_CreateKeyWithValue(ini, "Com port", 1);
        core::Inifile_CreateKeyWithValue(ini, "Interface", std::string(c.driver));
        core::Inifile_CreateKeyWithValue(ini, "IF Active at startup", 1);
        cmd += "(cd '" + program.path().string() + "' && env -u TEDSMITH_SIMNET AllUsersProfile='" +
               profiles.back()->path().string() +
               "' TEDSMITH_NO_DIALOGS=1 TEDSMITH_COM1=/dev/ttyNOPE9 QT_QPA_PLATFORM=offscreen timeout 6 ./tedsmith 2>'" +
               (profiles.back()->path() / "stderr.txt").string() + "') & ";
    }
    cmd += "wait";
    std::system(cmd.c_str());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string err = readAll(profiles[i]->path() / "stderr.txt");
        EXPECT_NE(err.find("Error accessing the microLAN"), std::string::npos) << cases[i].driver << "\n" << err;
        EXPECT_NE(err.find(cases[i].portType), std::string::npos) << cases[i].driver << "\n" << err;
        EXPECT_NE(err.find(cases[i].tried), std::string::npos) << cases[i].driver << "\n" << err;
    }
}

} // namespace
