// The library in data/ as shipped: the compiled description file is what the compiler
// makes from its source, and every file loads as validated.
// TEDSMITH_REGENERATE_DATA=1 (scripts/compile-templates.sh) rewrites the validation lines
// of the files in data/.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/compiler/cdefine.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/state/corelayer.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/tdl/templateparser.h"
#include "core/validation/validation.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using testing_support::dataDir;
using testing_support::readAll;
namespace fs = std::filesystem;

namespace {

// The description sources in data/.
const std::vector<std::string> kSources = {"Accessory_Templates", "IEEE_Calibration_Curve", "IEEE_Calibration_Response",
                                           "IEEE_Calibration_Table", "IEEE_Templates"};

bool regenerate() { return std::getenv("TEDSMITH_REGENERATE_DATA") != nullptr; }

class ShippedDataTest : public ::testing::Test {
protected:
    testing_support::FreshState<core::resetCoreLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(ShippedDataTest, CompiledFileIsTheCompiledSource)
{
    if (regenerate()) {
        // scripts/compile-templates.sh has put the command-line compiler's output in data/:
        // the shipped files get both validation lines.
        for (const auto& p : core::matchFiles(dataDir(), "*.tdl"))
            ASSERT_TRUE(core::ValidateFile(p, true, true)) << p;
        for (const auto& p : core::matchFiles(dataDir(), "*.xdl"))
            ASSERT_TRUE(core::ValidateFile(p, true, true)) << p;
    }
    EXPECT_EQ(core::matchFiles(dataDir(), "*.ddl").size(), kSources.size());
    for (const auto& source : kSources) {
        for (const char* ext : {".hdl", ".ddl"})
            fs::copy_file(dataDir() / (source + ext), dir / (source + ext));
        ASSERT_TRUE(core::CompileDescription(dir / source));
        const auto tdl = dir / (source + ".tdl");
        // The shipped file carries the second validation line as well.
        ASSERT_TRUE(core::ValidateFile(tdl, true, true));
        EXPECT_TRUE(readAll(tdl) == readAll(dataDir() / tdl.filename()))
            << "data/" << tdl.filename().string() << " is not the compiled source: run scripts/compile-templates.sh";
        EXPECT_TRUE(box.shown.empty());
    }
}

// The calibration sources compile with the standard library's macros: their headers are
// copies of it (scripts/compile-templates.sh makes them).
TEST_F(ShippedDataTest, CalibrationHeadersAreTheStandardHeader)
{
    const auto header = readAll(dataDir() / "IEEE_Templates.hdl");
    int copies = 0;
    for (const auto& p : core::matchFiles(dataDir(), "IEEE_Calibration_*.hdl")) {
        EXPECT_TRUE(readAll(p) == header) << p << " differs from IEEE_Templates.hdl: run scripts/compile-templates.sh";
        ++copies;
    }
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(core::matchFiles(dataDir(), "IEEE_Calibration_*.ddl").size(), 3u);
}

TEST_F(ShippedDataTest, EveryFileLoadsAsValidated)
{
    for (const auto& e : fs::directory_iterator(dataDir()))
        if (e.is_regular_file())
            fs::copy_file(e.path(), dir / e.path().filename());
    auto& cs = core::coreState();
    cs.ProgramFolder = dir.path();

    for (const auto& p : core::matchFiles(dir.path(), "*.XDL")) {
        int score = 0;
        EXPECT_TRUE(core::ValidateFile(p, false, true, score)) << p;
        EXPECT_EQ(score, 3) << p;
    }
    core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(dir.path());
    for (const auto& p : core::matchFiles(dir.path(), "*.TDL"))
        core::ParseTemplateFile(p.filename().string());
    EXPECT_TRUE(box.shown.empty()) << box.shown[0].prompt;
    EXPECT_TRUE(core::CheckAllFilesValidated(false));
    ASSERT_GT(core::TemplatesLoaded(), 1000);
    const auto& st = core::tdlState();
    for (int i = 0; i <= st.TemplateLast; ++i)
        ASSERT_TRUE(st.Templates[static_cast<std::size_t>(i)].validated) << i;

    // The public ids and the catch-all entry last.
    core::ReadManufacturerList(dir / "ManufacturerList.xdl", core::listsState().Manufacturers);
    const auto& m = core::listsState().Manufacturers;
    const auto& ids = core::listsState().ManufacturerIds;
    ASSERT_EQ(m.ListCount(), 3);
    EXPECT_EQ(ids[0], 31);
    EXPECT_EQ(ids[1], 61);
    EXPECT_EQ(m.List(2), "Unknown manufacturer");
    EXPECT_EQ(ids[2], 4096);
}

} // namespace
