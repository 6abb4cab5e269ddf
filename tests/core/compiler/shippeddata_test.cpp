// The starter library in data/ as shipped: the compiled description file is what the
// compiler makes from its source, and every file loads as validated.
// TEDSMITH_REGENERATE_DATA=1 rewrites the compiled file and the validation lines in data/.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/compiler/cdefine.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/tdl/templateparser.h"
#include "core/validation/validation.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::dataDir;
using testing_support::readAll;
namespace fs = std::filesystem;

namespace {

const char* const kSource = "IEEE_Templates";

bool regenerate() { return std::getenv("TEDSMITH_REGENERATE_DATA") != nullptr; }

class ShippedDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::resetCoreState();
        core::resetTdlState();
        core::resetListsState();
    }
    void TearDown() override { SetUp(); }

    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(ShippedDataTest, CompiledFileIsTheCompiledSource)
{
    for (const char* ext : {".hdl", ".ddl"})
        fs::copy_file(dataDir() / (std::string(kSource) + ext), dir / (std::string(kSource) + ext));
    ASSERT_TRUE(core::CompileDescription(dir / kSource));
    const auto tdl = dir / (std::string(kSource) + ".tdl");
    // The shipped file carries the second validation line as well.
    ASSERT_TRUE(core::ValidateFile(tdl, true, true));
    if (regenerate()) {
        fs::copy_file(tdl, dataDir() / tdl.filename(), fs::copy_options::overwrite_existing);
        for (const char* list : {"TagList.xdl", "ManufacturerList.xdl"})
            ASSERT_TRUE(core::ValidateFile(dataDir() / list, true, true));
    }
    EXPECT_EQ(readAll(tdl), readAll(dataDir() / tdl.filename()));
    EXPECT_TRUE(box.shown.empty());
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

    const auto& st = core::tdlState();
    ASSERT_EQ(core::TemplatesLoaded(), 5);
    struct Expect {
        const char* name;
        int lengthBits;
        int fieldLast;
    };
    const Expect expected[] = {{"IEEE 1451.4 Accelerometer", 306, 16},
                               {"IEEE 1451.4 Accelerometer with transfer function", 309, 21},
                               {"IEEE 1451.4 Force transducer", 311, 18},
                               {"IEEE 1451.4 Force transducer with transfer function", 307, 23},
                               {"IEEE 1451.4 Bridge sensor", 992, 20}};
    for (int i = 0; i < 5; ++i) {
        const auto& t = st.Templates[static_cast<std::size_t>(i)];
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.name, expected[i].name);
        EXPECT_TRUE(t.validated);
        EXPECT_EQ(t.UTIDT, 2);
        EXPECT_EQ(t.lengthBits, expected[i].lengthBits);
        EXPECT_EQ(t.fieldLast, expected[i].fieldLast);
        // The Basic TEDS comes first; the manufacturer is found by its title.
        EXPECT_EQ(t.fields[0].typeKeyword, "MANUFACTURER");
        EXPECT_NE(t.fields[0].title.find("Manufacture"), std::string::npos);
        EXPECT_EQ(t.fields[4].bitAddress, 40);
        EXPECT_EQ(t.selectors[0].bitAddress, 64);
        EXPECT_EQ(t.selectors[1].bitAddress, 66);
        EXPECT_EQ(t.fields[static_cast<std::size_t>(t.fieldLast)].title, "User data");
        EXPECT_EQ(t.abstractCount, 2);
    }
    // Template 25 paths form one group headed by the plain accelerometer.
    const auto head = st.Templates[0].UTID;
    EXPECT_EQ(st.Templates[0].UGID, head);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(st.Templates[static_cast<std::size_t>(i)].UGID, head) << i;
    EXPECT_EQ(st.Templates[4].UGID, st.Templates[4].UTID);

    // The bridge template lays out the public bridge-sensor vector: bridge type at 210,
    // calibration date at 263, end selectors at 317 and 319.
    const auto& bridge = st.Templates[4];
    auto field = [&](const char* tag) -> const core::TemplateField& {
        for (int k = 0; k <= bridge.fieldLast; ++k)
            if (bridge.fields[static_cast<std::size_t>(k)].tagName == tag)
                return bridge.fields[static_cast<std::size_t>(k)];
        static core::TemplateField none;
        ADD_FAILURE() << tag;
        return none;
    };
    EXPECT_EQ(field("BRIDGETYPE").bitAddress, 210);
    EXPECT_EQ(field("SENSORIMPED").bitAddress, 212);
    EXPECT_EQ(field("CALDATE").bitAddress, 263);
    EXPECT_EQ(field("MEASID").bitAddress, 306);
    EXPECT_EQ(bridge.selectors[bridge.selectorLast - 1].bitAddress, 317);
    EXPECT_EQ(bridge.selectors[bridge.selectorLast].bitAddress, 319);

    core::ReadManufacturerList(dir / "ManufacturerList.xdl", core::listsState().Manufacturers);
    const auto& m = core::listsState().Manufacturers;
    ASSERT_GE(m.ListCount(), 2);
    EXPECT_EQ(m.List(m.ListCount() - 1), "Unknown manufacturer");
    EXPECT_EQ(core::listsState().ManufacturerIds[static_cast<std::size_t>(m.ListCount() - 1)], 4096);
}

} // namespace
