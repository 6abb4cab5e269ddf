#include "tests/shell/iface/ifacefixture.h"

namespace iface_test {
namespace {

using std::chrono::milliseconds;

class CommModeTest : public IfaceTest {
protected:
    shell::CommModePanel& p() { return model.modes; }
};

TEST_F(CommModeTest, SelectingAnOptionPostsJobTwoOnlyOnAChange)
{
    p().SetModeO(1);
    EXPECT_TRUE(p().ModeO[1].value);
    for (const auto& o : p().ModeO)
        EXPECT_TRUE(o.enabled);
    p().SetModeO(1);
    p().selectMode(1);
    p().SetModeO(0);
    EXPECT_EQ(host.jobs, (std::vector<PostedJob>{{2, 1}, {2, 0}}));
    EXPECT_EQ(host.focusParks, 2);
    EXPECT_TRUE(p().ModeO[0].value);
    EXPECT_FALSE(p().ModeO[1].value);
    // The mode itself changes only when job 2 runs.
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModePaused);
    p().SetMode(1);
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
}

TEST_F(CommModeTest, AnalogWaitsAQuarterSecondAndUnmutes)
{
    device::deviceState().InterfaceType = device::InterfaceType::Adapter;
    p().SetMode(0);
    EXPECT_TRUE(p().Vol_mute);
    mixer.calls.clear();
    const auto before = clock.elapsed();
    p().SetMode(2);
    EXPECT_EQ(std::chrono::duration_cast<milliseconds>(clock.elapsed() - before), milliseconds(250));
    EXPECT_FALSE(p().Vol_mute);
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"set 0 0"}));
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeAnalog);
    EXPECT_TRUE(amplifier.calls.empty());
    EXPECT_TRUE(p().ModeO[1].enabled);
}

TEST_F(CommModeTest, AnalogOnTheAmplifierLinkWakesTheAmplifier)
{
    device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    p().SetMode(2);
    EXPECT_EQ(amplifier.calls, (std::vector<std::string>{"wakeup"}));
    // Scanning is not offered on the amplifier link.
    EXPECT_FALSE(p().ModeO[1].enabled);
    EXPECT_TRUE(p().ModeO[0].enabled);
    EXPECT_TRUE(p().ModeO[2].enabled);
}

TEST_F(CommModeTest, TheSwitchNodeFollowsTheMode)
{
    std::vector<std::string> pio;
    p().Set_PIO_fam12 = [&](const std::string& id, bool a, bool b) {
        pio.push_back(id + " " + std::to_string(a) + std::to_string(b));
    };
    p().SetMode(2);
    core::coreState().SwitchNodeId = "5A0000000123AB12";
    p().SetMode(2);
    p().SetMode(1);
    EXPECT_EQ(pio, (std::vector<std::string>{"5A0000000123AB12 00", "5A0000000123AB12 10"}));
}

TEST_F(CommModeTest, MuteBoxPassesToTheMixerOnlyOnAChange)
{
    p().VolScroll = 1234;
    p().setVolMute(true);
    p().setVolMute(true);
    p().setVolMute(false);
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"set 1234 1", "set 1234 0"}));
}

TEST_F(CommModeTest, DemoAdaptorOpensTheMixerOnceAndClosesItWhenLeft)
{
    model.SetDriver(shell::kDriverCaptions[shell::kDriverDemo], false);
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"open 5000 1", "set 5000 1"}));
    EXPECT_EQ(p().VolScroll, 5000);
    EXPECT_TRUE(p().Vol_mute);
    // Every search session lays out the panel, and leaves the mixer and volume alone.
    p().VolScroll = 700;
    for (int i = 0; i < 3; ++i)
        model.Set_CommModeWindow();
    model.SetDriver(shell::kDriverCaptions[shell::kDriverDemo], false);
    EXPECT_EQ(mixer.calls.size(), 2u);
    EXPECT_EQ(p().VolScroll, 700);
    EXPECT_TRUE(p().ModeO[2].visible);
    EXPECT_TRUE(p().Vol_muteVisible);
    EXPECT_EQ(p().Frame2Height, 1695);

    model.SetDriver(shell::kDriverCaptions[shell::kDriverDS9097E], false);
    EXPECT_EQ(mixer.calls.back(), "close");
    model.Set_CommModeWindow();
    EXPECT_FALSE(p().ModeO[2].visible);
    EXPECT_FALSE(p().Vol_muteVisible);
    EXPECT_EQ(p().Frame2Height, 1000);
    p().closeSound();
    EXPECT_EQ(std::count(mixer.calls.begin(), mixer.calls.end(), "close"), 1);
}

TEST_F(CommModeTest, SpeedOptionSavesOnEverySelectionChange)
{
    p().Set_obSpeed(0);
    EXPECT_EQ(stored("ComSpeed"), "0");
    p().selectSpeed(1);
    EXPECT_TRUE(p().obSpeed[1].value);
    EXPECT_FALSE(p().obSpeed[0].value);
    EXPECT_EQ(stored("ComSpeed"), "2");
    setting("ComSpeed", "9");
    p().selectSpeed(1);
    EXPECT_EQ(stored("ComSpeed"), "9");
}

} // namespace
} // namespace iface_test

namespace iface_test {
namespace {

class DriverChangeTest : public IfaceTest {};

// The Analog option and the mute box follow the driver as soon as it is chosen.
TEST_F(DriverChangeTest, ModePanelFollowsADriverChangeAtOnce)
{
    model.mnuIF_p_Driver_Click(shell::kDriverDemo);
    EXPECT_TRUE(model.modes.ModeO[2].visible);
    EXPECT_TRUE(model.modes.Vol_muteVisible);
    EXPECT_EQ(model.modes.Frame2Height, 1695);
    model.mnuIF_p_Driver_Click(shell::kDriverDS9097E);
    EXPECT_FALSE(model.modes.ModeO[2].visible);
    EXPECT_FALSE(model.modes.Vol_muteVisible);
    EXPECT_EQ(model.modes.Frame2Height, 1000);
}

} // namespace
} // namespace iface_test
