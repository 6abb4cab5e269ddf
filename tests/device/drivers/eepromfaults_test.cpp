// The EEPROM writers when something goes wrong: protected pages, copies that never
// finish, a node that leaves halfway, bits flipped on the bus. None of them may end
// in a reported success unless the node holds the image.
#include "driverfixture.h"

#include "device/drivers/fam23.h"
#include "device/drivers/fam2d.h"
#include "device/drivers/memorynode.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::sim::SimDs2430;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;

namespace {

class EepromFaults : public DriverFixture {
protected:
    // mi knows what the node holds now.
    static void known(device::MemImage& mi, platform::sim::SimScratchEeprom& node)
    {
        mi.DeviceKnown = true;
        mi.DeviceData.assign(mi.Data.size(), 0);
        for (std::size_t i = 1; i < mi.DeviceData.size() && i - 1 < node.memory().size(); ++i)
            mi.DeviceData[i] = node.memory()[i - 1];
    }
    // The node's bytes from address 0 as the image's raw Data[1 ..].
    static bool nodeHolds(const std::vector<std::uint8_t>& memory, const core::TedsBuf& tb)
    {
        for (int i = 1; i <= tb.RawSize; ++i)
            if (memory[static_cast<std::size_t>(i - 1)] != tb.RawImage[static_cast<std::size_t>(i)])
                return false;
        return true;
    }
};

struct ProtectionRow {
    const char* name;
    SimDs2431::Protection protection;
    std::string message;
};

void PrintTo(const ProtectionRow& r, std::ostream* os) { *os << r.name; }

class Ds2431Protection : public EepromFaults, public ::testing::WithParamInterface<ProtectionRow> {};

TEST_P(Ds2431Protection, PageThatDoesNotTakeItsDataIsReportedTwiceAndFails)
{
    const ProtectionRow& row = GetParam();
    SimDs2431& node = add<SimDs2431>(0x2D);
    // EPROM mode only ANDs: with zeros in the page nothing of the image gets through.
    for (int a = 32; a < 64; ++a)
        node.memory()[static_cast<std::size_t>(a)] = 0x00;
    node.setProtection(1, row.protection);

    core::TedsBuf tb = image(node, false);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{row.message, row.message}));
    EXPECT_FALSE(tb.ReadOK);
    // Page 1 was written, the loop stopped at page 2: pages 3 and 4 are untouched.
    EXPECT_EQ(node.memory()[64], 0xFF);
    EXPECT_EQ(node.memory()[127], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Ds2431Protection,
    ::testing::Values(ProtectionRow{"WriteProtected", SimDs2431::Protection::WriteProtected,
                                    "Data memory in page 1 of DS2431, is write protected !"},
                      ProtectionRow{"EpromMode", SimDs2431::Protection::EpromMode,
                                    "Data memory in page 1 of DS2431, is in EPROM mode !"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EepromFaults, CopyThatNeverCompletesFailsEveryFamily)
{
    SimDs2431& a = add<SimDs2431>(0x2D, 1);
    SimDs2433& b = add<SimDs2433>(0x23, 2);
    SimDs2430& c = add<SimDs2430>(0x14, 3);
    for (platform::sim::SimNode* n : std::initializer_list<platform::sim::SimNode*>{&a, &b, &c}) {
        n->faults().copyNeverCompletes = true;
        box.clear();
        core::TedsBuf tb = image(*n, n->rom().family() == 0x14);
        bool confirmed = false;
        EXPECT_FALSE(device::Write_Node(tb, confirmed)) << n->typeName();
        EXPECT_FALSE(tb.ReadOK);
    }
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Comparing failed"});  // the DS2430A
}

TEST_F(EepromFaults, ReadBackEndingStatusWrongFailsTheRowAndThePageIsTriedOnceMore)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);

    // A clean run shows where the E/S byte of the first row comes back.
    net->clearTranscript();
    ASSERT_TRUE(device::Write_fam2D_Page(mi, 1));
    const long long es = slotAfter({0xAA, 0xFF, 0xFF}, 0, 3);
    ASSERT_GT(es, 0);
    // The failed try ends with the scratchpad read back in the same exchange as the E/S
    // byte (its 8 bytes and the CRC16).
    const long long firstTry = es + 8 + 8 * (8 + 2);
    const int copies = node.copies();

    // What the node holds is known (pages 2 to 4 were never written).
    std::fill(node.memory().begin(), node.memory().begin() + 32, 0xFF);
    known(mi, node);
    net->flipBitAfter(es + 1);
    EXPECT_TRUE(device::Write_fam2D(mi));  // the second try takes the page
    // Page 1's four rows with a failing checksum, pages 2 to 4, page 1 with its own.
    EXPECT_EQ(node.copies(), copies + 20);

    std::fill(node.memory().begin(), node.memory().end() - 0x10, 0xFF);
    known(mi, node);
    const int before = node.copies();
    net->flipBitAfter(es + 1);
    net->flipBitAfter(firstTry + es + 1);
    EXPECT_FALSE(device::Write_fam2D(mi));
    EXPECT_EQ(node.copies(), before);  // nothing copied, page 2 never tried
}

TEST_F(EepromFaults, DS2433WithWrongEndingStatusIsNotCopied)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->clearTranscript();
    ASSERT_TRUE(device::Write_fam23_Page(mi, 3));
    const long long es = slotAfter({0xAA, 0xFF, 0xFF}, 0, 3);
    ASSERT_GT(es, 0);
    const long long firstTry = es + 8 + 8 * 32;  // the scratchpad read with the E/S byte

    const int before = node.copies();
    net->flipBitAfter(es + 1);
    net->flipBitAfter(firstTry + es + 1);
    EXPECT_FALSE(device::Write_fam23(mi));
    EXPECT_EQ(node.copies(), before);
}

TEST_F(EepromFaults, DS2433CopyIsNeverAuthorisedForAnotherAddress)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->clearTranscript();
    ASSERT_TRUE(device::Write_fam23_Page(mi, 3));
    ASSERT_GE(byteAfter({0x55, 0x40, 0x00, 0x1F}, 0, 0).slot, 0);
    const long long ta1 = slotAfter({0xAA, 0xFF, 0xFF}, 0, 1);
    ASSERT_GT(ta1, 0);

    // Page 3 starts at 0040h; the address comes back as 0041h.
    net->clearTranscript();
    net->flipBitAfter(ta1 + 1);
    const int before = node.copies();
    EXPECT_FALSE(device::Write_fam23_Page(mi, 3));
    EXPECT_EQ(byteAfter({0x55, 0x41, 0x00}, 0, 0).slot, -1);
    EXPECT_EQ(node.copies(), before);
}

TEST_F(EepromFaults, BitFlippedWhileSendingDoesNotReachTheImage)
{
    SimDs2431& node = add<SimDs2431>(0x2D);
    core::TedsBuf tb = image(node, false);
    // The third data byte of the second row, as the bus echoes it back, in the same write
    // as the one below: the slot is counted from its start.
    std::fill(node.memory().begin(), node.memory().begin() + 128, 0xFF);
    core::TedsBuf clean = tb;
    bool confirmed = false;
    net->clearTranscript();
    ASSERT_TRUE(device::Write_Node(clean, confirmed));
    const long long second = slotAfter({0x0F, 0x08, 0x00}, 0, 5);
    ASSERT_GT(second, 0);

    std::fill(node.memory().begin(), node.memory().begin() + 128, 0xFF);
    net->clearTranscript();
    net->flipBitAfter(second + 4);
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    const ByteEvent echo = byteAfter({0x0F, 0x08, 0x00}, 0, 5);
    ASSERT_NE(echo.read, echo.written);  // the flip hit that byte
    EXPECT_TRUE(nodeHolds(node.memory(), tb));

    core::TedsBuf back = blank(node);
    device::Read_Node(back, false);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(tedsBytes(back), tedsBytes(tb));
}

TEST_F(EepromFaults, BitFlippedInTheVerifyReadIsRetriedAndEndsCorrect)
{
    SimDs2433& node = add<SimDs2433>(0x23);
    core::TedsBuf tb = image(node, false);
    device::MemImage mi;
    Build_MemImage(tb, mi);
    net->clearTranscript();
    ASSERT_TRUE(device::Write_fam23_Page(mi, 1));
    const long long verify = slotAfter({0xF0, 0x00, 0x00}, 0, 10);
    ASSERT_GT(verify, 0);

    std::fill(node.memory().begin(), node.memory().end(), 0xFF);
    net->flipBitAfter(verify + 2);
    const int before = node.copies();
    EXPECT_TRUE(device::Write_fam23(mi));
    // Page 1 first with a failing checksum, twice (the verify), then pages 2 to 16, then
    // page 1 with its own checksum.
    EXPECT_EQ(node.copies(), before + 18);
    for (int a = 0; a < 512; ++a)
        ASSERT_EQ(node.memory()[static_cast<std::size_t>(a)], mi.Data[static_cast<std::size_t>(a + 1)]) << a;
}

TEST_F(EepromFaults, PageOutsideTheImageIsRefusedWithoutTraffic)
{
    SimDs2431& a = add<SimDs2431>(0x2D, 1);
    SimDs2433& b = add<SimDs2433>(0x23, 2);
    core::TedsBuf ta = image(a, false);
    core::TedsBuf tb = image(b, false);
    device::MemImage ma, mb;
    Build_MemImage(ta, ma);
    Build_MemImage(tb, mb);
    net->clearTranscript();
    for (int page : {0, -1, 5})
        EXPECT_FALSE(device::Write_fam2D_Page(ma, page)) << page;
    EXPECT_FALSE(device::Write_fam23_Page(mb, 17));
    mb.Data.resize(33 + 10);  // the image lost the end of page 2
    EXPECT_FALSE(device::Write_fam23_Page(mb, 2));
    EXPECT_FALSE(device::Write_fam23(mb));
    EXPECT_TRUE(net->transcript().empty());
    EXPECT_TRUE(box.shown.empty());
}

struct VanishRow {
    const char* name;
    int family;
    std::uint64_t slots;
};

void PrintTo(const VanishRow& r, std::ostream* os) { *os << r.name; }

class NodeLeavesHalfway : public EepromFaults, public ::testing::WithParamInterface<VanishRow> {};

TEST_P(NodeLeavesHalfway, WriteAndEraseFail)
{
    const VanishRow& row = GetParam();
    platform::sim::SimNode* node = nullptr;
    if (row.family == 0x2D)
        node = &add<SimDs2431>(0x2D);
    else if (row.family == 0x23)
        node = &add<SimDs2433>(0x23);
    else
        node = &add<SimDs2430>(0x14);

    node->faults().vanishAfterSlots = row.slots;
    core::TedsBuf tb = image(*node, row.family == 0x14);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_FALSE(tb.ReadOK);

    // Erasing: a node with the same id, leaving after the same traffic.
    auto fresh = platform::sim::makeNode(node->rom());
    fresh->faults().vanishAfterSlots = row.slots;
    net->addNode(fresh);  // replaces the node that left
    box.clear();
    EXPECT_FALSE(device::Erase_Node(tb));
    EXPECT_EQ(box.prompts().back(), "Write not succeded");
}

INSTANTIATE_TEST_SUITE_P(Families, NodeLeavesHalfway,
                         ::testing::Values(VanishRow{"DS2431_Page2", 0x2D, 6000}, VanishRow{"DS2431_Row1", 0x2D, 700},
                                           VanishRow{"DS2433_Page5", 0x23, 9000},
                                           VanishRow{"DS2430A_Data", 0x14, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
