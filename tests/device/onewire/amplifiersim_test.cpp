// The amplifier branch against the simulated amplifier chain on an in-memory line:
// search passes, device jobs, the lines sent and what went over the channel's bus.
#include "device/onewire/byteio.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/amplink/peloxtransport.h"
#include "device/state/devicelayer.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simscratcheeprom.h"
#include "tests/device/onewire/mlanfake.h"
#include "sim/amplifier/amplifierchain.h"
#include "tests/device/onewire/simbus.h"
#include "tests/support/freshstate.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace device;
using platform::sim::RomCode;
using testing_support::busText;
using testing_support::mlanLine;
using Lines = std::vector<std::string>;

namespace {

class AmplifierSim : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    void SetUp() override
    {
        DeviceState& ds = deviceState();
        ds.InterfaceType = device::InterfaceType::AmplifierLink;
        ds.SelectedAmplifier = 1;
        ds.SelectedChannel = 2;
        ds.AmpAddressing = true;
        make(platform::sim::MasterMode::MultiDrop);
    }
    void TearDown() override { setPeloxPort(nullptr); }

    void make(platform::sim::MasterMode mode)
    {
        setPeloxPort(nullptr);
        port.setPortOpen(false);
        platform::sim::AmplifierSimConfig config;
        config.amplifiers[0].channels[1].master = mode;
        chain = std::make_unique<platform::sim::AmplifierChain>(config);
        port.attach(chain.get());
        ASSERT_TRUE(port.setPortOpen(true));
        setPeloxPort(&port);
    }
    platform::sim::SimNetwork& net() { return chain->amplifier(1).channel(2).network(); }
    // The lines the chain received, the ":MLAN?" queries left out.
    Lines commands() const
    {
        Lines out;
        for (const auto& l : chain->lines())
            if (l.find(":MLAN?") == std::string::npos)
                out.push_back(l);
        return out;
    }

    Lines pass(int* steps)
    {
        Lines ids;
        bool found = false, done = false;
        *steps = 0;
        while (!done && *steps < 20) {
            std::string id;
            int family;
            uLAN_FindNext(found, done, id, family);
            if (found)
                ids.push_back(id);
            ++*steps;
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    testing_support::FreshState<resetDeviceLayer> fresh;
    platform::MemorySerialPort port;
    std::unique_ptr<platform::sim::AmplifierChain> chain;
};

std::string busOrder(const RomCode& r)
{
    std::string s;
    for (auto b : r.bytes)
        s += core::ByteToHex2(b);
    return s;
}

} // namespace

TEST_F(AmplifierSim, MultiDropPassesWithPlugging)
{
    const RomCode a = RomCode::make(0x23, 0x000000000A01);
    const RomCode b = RomCode::make(0x2D, 0x000000000B02);
    const RomCode c = RomCode::make(0x14, 0x000000000C03);
    int steps = 0;

    EXPECT_EQ(pass(&steps), Lines{});
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(chain->lines(), (Lines{mlanLine(2, "8081000085"), "I_C_2:MLAN?"}));

    net().addNode(platform::sim::makeNode(a));
    EXPECT_EQ(pass(&steps), Lines{a.nodeId()});
    EXPECT_EQ(steps, 2);

    net().addNode(platform::sim::makeNode(b));
    net().addNode(platform::sim::makeNode(c));
    Lines three = {a.nodeId(), b.nodeId(), c.nodeId()};
    std::sort(three.begin(), three.end());
    EXPECT_EQ(pass(&steps), three);
    EXPECT_EQ(steps, 4);

    net().removeNode(b);
    Lines two = {a.nodeId(), c.nodeId()};
    std::sort(two.begin(), two.end());
    EXPECT_EQ(pass(&steps), two);
    EXPECT_EQ(steps, 3);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(AmplifierSim, ReadJobOnAMultiDropChannel)
{
    const RomCode r = RomCode::make(0x23, 0x0000AABBCCDD);
    auto node = std::make_shared<platform::sim::SimDs2433>(r);
    for (std::size_t i = 0; i < node->memory().size(); ++i)
        node->memory()[i] = static_cast<std::uint8_t>(i * 3);
    net().addNode(node);
    net().clearTranscript();

    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    MemImage cmd;
    cmd.Data = {0, 0xF0, 0x00, 0x00};
    Block_IO(cmd, true, 1, 3);
    MemImage mi;
    mi.Pages = 16;
    mi.PageSize = 32;
    mi.dimension();
    Block_IO(mi, false, 1, 512);
    uLAN_End();
    EXPECT_FALSE(oneWireState().IoError);
    for (int i = 1; i <= 512; ++i)
        ASSERT_EQ(mi.Data[static_cast<std::size_t>(i)], static_cast<std::uint8_t>((i - 1) * 3)) << i;
    EXPECT_EQ(cmd.Data, (ByteArray{0, 0xF0, 0x00, 0x00}));

    // Lines: select, command block, 13 read chunks (12 x 41 + 20), the end.
    const Lines cmds = commands();
    ASSERT_EQ(cmds.size(), 16u);
    EXPECT_EQ(cmds[0], mlanLine(2, "0008" + busOrder(r) + "82"));
    EXPECT_EQ(cmds[1], mlanLine(2, "0A0403F0000085"));
    EXPECT_EQ(cmds[2], mlanLine(2, "0A012985"));
    EXPECT_EQ(cmds[14], mlanLine(2, "0A011485"));
    EXPECT_EQ(cmds[15], "MLAN OFF");

    const std::string bus = busText(net());
    EXPECT_EQ(bus.rfind("R 55 " + [&] {
        std::string s;
        for (auto b : r.bytes)
            s += (s.empty() ? "" : " ") + core::ByteToHex2(b);
        return s;
    }() + " F0 00 00 FF/00 FF/03", 0), 0u);
}

TEST_F(AmplifierSim, ShortRepliesFromTheMaster)
{
    const RomCode r = RomCode::make(0x2D, 0x000000000077);
    auto node = std::make_shared<platform::sim::SimDs2431>(r);
    node->memory()[0] = 0x5C;
    net().addNode(node);

    ASSERT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    EXPECT_EQ(Touch_Byte(0xF0), 0xF0);
    EXPECT_EQ(Touch_Byte(0x00), 0x00);
    EXPECT_EQ(Touch_Byte(0x00), 0x00);
    MemImage mi;
    mi.Data.assign(2, 0);
    Block_IO(mi, false, 1, 1);  // a one-byte read: the shortest block reply
    EXPECT_EQ(mi.Data[1], 0x5C);
    EXPECT_EQ(Touch_Bit(1), 1);
    uLAN_End();
    EXPECT_FALSE(oneWireState().IoError);
}

TEST_F(AmplifierSim, SingleNodeChannel)
{
    make(platform::sim::MasterMode::SingleNode);
    DeviceState& ds = deviceState();
    ds.AmpAddressing = false;
    ds.SingleNodeToggle = true;
    const RomCode r = RomCode::make(0x14, 0x000000000123);
    net().addNode(platform::sim::makeNode(r));

    bool found, done;
    std::string id;
    int family;
    EXPECT_TRUE(*uLAN_FindNext(found, done, id, family));
    EXPECT_EQ(id, r.nodeId());
    EXPECT_EQ(family, 0x14);
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_TRUE(done);

    net().removeNode(r);
    ds.SingleNodeToggle = true;
    EXPECT_FALSE(*uLAN_FindNext(found, done, id, family));
    EXPECT_FALSE(found);
    EXPECT_FALSE(done);

    net().addNode(platform::sim::makeNode(r));
    const std::size_t before = commands().size();
    EXPECT_TRUE(uLAN_SelectNode_Access(r.nodeId()));
    MemImage cmd;
    cmd.Data = {0, 0x66, 0x00, 0xFF};
    Block_IO(cmd, true, 1, 3);
    uLAN_End();
    EXPECT_EQ(cmd.Data[3], 0xFF);  // status of an unlocked register
    const Lines all = commands();
    const Lines job(all.begin() + static_cast<long>(before), all.end());
    EXPECT_EQ(job, (Lines{mlanLine(2, "800A0201CC"), mlanLine(2, "0A04036600FF85"), "MLAN OFF"}));
    EXPECT_FALSE(oneWireState().IoError);
}
