// The scratchpad EEPROMs copy only what they were sent, and only a copy the node reports
// done counts; each job proves its node once and addresses it with plain Match ROM later.
#include "driverfixture.h"

#include "device/drivers/fam12.h"
#include "device/drivers/fam14.h"
#include "device/drivers/fam23.h"
#include "device/drivers/fam2d.h"
#include "device/drivers/memorynode.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::sim::BusEvent;
using platform::sim::SimDs2430;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;
using platform::sim::SimDualSwitch;

namespace {

struct EepromRow {
    const char* name;
    int family;
    int endStatus;  // E/S of a full scratchpad
};

void PrintTo(const EepromRow& r, std::ostream* os) { *os << r.name; }

class ScratchpadCopy : public DriverFixture, public ::testing::WithParamInterface<EepromRow> {
protected:
    platform::sim::SimNode& addRow()
    {
        if (GetParam().family == 0x23)
            return add<SimDs2433>(0x23);
        return add<SimDs2431>(0x2D);
    }
    static const std::vector<std::uint8_t>& memory(platform::sim::SimNode& n)
    {
        if (auto* a = dynamic_cast<SimDs2433*>(&n))
            return a->memory();
        return static_cast<SimDs2431&>(n).memory();
    }
    static int copies(platform::sim::SimNode& n)
    {
        if (auto* a = dynamic_cast<SimDs2433*>(&n))
            return a->copies();
        return static_cast<SimDs2431&>(n).copies();
    }
    // Copy commands for the first scratchpad of page 1 sent since the transcript was cleared.
    int copyCommands() const
    {
        int n = 0;
        while (byteAfter({0x55, 0x00, 0x00, GetParam().endStatus}, n, 0).slot >= 0)
            ++n;
        return n;
    }
};

TEST_P(ScratchpadCopy, AScratchpadThatReadsBackDifferentIsNeverCopied)
{
    platform::sim::SimNode& node = addRow();
    node.faults().scratchpadDiffers = true;
    core::TedsBuf tb = image(node, false);
    net->clearTranscript();
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(copyCommands(), 0);
    EXPECT_EQ(copies(node), 0);
    const auto& m = memory(node);
    EXPECT_TRUE(std::all_of(m.begin(), m.begin() + 128, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_FALSE(tb.ReadOK);
}

TEST_P(ScratchpadCopy, ARefusedCopyFailsTheWriteBeforeTheVerify)
{
    platform::sim::SimNode& node = addRow();
    node.faults().refuseCopy = true;
    core::TedsBuf tb = image(node, false);
    net->clearTranscript();
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(copyCommands(), 2);  // page 1, two tries
    // No page was read back. A DS2431 that was not read before has its first page read
    // once, before anything is written (one read memory command from address 0; how the
    // search before it shows in the transcript depends on the adapter).
    int reads = 0;
    for (int n = 0; byteAfter({0xF0, 0x00, 0x00}, n, 0).slot >= 0; ++n)
        ++reads;
    EXPECT_EQ(reads, GetParam().family == 0x2D ? 1 : 0);
    EXPECT_EQ(copies(node), 0);
    EXPECT_TRUE(box.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Families, ScratchpadCopy,
                         ::testing::Values(EepromRow{"DS2433", 0x23, 0x1F}, EepromRow{"DS2431", 0x2D, 0x07}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScratchpadCopy, DS2431ReadsTheEndingStatusFromTheNodeAndChecksItsCrc)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->clearTranscript();
    ASSERT_TRUE(device::Write_fam2D_Page(mi, 1));
    // TA1, TA2 and E/S are read with FFh sent, so every flag of E/S comes back.
    const ByteEvent es = byteAfter({0xAA, 0xFF, 0xFF, 0xFF}, 0, 3);
    EXPECT_EQ(es.read, 0x07);
    // The CRC16 after the row: a bit flipped in it fails the row, nothing is copied.
    const long long crc = slotAfter({0xAA, 0xFF, 0xFF, 0xFF, 0xFF}, 0, 12);
    ASSERT_GT(crc, 0);
    std::fill(node.memory().begin(), node.memory().begin() + 32, 0xFF);
    const int before = node.copies();
    net->flipBitAfter(crc + 1);
    EXPECT_FALSE(device::Write_fam2D_Page(mi, 1));
    EXPECT_EQ(node.copies(), before);
}

// Resets and node searches of one job on the adapter branch: the node is searched for
// once per read job, a write job proves it by its scratchpad, every later command only
// matches its ROM.
struct JobRow {
    const char* name;
    int family;
    bool write;
    bool erased;  // a read of a node that holds FFh only
    int resets;
    int searches;
};

void PrintTo(const JobRow& r, std::ostream* os) { *os << r.name; }

class ResetsPerJob : public DriverFixture, public ::testing::WithParamInterface<JobRow> {
protected:
    // A reset followed by the Search ROM command.
    int searches() const
    {
        const auto& t = net->transcript();
        int n = 0;
        for (std::size_t i = 0; i + 1 < t.size(); ++i)
            n += t[i].kind == BusEvent::Reset && t[i + 1].kind == BusEvent::Byte && t[i + 1].written == 0xF0;
        return n;
    }
};

TEST_P(ResetsPerJob, AreTheFewestTheJobNeeds)
{
    const JobRow& row = GetParam();
    platform::sim::SimNode* node = nullptr;
    switch (row.family) {
    case 0x12:
        node = &add<SimDualSwitch>(0x12);
        break;
    case 0x14:
        node = &add<SimDs2430>(0x14);
        break;
    case 0x23:
        node = &add<SimDs2433>(0x23);
        break;
    default:
        node = &add<SimDs2431>(0x2D);
        break;
    }
    add<SimDs2431>(0x2D, 0x777);  // another node on the bus
    core::TedsBuf tb = image(*node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    bool confirmed = true;
    nodes.records = std::vector<int>{0x12};  // the EPROM is programmed with no other family listed
    if (!row.write && !row.erased)
        ASSERT_TRUE(device::Write_Node(tb, confirmed));
    net->clearTranscript();
    if (row.write) {
        ASSERT_TRUE(row.family == 0x23 ? device::Write_fam23_Page(mi, 2) : device::Write_fam2D_Page(mi, 2));
    } else {
        device::MemImage back;
        back.RomId = tb.id;
        if (row.family == 0x12)
            device::Read_fam12(back);
        else if (row.family == 0x14)
            device::Read_fam14(back, true);
        else if (row.family == 0x23)
            device::Read_fam23(back);
        else
            device::Read_fam2D(back);
        ASSERT_TRUE(back.ReadOK);
    }
    EXPECT_EQ(events(BusEvent::Reset), row.resets);
    EXPECT_EQ(searches(), row.searches);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, ResetsPerJob,
    ::testing::Values(JobRow{"DS2406Read", 0x12, false, false, 2, 1},
                      JobRow{"DS2430AFullRead", 0x14, false, false, 4, 1},
                      JobRow{"DS2433Read", 0x23, false, false, 2, 1}, JobRow{"DS2431Read", 0x2D, false, false, 2, 1},
                      // all FFh is also what a node that left gives: it is searched for again
                      JobRow{"DS2433ErasedRead", 0x23, false, true, 4, 2},
                      // select, read scratchpad, copy, read page back
                      JobRow{"DS2433PageWrite", 0x23, true, false, 4, 0},
                      // select, then per row write, read back and copy, then read page back
                      JobRow{"DS2431PageWrite", 0x2D, true, false, 14, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
