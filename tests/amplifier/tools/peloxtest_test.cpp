// The amplifier terminal's model: loading, the seven jobs with their exact log texts
// against the simulated chain, the command list, an unknown job.

#include "toolsenv.h"

#include "amplifier/model/peloxmodel.h"
#include "amplifier/tools/peloxtestmodel.h"
#include "device/amplink/linehold.h"

using namespace tools_test;

class PeloxTest : public ToolsTest {
protected:
    void load(const std::string& more = "")
    {
        startChain("Type 6180", "serial 1800417\n" + more);
        model.switchToAmplifierLink = [this] { ++switches; };
        model.Form_Load();
    }
    // Posts through the button and runs the queue, as the main window's timer does.
    void press(void (amplifier::PeloxTestModel::*button)())
    {
        (model.*button)();
        runJobs();
    }

    amplifier::PeloxTestModel model;
    int switches = 0;
};

TEST_F(PeloxTest, LoadingSwitchesToTheLinkAndOffersPresets)
{
    device::deviceState().SelectedAmplifier = 2;
    device::deviceState().SelectedChannel = 3;
    load();
    EXPECT_EQ(switches, 1);
    EXPECT_TRUE(device::deviceState().PeloxTestOpen);
    EXPECT_EQ(model.HelpContextID, 27);
    EXPECT_EQ(model.SelPelox, "2");
    EXPECT_EQ(model.SelChan, "3");
    EXPECT_EQ(model.Send_Recieve_Pelox, "S_B?");
    EXPECT_EQ(model.Send_Recieve_PeloxItems, (Lines{"START_PELOX", "PELOX00 IDRESET", "PELOX00 IDNUM01",
                                                   "PELOX00 IDNUM02", "Conf?", "A_C_N?", "Err?", "S_B?"}));
    EXPECT_EQ(model.Text2, "");
    model.Send_Recieve_Pelox = "Iden?";
    model.Addtolist_Click();
    model.Addtolist_Click();
    EXPECT_EQ(model.Send_Recieve_PeloxItems.size(), 10u);
    EXPECT_EQ(model.Send_Recieve_PeloxItems.back(), "Iden?");
}

TEST_F(PeloxTest, LineExchangeLogsWhatWasSentAndReceived)
{
    load();
    model.Send_Recieve_Pelox = "Conf?";
    press(&amplifier::PeloxTestModel::SendReceivedLine_Click);
    const std::string conf = line.chain().amplifier(1).confReply();
    EXPECT_EQ(model.Text2, "Line to Pelox: Conf?\r\nreceived: " + conf + "\r\n");
    EXPECT_EQ(model.Send_Recieve_Pelox, "Conf?");
    EXPECT_EQ(heard(), Lines{"Conf?"});
}

TEST_F(PeloxTest, SendsWithoutReadingLeaveTheReplyForTheReceiveJobs)
{
    load();
    // Job 1 on an idle line.
    press(&amplifier::PeloxTestModel::RecieveLine_Click);
    EXPECT_EQ(model.Text2, "From Pelox : \r\n");

    model.Text2.clear();
    model.Send_Recieve_Pelox = "s_b?";
    press(&amplifier::PeloxTestModel::SendLine_Click);
    press(&amplifier::PeloxTestModel::SendLF_Click);
    core::Delay(100); // the answer arrives
    press(&amplifier::PeloxTestModel::RecieveLine_Click);
    EXPECT_EQ(model.Text2, "To Pelox: s_b?\r\nTo Pelox: <LF>\r\nFrom Pelox : 0\n\r\n");

    model.Text2.clear();
    press(&amplifier::PeloxTestModel::SendLineLF_Click);
    press(&amplifier::PeloxTestModel::RecieveLineLF_Click);
    EXPECT_EQ(model.Text2, "To Pelox (LF): s_b?\r\nFrom Pelox (LF): 0\r\n");
    EXPECT_EQ(heard(), (Lines{"s_b?", "s_b?"}));

    // No reply: the log shows it empty.
    model.Text2.clear();
    press(&amplifier::PeloxTestModel::RecieveLineLF_Click);
    EXPECT_EQ(model.Text2, "From Pelox (LF): \r\n");
}

TEST_F(PeloxTest, TransparentBufferGoesToTheSelectedChannel)
{
    load("channel 1 multidrop\n");
    device::deviceState().SelectedAmplifier = 1;
    device::deviceState().SelectedChannel = 1;
    model.Send_Recieve_Pelox = "F0";
    press(&amplifier::PeloxTestModel::Send_buffer_Click);
    EXPECT_EQ(model.Text2.rfind("Buffer to Pelox: F0\r\nreceived: ", 0), 0u) << model.Text2;
    EXPECT_EQ(heard(), (Lines{"I_C_1:MLAN 4, \"01F0\"", "I_C_1:MLAN?"}));
}

TEST_F(PeloxTest, UnknownJobAndBusyLine)
{
    load();
    shell::jobQueue().Insert_In_JobQue(model, 9, 0LL);
    runJobs();
    EXPECT_EQ(box.prompts(), Lines{"No such job in Pelox_test"});

    device::LineHold other;
    model.Send_Recieve_Pelox = "Conf?";
    press(&amplifier::PeloxTestModel::SendReceivedLine_Click);
    EXPECT_EQ(model.Text2, "Line busy, job 3 not run\r\n");
    EXPECT_TRUE(heard().empty());
}

TEST_F(PeloxTest, ChannelSelectionInTheAmplifierWindowShowsInTheTerminal)
{
    amplifier::amplifierState().showTerminalSelection = [this](int a, int ch) { model.showSelection(a, ch); };
    line.start(chainOf("amplifier Type 6180\nchannels 2\n"));
    model.Form_Load();
    amplifier::PeloxModel amp;
    amp.Form_Load();
    amp.ReadPeloxConfig();
    shell::jobQueue().reset();
    shell::jobQueue().StartJobQue();
    // Tree: amplifier 1, its channels 1 and 2.
    amp.PeloxTreeView_NodeClick(3);
    runJobs();
    EXPECT_EQ(model.SelPelox, "1");
    EXPECT_EQ(model.SelChan, "2");
}
