#include "tests/shell/iface/ifacefixture.h"

#include "platform/serial/termiosserialport.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace iface_test {
namespace {

using shell::kDriverCaptions;

class InterfaceSwitchTest : public IfaceTest {
protected:
    // Driver and port chosen as the user would, on a loaded window.
    void choose(int driver, int com)
    {
        model.loadStartState();
        model.GetDefault();
        model.mnuIF_p_Com_Click(com);
        model.mnuIF_p_Driver_Click(driver);
    }
    shell::SetupMenu& m() { return model.menu; }
    std::shared_ptr<CountingBackend> adapter = std::make_shared<CountingBackend>();
};

TEST_F(InterfaceSwitchTest, FirstAdapterActivationEndsInScanning)
{
    choose(shell::kDriverDS9097E, 1);
    host.nodes = {"A", "B"};
    model.ActivateIF();
    EXPECT_EQ(host.jobs, (std::vector<PostedJob>{{5, 0}}));
    EXPECT_FALSE(m().MnuSetupIF[0].visible);
    EXPECT_TRUE(m().MnuSetupIF[4].visible);
    EXPECT_TRUE(model.fileAndToolsEnabled);
    EXPECT_EQ(model.treeToolTip, "press F5 to refresh tree");

    EXPECT_EQ(drain(), (std::vector<int>{5, 2, 2, 4}));
    EXPECT_EQ(host.jobs[1], (PostedJob{2, 0}));
    EXPECT_EQ(host.jobs[2], (PostedJob{2, 1}));
    EXPECT_TRUE(host.nodes.empty());
    EXPECT_EQ(host.beeps, 2);
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::Adapter);
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
    EXPECT_TRUE(m().MnuSetupIF[0].checked);
    EXPECT_FALSE(m().MnuSetupIF[0].enabled);
    EXPECT_TRUE(model.treeEnabled);
    EXPECT_FALSE(port.PortOpen());
}

TEST_F(InterfaceSwitchTest, ChangingAdapterWhileActivePostsNothing)
{
    choose(shell::kDriverDS9097E, 1);
    model.ActivateIF();
    drain();
    const auto posted = host.jobs.size();
    device::deviceState().SessionError = 3;
    model.mnuIF_p_Driver_Click(shell::kDriverDS9097U);
    EXPECT_EQ(host.jobs.size(), posted);
    EXPECT_EQ(device::deviceState().PortType, 5);
    EXPECT_EQ(device::deviceState().SessionError, 0);
}

TEST_F(InterfaceSwitchTest, ServerAtStartupAddsJobEight)
{
    choose(shell::kDriverDS9097E, 1);
    model.mnuIF_p_startup_Click(2);
    model.ActivateIF();
    EXPECT_EQ(host.jobs, (std::vector<PostedJob>{{5, 0}, {8, 0}}));
}

TEST_F(InterfaceSwitchTest, AdapterToAmplifierAndBack)
{
    choose(shell::kDriverDS9097E, 2);
    platform::registerBackend(1, 2, adapter);
    model.ActivateIF();
    drain();
    ASSERT_EQ(device::deviceState().InterfaceType, device::InterfaceType::Adapter);

    host.nodes = {"A", "B", "C"};
    model.mnuIF_p_Driver_Click(shell::kDriverPelox);
    EXPECT_EQ(amplifier.calls, (std::vector<std::string>{"show"}));
    EXPECT_EQ(drain(), (std::vector<int>{5, 2, 4}));
    EXPECT_EQ(adapter->releases, 1);
    EXPECT_FALSE(device::deviceState().SetupDone);
    EXPECT_EQ(host.beeps, 3);
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 2);
    EXPECT_EQ(port.Settings(), "9600,n,8,1");
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::AmplifierLink);
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModePaused);
    EXPECT_TRUE(model.modes.ModeO[0].value);
    EXPECT_FALSE(model.modes.ModeO[1].enabled);

    // The same link again: only the amplifier window comes up.
    model.ActivateIF();
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(amplifier.calls.back(), "show");

    host.nodes = {"D"};
    model.mnuIF_p_Driver_Click(shell::kDriverDS9097U);
    EXPECT_EQ(drain(), (std::vector<int>{5, 2, 4}));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(amplifier.calls.back(), "unload");
    EXPECT_EQ(host.beeps, 4);
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::Adapter);
    EXPECT_EQ(shell::ifaceState().CommMode, shell::kModeScanning);
    EXPECT_TRUE(model.modes.ModeO[1].enabled);
}

TEST_F(InterfaceSwitchTest, AmplifierOnAnotherPortReopensTheLine)
{
    choose(shell::kDriverPelox, 1);
    model.ActivateIF();
    drain();
    ASSERT_EQ(port.CommPort(), 1);
    model.mnuIF_p_Com_Click(3);
    model.ActivateIF();
    EXPECT_EQ(drain(), (std::vector<int>{5, 4}));
    EXPECT_TRUE(port.PortOpen());
    EXPECT_EQ(port.CommPort(), 3);
}

TEST_F(InterfaceSwitchTest, PortThatCannotOpenIsReportedAndLeavesNoInterfaceActive)
{
    choose(shell::kDriverPelox, 4);
    port.setMissing(true);
    model.ActivateIF();
    EXPECT_NO_THROW(drain());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Com4 (", 0), 0u) << box.shown[0].prompt;
    EXPECT_NE(box.shown[0].prompt.find("could not be opened"), std::string::npos);
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::None);
    // Activation can be tried again from the Setup menu.
    EXPECT_TRUE(model.menu.MnuSetupIF[0].enabled);
    EXPECT_TRUE(model.menu.MnuSetupIF[0].visible);
    EXPECT_FALSE(model.menu.MnuSetupIF[0].checked);
    port.setMissing(false);
    model.ActivateIF();
    drain();
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::AmplifierLink);
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(InterfaceSwitchTest, NodeThatWillNotGoDoesNotHangTheSwitch)
{
    struct StuckHost final : shell::IfaceHost {
        int removals = 0;
        void postMainJob(shell::MainJob, shell::JobParam) override {}
        int nodeCount() override { return 2; }
        std::string nodeId(int) override { return "X"; }
        void Remove_transducer(const std::string&) override { ++removals; }
        void parkFocus() override {}
        void beep() override {}
        void clearTrace() override {}
        void changed() override {}
        void activationStarted() override {}
    } stuck;
    shell::Iface other(stuck, port);
    other.Set_IF(0);
    EXPECT_EQ(stuck.removals, 1);
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::Adapter);
}

// The amplifier link on a real pseudo-terminal.
class PtyLink {
public:
    PtyLink()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            slave_ = ::ptsname(master_);
    }
    ~PtyLink()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    const std::string& slave() const { return slave_; }
    std::string read()
    {
        std::string got;
        char buf[256];
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        for (int tries = 0; tries < 200 && got.find('\n') == std::string::npos; ++tries) {
            const auto n = ::read(master_, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            else
                ::usleep(1000);
        }
        return got;
    }

private:
    int master_ = -1;
    std::string slave_;
};

TEST_F(InterfaceSwitchTest, AmplifierLinkOnAPseudoTerminal)
{
    PtyLink pty;
    ASSERT_FALSE(pty.slave().empty());
    platform::TermiosSerialPort tty;
    tty.setDevicePath(pty.slave());
    shell::Iface real(host, tty);
    real.loadStartState();
    real.GetDefault();
    real.mnuIF_p_Com_Click(2);
    real.mnuIF_p_Driver_Click(shell::kDriverPelox);
    real.ActivateIF();
    real.Set_IF(1);
    ASSERT_TRUE(tty.PortOpen());
    EXPECT_EQ(tty.CommPort(), 2);

    const int fd = ::open(pty.slave().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);

    tty.Output("MLAN OFF\n");
    EXPECT_EQ(pty.read(), "MLAN OFF\n");

    real.Set_IF(0);
    EXPECT_FALSE(tty.PortOpen());
}

} // namespace
} // namespace iface_test
