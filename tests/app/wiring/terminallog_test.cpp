// Debug > "Pelox" as the program opens it: the terminal's log of earlier exchanges stays over
// every opening, also after its close box and after the line's port was changed; the window
// shows the log it keeps.

#include "amplifier/toolwindows/peloxtest.h"
#include "app/amplifiertoolshost.h"
#include "app/resetallstate.h"
#include "device/amplink/peloxtransport.h"
#include "shell/jobs/jobqueue.h"
#include "sim/serial/memoryserialport.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/virtualservices.h"

#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

class TerminalLog : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
    TerminalLog()
    {
        device::setPeloxPort(nullptr);
        shell::jobQueue().StartJobQue();
        tools.switchToAmplifierLink = [this] { ++switches; };
    }
    ~TerminalLog() override { device::setPeloxPort(nullptr); }
    // Posts the "Send LF" job and runs it.
    void sendLf()
    {
        tools.terminal()->model().SendLF_Click();
        shell::jobQueue().tick();
    }
    std::string shown() { return tools.terminal()->Text2->toPlainText().toStdString(); }

    testing_support::FreshState<app::resetAllState> fresh;
    app::AmplifierToolsHost tools;
    int switches = 0;
};

TEST_F(TerminalLog, TheLogStaysOverEveryOpening)
{
    tools.Pelox_test();
    ASSERT_NE(tools.terminal(), nullptr);
    EXPECT_EQ(switches, 1);
    sendLf();
    const std::string first = tools.terminal()->model().Text2;
    ASSERT_NE(first.find("To Pelox: <LF>"), std::string::npos) << first;

    tools.terminal()->close();
    tools.Pelox_test();
    EXPECT_EQ(tools.terminal()->model().Text2, first);
    EXPECT_NE(shown().find("To Pelox: <LF>"), std::string::npos) << shown();
    sendLf();
    const std::string both = tools.terminal()->model().Text2;
    EXPECT_EQ(both.rfind(first, 0), 0u) << both;

    // Another port for the line (Setup > "ComPort" changed), then a third opening.
    platform::MemorySerialPort other;
    device::setPeloxPort(&other);
    tools.terminal()->close();
    tools.Pelox_test();
    EXPECT_EQ(tools.terminal()->model().Text2, both);
    const std::string text = shown();
    const auto firstAt = text.find("To Pelox: <LF>");
    EXPECT_NE(firstAt, std::string::npos) << text;
    EXPECT_NE(text.find("To Pelox: <LF>", firstAt + 1), std::string::npos) << "the window shows another text than the log: " << text;
    EXPECT_EQ(switches, 1) << "only the first loading switches to the amplifier link";
}

} // namespace
