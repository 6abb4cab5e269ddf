// One conformance suite for the bus masters a device job talks through: the adapter
// behind the TMEX-like calls and the amplifier's master on a multi-drop or single-node
// channel, each in front of the same kind of simulated microLAN.
#include "device/onewire/onewiremaster.h"

#include "core/base/trace.h"
#include "device/base/devicestate.h"
#include "device/onewire/byteio.h"
#include "device/onewire/onewirestate.h"
#include "device/onewire/session.h"
#include "device/amplink/peloxtransport.h"
#include "device/state/devicelayer.h"
#include "sim/amplifier/amplifierchain.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/serial/memoryserialport.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/freshstate.h"

#include <gtest/gtest.h>

#include <memory>

using namespace device;
using platform::sim::RomCode;
using platform::sim::SimDs2433;

namespace {

enum class Master { Adapter, AmplifierMultiDrop, AmplifierSingleNode };

struct MasterRow {
    const char* name;
    Master master;
};

void PrintTo(const MasterRow& r, std::ostream* os) { *os << r.name; }

class MasterConformance : public ::testing::TestWithParam<MasterRow> {
protected:
    MasterConformance()
    {
        DeviceState& ds = deviceState();
        if (GetParam().master == Master::Adapter) {
            ds.InterfaceType = device::InterfaceType::Adapter;
            ds.PortNum = 1;
            ds.PortType = 5;
            adapterNet_ = std::make_shared<platform::sim::SimNetwork>();
            platform::useSimulatedNetwork(adapterNet_, 5, 1);
        } else {
            const bool multiDrop = GetParam().master == Master::AmplifierMultiDrop;
            platform::sim::AmplifierSimConfig config;
            config.amplifiers[0].channels[1].master =
                multiDrop ? platform::sim::MasterMode::MultiDrop : platform::sim::MasterMode::SingleNode;
            chain_ = std::make_unique<platform::sim::AmplifierChain>(config);
            port_.attach(chain_.get());
            EXPECT_TRUE(port_.setPortOpen(true));
            setPeloxPort(&port_);
            ds.InterfaceType = device::InterfaceType::AmplifierLink;
            ds.SelectedAmplifier = 1;
            ds.SelectedChannel = 2;
            ds.AmpAddressing = multiDrop;
        }
        net().addNode(node_);
        for (std::size_t i = 0; i < 64; ++i)
            node_->memory()[i] = static_cast<std::uint8_t>(0x30 + i);
    }
    ~MasterConformance() override { setPeloxPort(nullptr); }

    platform::sim::SimNetwork& net()
    {
        return adapterNet_ ? *adapterNet_ : chain_->amplifier(1).channel(2).network();
    }
    static ByteArray send(std::initializer_list<int> bytes)
    {
        MemImage b;
        b.Data.assign(bytes.size() + 1, 0);
        int i = 1;
        for (int v : bytes)
            b.Data[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(v);
        Block_IO(b, true, 1, static_cast<int>(bytes.size()));
        return ByteArray(b.Data.begin() + 1, b.Data.end());
    }

    platform::VirtualClock clock_;
    platform::ScopedClock scopedClock_{clock_};
    platform::ScriptedMessageBox box_;
    platform::ScopedMessageBox scopedBox_{box_};
    core::MemoryTrace trace_;
    core::ScopedTrace scopedTrace_{trace_};
    std::shared_ptr<platform::sim::SimNetwork> adapterNet_;
    std::unique_ptr<platform::sim::AmplifierChain> chain_;
    platform::MemorySerialPort port_;
    std::shared_ptr<SimDs2433> node_ = std::make_shared<SimDs2433>(RomCode::make(0x23, 0x00ABCDEF));
    std::string id_ = node_->rom().nodeId();
    // Last: the sessions close while the networks are there.
    testing_support::FreshState<resetDeviceLayer> fresh_;
};

TEST_P(MasterConformance, ReadJobReturnsTheNodesMemory)
{
    ASSERT_TRUE(uLAN_SelectNode_Access(id_));
    send({0xF0, 0x20, 0x00});
    MemImage mi;
    mi.Data.assign(45, 0);
    Block_IO(mi, false, 1, 44);  // more than one amplifier read block
    uLAN_End();
    EXPECT_FALSE(oneWireState().IoError);
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0x30 + 32 + i - 1) << i;
    for (int i = 33; i <= 44; ++i)
        EXPECT_EQ(mi.Data[static_cast<std::size_t>(i)], 0xFF) << i;
}

TEST_P(MasterConformance, ScratchpadJobWithReplyProofWritesReadsBackAndCopies)
{
    ASSERT_TRUE(selectNode(id_, NodeProof::Reply));
    MemImage page;
    page.Data.assign(36, 0);
    page.Data[1] = 0x0F;
    page.Data[2] = 0x40;
    page.Data[3] = 0x00;
    Block_IO(page, true, 1, 3);
    for (int i = 1; i <= 32; ++i)
        page.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    Block_IO(page, true, 1, 32);

    uLAN_Access();
    const ByteArray status = send({0xAA, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(status[1], 0x40);
    EXPECT_EQ(status[2], 0x00);
    EXPECT_EQ(status[3], 0x1F);
    EXPECT_EQ(Touch_Byte(0xFF), 1);  // the scratchpad's first byte

    uLAN_Access();
    send({0x55, 0x40, 0x00, 0x1F});
    Strong_Pullup(10);
    EXPECT_EQ(Touch_Byte(0xFF), 0xAA);  // copy done
    EXPECT_TRUE(nodeStillAnswers());
    uLAN_End();
    EXPECT_FALSE(oneWireState().IoError);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(node_->memory()[static_cast<std::size_t>(0x40 + i)], i + 1) << i;
}

TEST_P(MasterConformance, ANodeThatLeftNoLongerAnswers)
{
    ASSERT_TRUE(uLAN_SelectNode_Access(id_));
    EXPECT_TRUE(nodeStillAnswers());
    net().removeNode(node_->rom());
    EXPECT_FALSE(nodeStillAnswers());
    uLAN_End();
}

TEST_P(MasterConformance, TouchBitReadsTheLine)
{
    ASSERT_TRUE(uLAN_SelectNode_Access(id_));
    send({0xF0, 0x00, 0x00});
    // Memory byte 0 is 30h: bits 0 and 1 read 0, bit 4 reads 1.
    EXPECT_EQ(Touch_Bit(1), 0);
    EXPECT_EQ(Touch_Bit(1), 0);
    EXPECT_EQ(Touch_Bit(1), 0);
    EXPECT_EQ(Touch_Bit(1), 0);
    EXPECT_EQ(Touch_Bit(1), 1);
    uLAN_End();
}

INSTANTIATE_TEST_SUITE_P(Masters, MasterConformance,
                         ::testing::Values(MasterRow{"Adapter", Master::Adapter},
                                           MasterRow{"AmplifierMultiDrop", Master::AmplifierMultiDrop},
                                           MasterRow{"AmplifierSingleNode", Master::AmplifierSingleNode}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
