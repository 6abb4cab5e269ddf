// The DS2406 EPROM: programming only what differs, never what it cannot program, the
// preconditions and the question, and the repair of older contents.
#include "driverfixture.h"

#include "device/drivers/fam12.h"
#include "device/drivers/memorynode.h"
#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simscratcheeprom.h"

#include <numeric>

using namespace drivertest;
using platform::sim::SimDualSwitch;

namespace {

const std::string kQuestion = "Are you sure you will program the DS2406 ROM ?";

class Ds2406 : public DriverFixture {
protected:
    SimDualSwitch& node = add<SimDualSwitch>(0x12);

    device::MemImage built(const core::TedsBuf& tb)
    {
        core::TedsBuf copy = tb;
        device::MemImage mi;
        Build_MemImage(copy, mi);
        return mi;
    }
    // The node already holds Data[1 .. n] of the image.
    void preprogram(const device::MemImage& mi, int n)
    {
        for (int i = 1; i <= n; ++i)
            node.memory()[static_cast<std::size_t>(i - 1)] = mi.Data[static_cast<std::size_t>(i)];
    }
};

TEST_F(Ds2406, ProgramsFromTheFirstDifferenceToTheLastByteThatIsNotErased)
{
    core::TedsBuf tb = image(node, false);
    // TEDS bytes past 70 erased: pages 3 and 4 carry only their checksum bytes.
    for (int i = 71; i <= tb.Size; ++i)
        tb.Bytes[static_cast<std::size_t>(i)] = 0xFF;
    const device::MemImage mi = built(tb);
    preprogram(mi, 40);
    ASSERT_EQ(mi.Data[97], 0x1F);  // page 4 checksum, the last byte that is not FFh

    bool confirmed = true;
    ASSERT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(node.programPulses(), 97 - 41 + 1);
    for (int i = 1; i <= 128; ++i)
        ASSERT_EQ(node.memory()[static_cast<std::size_t>(i - 1)], mi.Data[static_cast<std::size_t>(i)]) << i;
}

TEST_F(Ds2406, AnImageTheNodeHoldsProgramsNothing)
{
    core::TedsBuf tb = image(node, true);
    const device::MemImage mi = built(tb);
    preprogram(mi, 128);
    bool confirmed = true;
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(node.programPulses(), 0);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Ds2406, RefusesAnImageThatNeedsAProgrammedBitBack)
{
    core::TedsBuf tb = image(node, false);
    node.memory()[49] = 0x00;  // address 49: programmed to zero long ago
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(node.programPulses(), 0);
    ASSERT_EQ(box.prompts().size(), 1u);
    EXPECT_NE(box.prompts()[0].find("Byte address: 49"), std::string::npos) << box.prompts()[0];
}

TEST_F(Ds2406, ComparesWithTheRawContentNotTheRepairedImage)
{
    // A node list of two entries in page 1 (checksum right), the rest unprogrammed.
    std::array<std::uint8_t, 32> page{};
    page.fill(0xFF);
    page[0] = 1;
    page[1] = 0;
    page[2] = 2;
    for (int i = 3; i < 12; ++i)
        page[static_cast<std::size_t>(i)] = 0;
    const unsigned sum = std::accumulate(page.begin(), page.end(), 0u);
    page[3] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    std::copy(page.begin(), page.end(), node.memory().begin());

    core::TedsBuf tb = blank(node);
    device::Read_Node(tb, false);
    ASSERT_EQ(tb.Status, core::TedsStatusReadOk);
    ASSERT_TRUE(tb.DraftLayout);
    tb.TemplateIndex = 0;
    tb.Bytes[20] = 0x00;  // an edit

    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(node.programPulses(), 0);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), node.memory().begin()));
}

TEST_F(Ds2406, OtherFamiliesOnTheBusAndTheAmplifierLinkAreRefusedBeforeAnyTraffic)
{
    nodes.records = std::vector<int>{0x12, 0, 0x2D, 0x23};
    device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    net->clearTranscript();
    core::TedsBuf tb = image(node, false);
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), (std::vector<std::string>{"Please remove other than family 12 on the microLAN",
                                                       "Pelox does not support programming EPROM's"}));
    EXPECT_TRUE(net->transcript().empty());

    box.clear();
    nodes.records = std::vector<int>{0x12, 0, 0x12};
    EXPECT_FALSE(device::Check_Only_fam12());
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Pelox does not support programming EPROM's"});
    device::deviceState().InterfaceType = device::InterfaceType::Adapter;
    EXPECT_TRUE(device::Check_Only_fam12());
}

TEST_F(Ds2406, QuestionCancelAndSuppression)
{
    core::TedsBuf tb = image(node, false);
    box.queue(platform::MsgCancel);
    bool confirmed = false;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(node.programPulses(), 0);

    Suppressor server;
    core::setMessageSuppressor(&server);
    box.clear();
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(server.log, std::vector<std::string>{"MsgBox suppressed: " + kQuestion});
    EXPECT_EQ(node.programPulses(), 0);

    device::driverState().RomProgrammingAllowed = true;
    EXPECT_TRUE(device::Write_Node(tb, confirmed));
    EXPECT_TRUE(confirmed);
    EXPECT_GT(node.programPulses(), 0);
}

TEST_F(Ds2406, ProgrammingErrorEndsTheWrite)
{
    core::TedsBuf tb = image(node, false);
    // Gone in the middle of programming.
    node.faults().vanishAfterSlots = 4000;
    bool confirmed = true;
    EXPECT_FALSE(device::Write_Node(tb, confirmed));
    ASSERT_FALSE(box.prompts().empty());
    EXPECT_EQ(box.prompts()[0].rfind("Write error # 0, bits left: 8 Byte address: ", 0), 0u) << box.prompts()[0];
    EXPECT_FALSE(tb.ReadOK);
}

// --- Repair of the older contents ------------------------------------------------

device::MemImage rawImage(const std::vector<std::pair<int, int>>& bytes)
{
    device::MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.Data.assign(129, 0xFF);
    mi.Data[0] = 0;
    for (auto [i, v] : bytes)
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v);
    return mi;
}

// Data[1] := the byte that makes page 1 sum to 0 modulo 256.
void fixPage1(device::MemImage& mi)
{
    unsigned sum = 0;
    for (int i = 2; i <= 32; ++i)
        sum += mi.Data[static_cast<std::size_t>(i)];
    mi.Data[1] = device::checksumFor(sum);
}

TEST(RepairMemImage, NodeListMovesNinePlacesUpAndDecodesInTheP1451Layout)
{
    // 1, 0, n = 3: the list ends at byte m = 20, bytes 21 and 22 are FFh. The leading 1
    // stands where the checksum goes, so byte 23 makes page 1 sum to 0.
    device::MemImage mi = rawImage({{1, 1}, {2, 0}, {3, 3}});
    for (int i = 4; i <= 20; ++i)
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x40 + i);
    unsigned sum = 0;
    for (int i = 1; i <= 32; ++i)
        if (i != 23)
            sum += mi.Data[static_cast<std::size_t>(i)];
    mi.Data[23] = device::checksumFor(sum);
    mi.Data[40] = 0x77;  // page 2 moves one place up
    const device::MemImage before = mi;

    device::Repair_MemImage(mi);
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0xFF) << i;
    for (int i = 1; i <= 19; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i + 9)], before.Data[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(mi.Data[41], 0x77);
    device::Check_Page_Checksums(mi, false);
    EXPECT_TRUE(mi.ChecksumOK);

    core::TedsBuf tb;
    tb.Family = 0x12;
    device::Check_And_Decode(mi, tb);
    EXPECT_TRUE(tb.DraftLayout);
    EXPECT_EQ(tb.Status, core::TedsStatusReadOk);
    EXPECT_EQ(tb.Bytes[1], 1);
    EXPECT_EQ(tb.Bytes[2], 0);
    EXPECT_EQ(tb.Bytes[3], 3);
    EXPECT_EQ(tb.Bytes[4], 0x44);
}

TEST(RepairMemImage, EarlyHeadMovesEightPlacesUp)
{
    device::MemImage mi = rawImage({{2, 0x0E}, {3, 0x50}, {4, 0x20}, {5, 0}, {6, 0}, {7, 0x11}, {24, 0x22}});
    fixPage1(mi);
    device::Repair_MemImage(mi);
    EXPECT_EQ(mi.Data[10], 0x0E);
    EXPECT_EQ(mi.Data[15], 0x11);
    EXPECT_EQ(mi.Data[32], 0x22);
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0xFF);
    device::Check_Page_Checksums(mi, false);
    EXPECT_TRUE(mi.ChecksumOK);
}

// Page 1 made to sum to 0 through its last byte (Data[1] stays as given).
device::MemImage balanced(device::MemImage mi)
{
    unsigned sum = 0;
    for (int i = 1; i <= 31; ++i)
        sum += mi.Data[static_cast<std::size_t>(i)];
    mi.Data[32] = device::checksumFor(sum);
    return mi;
}

TEST(RepairMemImage, OtherContentsStayAsRead)
{
    struct Row {
        const char* name;
        device::MemImage mi;
    };
    const Row rows[] = {
        {"WrongChecksum", rawImage({{1, 1}, {2, 0}, {3, 2}, {4, 7}})},
        {"NoEntries", balanced(rawImage({{1, 1}, {2, 0}, {3, 0}}))},
        {"ListNotClosed", balanced(rawImage({{1, 1}, {2, 0}, {3, 1}, {5, 0x10}}))},
        {"MoreThanFour", balanced(rawImage({{1, 1}, {2, 0}, {3, 5}}))},
        {"OtherHead", balanced(rawImage({{2, 0x0E}, {3, 0x50}, {4, 0x21}}))},
    };
    for (const Row& r : rows) {
        device::MemImage mi = r.mi;
        device::Repair_MemImage(mi);
        EXPECT_EQ(mi.Data, r.mi.Data) << r.name;
    }
}

} // namespace
