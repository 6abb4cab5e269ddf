// Block I/O over the real adapter backends: a block is one exchange with the adapter (or
// one per adapter buffer), not one per byte, and an adapter lost in the middle of a job
// fails the job's I/O without any byte passing for one read.
#include "driverfixture.h"

#include "device/drivers/busblock.h"
#include "device/drivers/fam23.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"
#include "sim/onewire/simscratcheeprom.h"

using namespace drivertest;
using platform::emu::AdapterKind;
using platform::sim::SimDs2433;

namespace {

class BlockTransfer : public DriverFixture {
protected:
    void SetUp() override
    {
        if (adapter.kind == AdapterKind::Simulated)
            GTEST_SKIP() << "no adapter between the TMEX layer and the network";
        for (std::size_t i = 0; i < 512; ++i)
            node.memory()[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }

    void loseAdapter()
    {
        if (adapter.serialEmu)
            adapter.serialEmu->setSilent(true);
        else
            adapter.ds2490->unplug();
    }

    SimDs2433& node = add<SimDs2433>(0x23);
};

TEST_F(BlockTransfer, AWholeMemoryReadIsOneExchangePerAdapterBuffer)
{
    ASSERT_TRUE(device::uLAN_SelectNode_Access(node.rom().nodeId()));
    device::command({0xF0, 0x00, 0x00});
    adapter.traffic->clear();
    device::MemImage mi;
    device::readData(mi, 1, 512);
    // The passive adapter writes 64 bytes of slots at a time, the USB adapter fills its
    // 128-byte buffers; the DS2480B streams the whole block in data mode.
    const long expected = adapter.kind == AdapterKind::Ds2480b ? 1 : adapter.kind == AdapterKind::Ds2490 ? 4 : 8;
    EXPECT_EQ(adapter.traffic->roundTrips, expected);
    EXPECT_FALSE(device::ioFailed());
    EXPECT_TRUE(std::equal(node.memory().begin(), node.memory().begin() + 512, mi.Data.begin() + 1));
    device::uLAN_End();
}

TEST_F(BlockTransfer, AWriteBlockGetsWhatTheBusReturnedInOneExchange)
{
    ASSERT_TRUE(device::uLAN_SelectNode_Access(node.rom().nodeId()));
    adapter.traffic->clear();
    const device::ByteArray back = device::command({0xF0, 0x20, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(adapter.traffic->roundTrips, 1);
    EXPECT_EQ(back, (device::ByteArray{0xF0, 0x20, 0x00, node.memory()[0x20], node.memory()[0x21]}));
    device::uLAN_End();
}

TEST_F(BlockTransfer, AnAdapterLostInTheMiddleOfAJobFailsItsIoAndReadsNothing)
{
    ASSERT_TRUE(device::uLAN_SelectNode_Access(node.rom().nodeId()));
    device::command({0xF0, 0x00, 0x00});
    loseAdapter();
    device::MemImage mi;
    mi.Data.assign(513, 0x5A);
    device::readData(mi, 1, 512);
    EXPECT_TRUE(device::ioFailed());
    EXPECT_TRUE(std::all_of(mi.Data.begin() + 1, mi.Data.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(mi.Data[0], 0x5A);
    EXPECT_FALSE(platform::portErrorText(5, 1).empty());
    // The rest of the job fails at once: the session is gone, no pull-up is held.
    const auto before = clock.now();
    device::commandThenPullup({0x55, 0x00, 0x00, 0x1F}, 5);
    EXPECT_EQ(clock.now(), before);
    device::uLAN_End();
}

TEST_F(BlockTransfer, AReadJobOverALostAdapterIsNotReadOk)
{
    device::MemImage mi;
    mi.RomId = node.rom().nodeId();
    device::Read_fam23(mi);
    ASSERT_TRUE(mi.ReadOK);
    loseAdapter();
    device::Read_fam23(mi);
    EXPECT_FALSE(mi.ReadOK);
}

} // namespace
