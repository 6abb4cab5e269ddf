// Commands that power their node from the line (copy scratchpad, copy and lock, convert
// temperature): the strong pull-up must follow the command's last slot at once, as a
// parasite-powered node draws its current within 10 us, over every adapter that has one.
#include "driverfixture.h"

#include "device/drivers/memorynode.h"
#include "device/drivers/thermometer.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simthermometer.h"

using namespace drivertest;
using platform::sim::BusEvent;

namespace {

struct PullupRow {
    const char* name;
    int family;
    int lastByte;  // the last byte of the command the pull-up follows
};

void PrintTo(const PullupRow& r, std::ostream* os) { *os << r.name; }

class PrimedPullup : public DriverFixture, public ::testing::WithParamInterface<PullupRow> {};

TEST_P(PrimedPullup, FollowsTheCommandsLastSlotAtOnce)
{
    const PullupRow& row = GetParam();
    bool ok = false;
    if (row.family == 0x10) {
        auto& node = add<platform::sim::SimThermometer>(0x10);
        node.setTemperature(21.5);
        net->clearTranscript();
        ok = device::Read_Temperature(node.rom().nodeId()).ok;
    } else {
        platform::sim::SimNode* node = nullptr;
        if (row.family == 0x14)
            node = &add<platform::sim::SimDs2430>(0x14);
        else if (row.family == 0x23)
            node = &add<platform::sim::SimDs2433>(0x23);
        else
            node = &add<platform::sim::SimDs2431>(0x2D);
        core::TedsBuf tb = image(*node, false);
        net->clearTranscript();
        bool confirmed = true;
        ok = device::Write_Node(tb, confirmed);
    }
    ASSERT_TRUE(ok);

    const std::vector<BusEvent> all = busEvents();
    int pullups = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind != BusEvent::StrongPullup)
            continue;
        ++pullups;
        ASSERT_GT(i, 0u);
        EXPECT_EQ(all[i - 1].kind, BusEvent::Byte) << i;
        EXPECT_EQ(all[i - 1].written, row.lastByte) << i;
        EXPECT_LE(all[i].idleBefore.count(), 10) << "pull-up " << pullups;
    }
    EXPECT_GT(pullups, 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, PrimedPullup,
                         ::testing::Values(PullupRow{"ConvertT", 0x10, 0x44}, PullupRow{"DS2430ACopyAndLock", 0x14, 0xA5},
                                           PullupRow{"DS2433Copy", 0x23, 0x1F}, PullupRow{"DS2431Copy", 0x2D, 0x07}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
