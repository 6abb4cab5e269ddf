// A write of the scratchpad EEPROMs cut off at any moment (the node leaves the bus): the
// node then holds its old TEDS, the whole new one, or pages that fail their checksum,
// never pages that each pass with part of the edit. What the failed write says it
// reached is what the node holds.
#include "driverfixture.h"

#include "device/drivers/memorynode.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;
using platform::sim::SimScratchEeprom;

namespace {

struct CutRow {
    const char* name;
    std::uint8_t family;
    bool everyPage;  // the edit changes every page, else three of them
};

void PrintTo(const CutRow& r, std::ostream* os) { *os << r.name; }

class CutWrite : public DriverFixture, public ::testing::WithParamInterface<CutRow> {
protected:
    SimScratchEeprom& addNode()
    {
        if (GetParam().family == 0x23)
            return add<SimDs2433>(0x23);
        return add<SimDs2431>(0x2D);
    }
    // The node's TEDS as the editor has it: read from the node.
    core::TedsBuf readBack(SimScratchEeprom& node)
    {
        core::TedsBuf tb = blank(node);
        device::Read_Node(tb, false);
        return tb;
    }
    // The slots of one whole write of edit over old.
    std::uint64_t slotsOfWrite(SimScratchEeprom& node, const std::vector<std::uint8_t>& old, const core::TedsBuf& edit)
    {
        node.memory() = old;
        core::TedsBuf tb = readBack(node);
        tb.Bytes = edit.Bytes;
        core::BytesToBits(tb);
        const std::uint64_t start = net->slotCount();
        bool confirmed = false;
        EXPECT_TRUE(device::Write_Node(tb, confirmed));
        return net->slotCount() - start;
    }
};

TEST_P(CutWrite, ReadsBackOldNewOrAFailedChecksumAndSaysHowFarItGot)
{
    SimScratchEeprom& node = addNode();
    bool confirmed = false;
    core::TedsBuf first = image(node, false, 3);
    ASSERT_TRUE(device::Write_Node(first, confirmed));
    const auto old = node.memory();
    const auto oldBytes = tedsBytes(readBack(node));

    core::TedsBuf edit = readBack(node);
    if (GetParam().everyPage) {
        edit = image(node, false, 11);
    } else {
        for (int i : {5, edit.Size / 2, edit.Size - 3})
            edit.Bytes[static_cast<std::size_t>(i)] ^= 0x5A;
        core::BytesToBits(edit);
    }
    const auto newBytes = tedsBytes(edit);
    const std::uint64_t total = slotsOfWrite(node, old, edit);
    ASSERT_GT(total, 0u);

    int failedChecksums = 0, olds = 0, news = 0;
    for (std::uint64_t cut = 1; cut < total; cut += (cut < 64 ? 7 : 97)) {
        SCOPED_TRACE("cut after " + std::to_string(cut) + " of " + std::to_string(total) + " slots");
        node.memory() = old;
        node.setConnected(true);
        core::TedsBuf tb = readBack(node);
        ASSERT_EQ(tb.Status, core::TedsStatusReadOk);
        tb.Bytes = edit.Bytes;
        core::BytesToBits(tb);
        node.faults().vanishAfterSlots = cut;
        device::WriteReport report;
        const bool written = device::Write_Node(tb, confirmed, &report);
        node.faults().vanishAfterSlots.reset();
        node.setConnected(true);

        const core::TedsBuf back = readBack(node);
        if (written) {
            EXPECT_EQ(back.Status, core::TedsStatusReadOk);
            EXPECT_EQ(tedsBytes(back), newBytes);
            ++news;
            continue;
        }
        EXPECT_TRUE(report.known);
        if (report.reached == 0 && !report.uncertain) {
            EXPECT_EQ(node.memory(), old) << device::failedWriteText(report);
            EXPECT_EQ(device::failedWriteText(report), "nothing reached the node");
        }
        if (back.Status == core::TedsStatusCrcError) {
            ++failedChecksums;
            EXPECT_GT(report.reached + (report.uncertain ? 1 : 0), 0);
            continue;
        }
        ASSERT_EQ(back.Status, core::TedsStatusReadOk);
        const auto bytes = tedsBytes(back);
        EXPECT_TRUE(bytes == oldBytes || bytes == newBytes) << "pages that pass with part of the edit";
        ++(bytes == oldBytes ? olds : news);
    }
    // The sweep met every kind of outcome.
    EXPECT_GT(failedChecksums, 0);
    EXPECT_GT(olds, 0);
}

INSTANTIATE_TEST_SUITE_P(Families, CutWrite,
                         ::testing::Values(CutRow{"DS2433EveryPage", 0x23, true}, CutRow{"DS2433ThreePages", 0x23, false},
                                           CutRow{"DS2431EveryPage", 0x2D, true},
                                           CutRow{"DS2431ThreePages", 0x2D, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DriverFixture, AWriteThatLosesItsNodeSaysWhichPagesReachedIt)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    bool confirmed = false;
    core::TedsBuf first = image(node, false, 3);
    ASSERT_TRUE(device::Write_Node(first, confirmed));
    const auto old = node.memory();
    core::TedsBuf tb = blank(node);
    device::Read_Node(tb, false);
    tb.Bytes = image(node, false, 11).Bytes;
    core::BytesToBits(tb);

    // A whole write shows where page 3 (the third page written, after the guarded page 1
    // and page 2) is copied; the node goes once that page is verified.
    core::TedsBuf probe = tb;
    net->clearTranscript();
    ASSERT_TRUE(device::Write_Node(probe, confirmed));
    const long long copy = slotAfter({0x55, 0x40, 0x00, 0x1F}, 0, 0);
    ASSERT_GT(copy, 0);
    node.memory() = old;

    node.faults().vanishAfterSlots = static_cast<std::uint64_t>(copy) + 8 * (5 + 3 + 32 + 4);
    device::WriteReport report;
    EXPECT_FALSE(device::Write_Node(tb, confirmed, &report));
    EXPECT_TRUE(report.known);
    EXPECT_EQ(report.changed, 16);
    EXPECT_EQ(report.reached, 3);
    EXPECT_FALSE(report.uncertain);
    EXPECT_EQ(device::failedWriteText(report), "3 of 16 changed pages reached the node");
    // The guarded page 1 fails its checksum.
    node.faults().vanishAfterSlots.reset();
    node.setConnected(true);
    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusCrcError);
}

} // namespace
