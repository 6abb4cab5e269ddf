#include "tests/shell/iface/ifacefixture.h"

namespace iface_test {
namespace {

using shell::kDriverCaptions;

class SetupMenuTest : public IfaceTest {
protected:
    // What loading does with the settings: apply them, then enable what they allow.
    bool load()
    {
        model.loadStartState();
        const bool all = model.GetDefault();
        model.menu.Interface_setup_done();
        return all;
    }
    const shell::SetupMenu& m() const { return model.menu; }
};

TEST_F(SetupMenuTest, NoSettingsLeavesEverythingUnchosen)
{
    EXPECT_FALSE(load());
    EXPECT_EQ(m().checkedDriver(), -1);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(m().mnuIF_p_Com[i].checked);
    EXPECT_FALSE(m().MnuSetupIF[0].enabled);
    EXPECT_EQ(m().MnuSetupIF[0].caption, "Activate interface");
    EXPECT_FALSE(m().mnuIF_p_startup[1].enabled);
    EXPECT_FALSE(m().MnuSetupIF[4].visible);
    EXPECT_TRUE(m().MnuSetupIF[1].enabled);
    EXPECT_FALSE(m().mnuIF_p_Driver[shell::kDriverDefault].visible);
    // Loading selects "Normal" and so saves it.
    EXPECT_TRUE(model.modes.obSpeed[0].value);
    EXPECT_EQ(stored("ComSpeed"), "0");
    EXPECT_EQ(device::deviceState().PortType, -1);
}

TEST_F(SetupMenuTest, ComPortWithoutInterfaceIsNotAllFound)
{
    setting("Com port", "2");
    setting("IF Active at startup", "1");
    EXPECT_FALSE(load());
    EXPECT_TRUE(m().mnuIF_p_Com[2].checked);
    EXPECT_EQ(device::deviceState().PortNum, 2);
    EXPECT_EQ(m().checkedDriver(), -1);
    EXPECT_FALSE(m().MnuSetupIF[0].enabled);
    EXPECT_FALSE(m().mnuIF_p_startup[1].enabled);
    EXPECT_FALSE(m().mnuIF_p_startup[2].enabled);
}

TEST_F(SetupMenuTest, StoredChoicesAreAppliedWithoutSaving)
{
    setting("Com port", "3");
    setting("Interface", "Dallas DS9097U");
    setting("IF Active at startup", "1");
    setting("T-block Server Active at startup", "0");
    EXPECT_TRUE(load());
    EXPECT_TRUE(m().driverChecked(shell::kDriverDS9097U));
    EXPECT_EQ(device::deviceState().PortType, 5);
    EXPECT_EQ(device::deviceState().PortNum, 3);
    EXPECT_EQ(m().MnuSetupIF[0].caption, "Activate interface :  Dallas DS9097U");
    EXPECT_EQ(m().MnuSetupIF[0].Tag, "3");
    EXPECT_TRUE(m().MnuSetupIF[0].enabled);
    EXPECT_TRUE(m().mnuIF_p_startup[1].checked);
    EXPECT_TRUE(m().mnuIF_p_startup[1].enabled);
    EXPECT_FALSE(m().mnuIF_p_startup[2].checked);
    EXPECT_TRUE(m().mnuIF_p_startup[2].enabled);
}

TEST_F(SetupMenuTest, UnknownDriverCaptionChecksNothing)
{
    setting("Com port", "1");
    setting("Interface", "Dallas DS1410E");
    EXPECT_TRUE(load());
    EXPECT_EQ(m().checkedDriver(), -1);
    EXPECT_TRUE(m().MnuSetupIF[0].Tag.empty());
    EXPECT_FALSE(m().MnuSetupIF[0].enabled);
    // Nothing to activate.
    model.ActivateIF();
    EXPECT_TRUE(host.jobs.empty());
}

TEST_F(SetupMenuTest, StartupValuesOtherThanOneAreUnchecked)
{
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[2]);
    setting("IF Active at startup", "2");
    setting("T-block Server Active at startup", "1");
    load();
    EXPECT_FALSE(m().mnuIF_p_startup[1].checked);
    EXPECT_TRUE(m().mnuIF_p_startup[2].checked);
}

TEST_F(SetupMenuTest, ComSpeedOtherThanZeroSelectsRelaxedAndSavesTwo)
{
    struct Row {
        const char* stored;
        int option;
        const char* saved;
    };
    for (const Row& r : {Row{"7", 1, "2"}, Row{"2", 1, "2"}, Row{"0", 0, "0"}, Row{"-1", 1, "2"}}) {
        SCOPED_TRACE(r.stored);
        shell::Iface fresh(host, port);
        setting("ComSpeed", r.stored);
        fresh.GetDefault();
        EXPECT_TRUE(fresh.modes.obSpeed[static_cast<std::size_t>(r.option)].value);
        EXPECT_FALSE(fresh.modes.obSpeed[static_cast<std::size_t>(1 - r.option)].value);
        EXPECT_EQ(stored("ComSpeed"), r.saved);
    }
}

TEST_F(SetupMenuTest, DriverTableSetsPortType)
{
    struct Row {
        int item;
        int portType;  // after choosing it, starting from 9
    };
    for (const Row& r : {Row{0, 1}, Row{1, 9}, Row{2, 1}, Row{3, 5}, Row{4, 9}, Row{5, 6}}) {
        SCOPED_TRACE(r.item);
        device::deviceState().PortType = 9;
        model.menu.SetDriver(kDriverCaptions[static_cast<std::size_t>(r.item)], false);
        EXPECT_EQ(device::deviceState().PortType, r.portType);
        EXPECT_EQ(model.menu.checkedDriver(), r.item);
        EXPECT_EQ(model.menu.MnuSetupIF[0].Tag, std::to_string(r.item));
    }
}

TEST_F(SetupMenuTest, ChoosingTheUsbDriverWithoutPortTakesCom1)
{
    load();
    model.mnuIF_p_Driver_Click(shell::kDriverDS9490R);
    EXPECT_TRUE(m().mnuIF_p_Com[1].checked);
    EXPECT_EQ(device::deviceState().PortNum, 1);
    EXPECT_EQ(stored("Com port"), "1");
    EXPECT_EQ(stored("Interface"), "Dallas DS9490R");
    EXPECT_TRUE(m().MnuSetupIF[0].enabled);
    EXPECT_TRUE(m().mnuIF_p_startup[1].enabled);
    // Not active yet: choosing a driver activates nothing.
    EXPECT_TRUE(host.jobs.empty());
}

TEST_F(SetupMenuTest, DriverAndPortClicksAreSavedWithTheAccessKey)
{
    load();
    model.mnuIF_p_Com_Click(4);
    EXPECT_FALSE(m().MnuSetupIF[0].enabled);
    model.mnuIF_p_Driver_Click(shell::kDriverDemo);
    EXPECT_EQ(stored("Com port"), "4");
    EXPECT_EQ(stored("Interface"), "Z&Q Demo adaptor type RV3308");
    EXPECT_TRUE(m().MnuSetupIF[0].enabled);
    model.mnuIF_p_Com_Click(2);
    EXPECT_FALSE(m().mnuIF_p_Com[4].checked);
    EXPECT_TRUE(m().mnuIF_p_Com[2].checked);
}

TEST_F(SetupMenuTest, StartupItemsKeepEachOtherConsistent)
{
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[2]);
    load();
    model.mnuIF_p_startup_Click(2);
    EXPECT_TRUE(m().mnuIF_p_startup[1].checked);
    EXPECT_TRUE(m().mnuIF_p_startup[2].checked);
    EXPECT_EQ(stored("IF Active at startup"), "1");
    EXPECT_EQ(stored("T-block Server Active at startup"), "1");
    model.mnuIF_p_startup_Click(1);
    EXPECT_FALSE(m().mnuIF_p_startup[1].checked);
    EXPECT_FALSE(m().mnuIF_p_startup[2].checked);
    EXPECT_EQ(stored("IF Active at startup"), "0");
    EXPECT_EQ(stored("T-block Server Active at startup"), "0");
    model.menu.SetActiveAtStartup(3, true, true);
    EXPECT_EQ(stored("IF Active at startup"), "0");
}

TEST_F(SetupMenuTest, SetupItemClicksClearTheTrace)
{
    int shown = 0;
    struct Server final : shell::RequestServerWindow {
        int* shown;
        void show() override { ++*shown; }
        void unload() override {}
    } server;
    server.shown = &shown;
    shell::setRequestServerWindow(&server);
    model.MnuSetupIF_Click(4);
    model.MnuSetupIF_Click(2);
    shell::setRequestServerWindow(nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(host.traceClears, 2);
}

} // namespace
} // namespace iface_test
