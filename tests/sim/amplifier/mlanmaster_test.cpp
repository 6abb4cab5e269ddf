// The 1-Wire master behind the ":MLAN" pass-through, on simulated networks.

#include "sim/amplifier/mlanmaster.h"

#include "sim/onewire/simnode.h"
#include "sim/onewire/simscratcheeprom.h"

#include <gtest/gtest.h>

#include <set>

using namespace platform::sim;

namespace {

std::string run(MlanMaster& m, const std::string& payloadHex)
{
    const auto p = hexToBytes(payloadHex);
    EXPECT_TRUE(p.has_value()) << payloadHex;
    return bytesToHex(m.run(*p));
}

std::string romHex(const RomCode& r) { return bytesToHex(Bytes(r.bytes.begin(), r.bytes.end())); }

class MlanMasterTest : public ::testing::Test {
protected:
    RomCode add(std::uint8_t family, std::uint64_t serial)
    {
        const auto rom = RomCode::make(family, serial);
        net.addNode(makeNode(rom));
        return rom;
    }
    SimNetwork net;
    MlanMaster multi{net, MasterMode::MultiDrop};
    MlanMaster single{net, MasterMode::SingleNode};
};

TEST_F(MlanMasterTest, HexConversions)
{
    EXPECT_EQ(bytesToHex({0x0A, 0xFF, 0x00}), "0AFF00");
    EXPECT_EQ(hexToBytes("0aFf"), (Bytes{0x0A, 0xFF}));
    EXPECT_FALSE(hexToBytes("0A1"));
    EXPECT_FALSE(hexToBytes("0G"));
}

TEST_F(MlanMasterTest, SearchStepsThroughEveryNodeThenEndsThePass)
{
    const std::set<std::string> roms = {romHex(add(0x23, 1)), romHex(add(0x2D, 77)), romHex(add(0x10, 0x123456))};
    for (int pass = 0; pass < 2; ++pass) {
        std::set<std::string> seen;
        for (int step = 0; step < 3; ++step) {
            const std::string a = run(multi, "8081000085");
            ASSERT_EQ(a.substr(0, 14), "0E800081000008") << a;
            seen.insert(a.substr(14));
        }
        EXPECT_EQ(seen, roms);
        EXPECT_EQ(run(multi, "8081000085").substr(0, 10), "0E80008101");
    }
}

TEST_F(MlanMasterTest, NewSearchStartsFromTheFirstNodeAgain)
{
    add(0x23, 1);
    add(0x23, 2);
    const std::string first = run(multi, "8081000085");
    run(multi, "8081000085");
    EXPECT_EQ(run(multi, "01020000"), "020100");
    EXPECT_EQ(run(multi, "8081000085"), first);
}

TEST_F(MlanMasterTest, EmptyBusHasNoPresence)
{
    EXPECT_EQ(run(multi, "8081000085").substr(0, 10), "0E80048101");
}

TEST_F(MlanMasterTest, ReadRomOnASingleNodeChannel)
{
    const auto rom = add(0x14, 0xABCDEF);
    EXPECT_EQ(run(single, "800A02093385"), "0D80000A0933" + romHex(rom));
    // Skip ROM, no terminator: the answer is still built.
    EXPECT_EQ(run(single, "800A0201CC"), "0580000A01CC");
}

TEST_F(MlanMasterTest, SingleNodeMasterRefusesAddressing)
{
    add(0x23, 5);
    EXPECT_EQ(run(single, "8081000085"), "048000" "81FE");
    EXPECT_EQ(run(single, "82"), "0282FE");
}

TEST_F(MlanMasterTest, SelectThenReadMemory)
{
    const auto rom = add(0x23, 9);
    auto* node = dynamic_cast<SimDs2433*>(net.findNode(rom));
    ASSERT_NE(node, nullptr);
    node->memory()[0] = 0x12;
    node->memory()[1] = 0x34;
    EXPECT_EQ(run(multi, "0008" + romHex(rom) + "82"), "0C0008" + romHex(rom) + "8200");
    // Read memory F0h from 0000h, then two bytes read.
    EXPECT_EQ(run(multi, "0A0403F0000085"), "050A03F00000");
    EXPECT_EQ(run(multi, "0A010285"), "040A021234");
    // Re-addressing with "82" reaches the same node again.
    EXPECT_EQ(run(multi, "82"), "028200");
}

TEST_F(MlanMasterTest, BitExchangeAndLongBlockRead)
{
    add(0x23, 3);
    EXPECT_EQ(run(multi, "090201" "01" "85"), "03090101");
    const std::string a = run(multi, "0A012985");
    EXPECT_EQ(a.substr(0, 6), "2B0A29");
    EXPECT_EQ(a.size(), 2u + 4u + 41u * 2u);
}

TEST_F(MlanMasterTest, StrongPullupCodes)
{
    struct Row {
        const char* payload;
        const char* answer;
        long minBusMs;
    };
    const Row rows[] = {
        {"03010B800300", "0403000300", 32},
        {"03010B830300", "0403000300", 512},
        {"03010B840300", "0403000300", 1024},
        {"03010B0300", "0203FF", 0}, // no duration code
    };
    for (const auto& r : rows) {
        net.resetBusTime();
        EXPECT_EQ(run(multi, r.payload), r.answer) << r.payload;
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(net.busTime()).count(), r.minBusMs);
    }
}

TEST_F(MlanMasterTest, MalformedCommandsEndTheRun)
{
    struct Row {
        const char* payload;
        const char* answer;
    };
    const Row rows[] = {
        {"0A05FF", "020AFF"},        // length past the end
        {"77", "0277FF"},            // unknown command
        {"0A", "020AFF"},            // no length
        {"0A0301FFFF", "020AFF"},    // more bytes given than exchanged
        {"000301020380", "0200FF"},  // ROM register of 3 bytes
        {"80" "77" "80", "048004" "77FF"},
        {"85" "77", "00"},           // nothing after the terminator runs
        {"", "00"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(run(multi, r.payload), r.answer) << r.payload;
}

} // namespace
