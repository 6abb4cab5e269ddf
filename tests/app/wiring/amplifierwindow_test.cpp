// The amplifier window as the main window reaches it: created and loaded at its first
// showing, unloaded with its queued jobs when the interface changes.

#include "app/amplifierwindowhost.h"

#include "amplifier/peloxf/peloxf.h"
#include "device/amplink/peloxtransport.h"
#include "shell/jobs/jobqueue.h"
#include "sim/serial/memoryserialport.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/qtapp.h"

#include <gtest/gtest.h>

namespace {

class Recorder final : public platform::SerialDevice {
public:
    void hostWrote(const std::string& bytes, platform::TimePoint) override { heard += bytes; }
    std::string sentBy(platform::TimePoint) override { return ""; }
    std::string heard;
};

TEST(AmplifierWindowHost, ShowLoadsOnceUnloadReleasesWithItsJobs)
{
    testing_support::ensureApplication();
    platform::VirtualClock clock;
    platform::ScopedClock scoped(clock);
    Recorder far;
    platform::MemorySerialPort port(&far);
    ASSERT_TRUE(port.setPortOpen(true));
    device::setPeloxPort(&port);
    auto& q = shell::jobQueue();
    q.reset();
    q.StartJobQue();

    app::AmplifierWindowHost host;
    shell::setAmplifierWindow(&host);
    shell::amplifierWindow().show();
    ASSERT_NE(host.window(), nullptr);
    EXPECT_TRUE(host.window()->isVisible());
    EXPECT_EQ(q.JobQueLast(), 0); // the first chain read
    auto* first = host.window();
    shell::amplifierWindow().show();
    EXPECT_EQ(host.window(), first);
    EXPECT_EQ(q.JobQueLast(), 0);

    shell::amplifierWindow().Wakeup_Pelox();
    EXPECT_EQ(far.heard, "MLAN OFF\n");

    shell::amplifierWindow().unload();
    EXPECT_EQ(host.window(), nullptr);
    EXPECT_EQ(q.head().target(), nullptr); // the queued read goes with the window
    shell::setAmplifierWindow(nullptr);
    device::setPeloxPort(nullptr);
    q.reset();
}

} // namespace
