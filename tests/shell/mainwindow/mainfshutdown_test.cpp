#include "tests/shell/mainwindow/mainffixture.h"

#include "device/amplink/peloxtransport.h"

#include <QRadioButton>
#include <QTimer>

namespace mainf_test {
namespace {

using shell::kDriverCaptions;

class MainFShutdownTest : public MainFTest {};

TEST_F(MainFShutdownTest, ClosingTheWindowUnloadsTheServerClosesTheMixerAndEnds)
{
    setting("Com port", "1");
    setting("Interface", kDriverCaptions[shell::kDriverDemo]);
    formLoad();
    main->show();
    mixer.calls.clear();
    main->close();
    EXPECT_EQ(server.calls, (std::vector<std::string>{"unload"}));
    EXPECT_EQ(mixer.calls, (std::vector<std::string>{"close"}));
    EXPECT_EQ(ended, (std::vector<int>{0}));
    EXPECT_FALSE(main->ProcessJobQue->isActive());
}

TEST_F(MainFShutdownTest, ExitAndTheCloseBoxEndOnlyWhenUnwrittenWorkMayGo)
{
    formLoad();
    main->show();
    int asked = 0;
    bool mayGo = false;
    main->mayEnd = [&] {
        ++asked;
        return mayGo;
    };
    main->mnufile_Click(1);  // File > "Exit"
    main->close();           // the close box
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(server.calls.empty());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->ProcessJobQue->isActive());

    mayGo = true;
    main->mnufile_Click(1);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(ended, (std::vector<int>{0}));
    // A request that ends the program does not ask.
    asked = 0;
    main->EndProgram(0);
    EXPECT_EQ(asked, 0);
}

TEST_F(MainFShutdownTest, ClosingWithoutServerWindowOrMixerStillEnds)
{
    shell::setRequestServerWindow(nullptr);
    formLoad();
    main->Form_QueryUnload();
    main->EndProgram(3);
    EXPECT_TRUE(mixer.calls.empty());
    EXPECT_EQ(ended, (std::vector<int>{0}));
}

TEST_F(MainFShutdownTest, AStoredInterfaceWhosePortCannotOpenNoLongerEndsTheProgram)
{
    setting("Com port", "4");
    setting("Interface", kDriverCaptions[shell::kDriverPelox]);
    setting("IF Active at startup", "1");
    serial->setMissing(true);
    formLoad();
    main->postInitialize();
    tick();
    tick();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Com4 (", 0), 0u) << box.shown[0].prompt;
    EXPECT_TRUE(ended.empty());
    EXPECT_TRUE(server.calls.empty());
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    EXPECT_TRUE(main->MnuSetupIF[0]->isEnabled());
    EXPECT_TRUE(main->MnuSetupIF[0]->isVisible());
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::None);
    // The user picks a port that works.
    serial->setMissing(false);
    main->MnuSetupIF[0]->trigger();
    tick();
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::AmplifierLink);
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MainFShutdownTest, AmplifierLinkThroughTheWindowsSerialControl)
{
    setting("Com port", "2");
    setting("Interface", kDriverCaptions[shell::kDriverPelox]);
    formLoad();
    main->MnuSetupIF[0]->trigger();
    tick();
    EXPECT_TRUE(serial->PortOpen());
    EXPECT_EQ(serial->CommPort(), 2);
    EXPECT_EQ(serial->Settings(), "9600,n,8,1");
    EXPECT_EQ(device::deviceState().InterfaceType, device::InterfaceType::AmplifierLink);
    EXPECT_FALSE(main->ModeO[1]->isEnabled());
    EXPECT_TRUE(main->ModeO[0]->isChecked());
    EXPECT_TRUE(ended.empty());
    // The amplifier transport writes on the same control.
    device::Pelox_Send("");
    serial->clearWritten();
    shell::amplifierWindow().Wakeup_Pelox();
    EXPECT_EQ(serial->written().substr(0, 1), "M");
}

} // namespace
} // namespace mainf_test
