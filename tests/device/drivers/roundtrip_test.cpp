// Every memory family in both layouts: what is written reads back the same, through
// the TMEX layer on the simulated network.
#include "driverfixture.h"

#include "device/drivers/memorynode.h"
#include "tests/support/testsupport.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::sim::SimDs2430;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;
using platform::sim::SimDualSwitch;

namespace {

struct LayoutRow {
    const char* name;
    int family;
    bool draft;
    int size;
};

void PrintTo(const LayoutRow& r, std::ostream* os) { *os << r.name; }

class RoundTrip : public DriverFixture, public ::testing::WithParamInterface<LayoutRow> {
protected:
    platform::sim::SimNode& addFamily(int family)
    {
        switch (family) {
        case 0x12:
            return add<SimDualSwitch>(0x12);
        case 0x14:
            return add<SimDs2430>(0x14);
        case 0x23:
            return add<SimDs2433>(0x23);
        default:
            return add<SimDs2431>(0x2D);
        }
    }
};

TEST_P(RoundTrip, WriteThenReadGivesTheSameBytesAndReadOk)
{
    const LayoutRow& row = GetParam();
    platform::sim::SimNode& node = addFamily(row.family);
    core::TedsBuf tb = image(node, row.draft);
    ASSERT_EQ(tb.Size, row.size);

    bool confirmed = true;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(box.shown.empty()) << box.shown.front().prompt;
    EXPECT_TRUE(tb.ReadOK);

    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_TRUE(back.ReadOK);
    EXPECT_EQ(back.DraftLayout, row.draft);
    EXPECT_EQ(back.Size, row.size);
    EXPECT_EQ(tedsBytes(back), tedsBytes(tb));
    // The raw image kept after the write is what the node now holds.
    EXPECT_EQ(back.RawImage, tb.RawImage);
    EXPECT_TRUE(box.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Families, RoundTrip,
                         ::testing::Values(LayoutRow{"DS2406", 0x12, false, 124}, LayoutRow{"DS2406_P1451", 0x12, true, 116},
                                           LayoutRow{"DS2430A", 0x14, false, 39},
                                           LayoutRow{"DS2430A_P1451", 0x14, true, 31},
                                           LayoutRow{"DS2433", 0x23, false, 496},
                                           LayoutRow{"DS2433_P1451", 0x23, true, 488},
                                           LayoutRow{"DS2431", 0x2D, false, 124},
                                           LayoutRow{"DS2431_P1451", 0x2D, true, 116}),
                         [](const auto& info) { return std::string(info.param.name); });

class Reads : public DriverFixture {};

TEST_F(Reads, ErasedNodesReadAsVirgin)
{
    for (platform::sim::SimNode* node : std::initializer_list<platform::sim::SimNode*>{
             &add<SimDs2431>(0x2D, 1), &add<SimDs2433>(0x23, 2), &add<SimDs2430>(0x14, 3), &add<SimDualSwitch>(0x12, 4)}) {
        core::TedsBuf tb = blank(*node);
        device::Read_Node(tb, false);
        EXPECT_TRUE(tb.ReadOK) << node->typeName();
        EXPECT_EQ(tb.Status, core::TedsStatusVirgin) << node->typeName();
    }
}

TEST_F(Reads, ABrokenPageChecksumIsACrcError)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    node.memory()[40] ^= 0x10;  // page 2

    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_TRUE(back.ReadOK);
    EXPECT_EQ(back.Status, core::TedsStatusCrcError);
}

TEST_F(Reads, AFlippedBitOnTheBusIsACrcErrorNeverReadOk)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));

    core::TedsBuf back = blank(node);
    net->clearTranscript();
    device::Read_Node(back, false);
    ASSERT_EQ(back.Status, core::TedsStatusReadOk);
    // A bit of data byte 70 (page 3), past the read command and its address.
    const long long slot = slotAfter({0xF0, 0x00, 0x00}, 0, 3 + 69);
    ASSERT_GT(slot, 0);

    net->flipBitAfter(slot + 5);
    device::Read_Node(back, false);
    EXPECT_TRUE(back.ReadOK);
    EXPECT_EQ(back.Status, core::TedsStatusCrcError);
}

TEST_F(Reads, AbsentNodeAndUnknownFamilyAreNotRead)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf gone = blank(node);
    gone.Status = core::TedsStatusReadOk;
    net->removeNode(node.rom());
    device::Read_Node(gone, false);
    EXPECT_FALSE(gone.ReadOK);
    EXPECT_EQ(gone.Status, core::TedsStatusNotRead);
    EXPECT_TRUE(box.shown.empty());

    core::TedsBuf other;
    other.id = "5E0000000000AB10";
    other.Family = 0x10;
    device::Read_Node(other, false);
    EXPECT_EQ(other.Status, core::TedsStatusNotRead);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Device family not known"});
}

TEST_F(Reads, ANodeThatLeavesRightAfterSelectionIsNotAVirgin)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    // Selection and the read command pass; then the node is gone.
    node.faults().vanishAfterSlots = 8 * (1 + 8 + 3) + 16;
    core::TedsBuf tb = blank(node);
    device::Read_Node(tb, false);
    EXPECT_FALSE(tb.ReadOK);
    EXPECT_EQ(tb.Status, core::TedsStatusNotRead);
}

class Writes : public DriverFixture {};

TEST_F(Writes, AnImageEqualToTheNodeSendsNothing)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    core::TedsBuf again = blank(node);
    device::Read_Node(again, false);

    net->clearTranscript();
    EXPECT_TRUE(device::Write_Node(again, confirmed));
    EXPECT_TRUE(sentBytes().empty());
}

TEST_F(Writes, OnlyTheChangedPageIsCopied)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    // Every page, and page 1 twice: first with a checksum that fails, last with its own.
    ASSERT_EQ(node.copies(), 17);

    core::TedsBuf edit = blank(node);
    device::Read_Node(edit, false);
    edit.Bytes[200] ^= 0x5A;  // page 7
    ASSERT_TRUE(device::Write_Node(edit, confirmed));
    EXPECT_EQ(node.copies(), 18);

    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(tedsBytes(back), tedsBytes(edit));
}

TEST_F(Writes, FilesAreCheckedOnlyWhenNotKnownValid)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(files.calls, 0);

    core::coreState().AllFilesValid = false;
    tb = image(node, false, 9);
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(files.calls, 1);
    EXPECT_FALSE(files.lastAsk);
    EXPECT_TRUE(device::driverState().ValidationResult);
}

TEST_F(Writes, FailedFileCheckWritesNothing)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    tb.TemplateIndex = 5;  // no such template: not validated
    files.result = false;
    net->clearTranscript();
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(files.calls, 1);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Validation of files failed, please validate, and try again"});
    EXPECT_TRUE(sentBytes().empty());
    EXPECT_EQ(node.memory()[1], 0xFF);
}

TEST_F(Writes, WithoutAGateTheTemplateLibraryChecksTheProgramFolder)
{
    device::setFileValidation(nullptr);
    testing_support::TempDir folder;
    core::coreState().ProgramFolder = folder.path();
    folder.write("Broken.xdl", "no validation line\r\n");
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    tb.TemplateIndex = -1;
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Validation of files failed, please validate, and try again"});
    EXPECT_EQ(node.copies(), 0);

    std::filesystem::remove(folder / "Broken.xdl");
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
}

TEST_F(Writes, AFamilyWithoutDriverIsFalseWithoutMessage)
{
    core::TedsBuf tb;
    tb.id = "5E0000000000AB10";
    tb.Family = 0x10;
    tb.TemplateIndex = 0;
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
