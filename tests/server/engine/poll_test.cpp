// The server window's model: settings, the poll time, the poll tick and its guards,
// one run per request, the message boxes nobody can see while it serves, and the lines
// of a request file taken apart (tag and keyword lines, the keyword table, device names).

#include "serverfixture.h"

#include "server/engine/keywordtable.h"
#include "server/engine/requestlines.h"
#include "server/engine/suppressingmessagebox.h"

#include <algorithm>
#include <fstream>
#include <set>

namespace {

using namespace server_test;

TEST(PollTime, CommittedTextsStayWithinTheTimersRange)
{
    struct Row { const char* typed; int ms; const char* shown; };
    for (const Row r : {Row{"0.05", 100, "0.1"}, Row{"70", 65535, "65.5"}, Row{"1,5", 1500, "1.5"}, Row{"1.5", 1500, "1.5"},
                        Row{"0", 100, "0.1"}, Row{"abc", 100, "0.1"}, Row{"-3", 100, "0.1"}, Row{"0.1234", 123, "0.1"},
                        Row{" 2 ", 2000, "2.0"}}) {
        SCOPED_TRACE(r.typed);
        EXPECT_EQ(server::committedPollInterval(r.typed), r.ms);
        EXPECT_EQ(server::pollTimeText(server::committedPollInterval(r.typed)), r.shown);
    }
    EXPECT_EQ(server::typedPollInterval("0,001"), 1);
    EXPECT_EQ(server::typedPollInterval("65.535"), 65535);
    EXPECT_FALSE(server::typedPollInterval("65.536"));
    EXPECT_FALSE(server::typedPollInterval("0"));
    EXPECT_FALSE(server::typedPollInterval(""));
}

TEST(RequestLines, TagAndKeywordLinesAreTakenApart)
{
    const auto t = server::parseTagLine("%TF_HP_S[\"01\"]=\"1.5\" rest");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->name, "TF_HP_S");
    EXPECT_EQ(t->index, "[\"01\"]");
    EXPECT_EQ(t->value, "1.5");
    EXPECT_FALSE(t->noValue);
    EXPECT_TRUE(server::parseTagLine("%Model=")->noValue);
    EXPECT_EQ(server::parseTagLine("%Model=12")->value, "");
    EXPECT_FALSE(server::parseTagLine("%Model=12")->noValue);
    EXPECT_EQ(server::parseTagLine("%Model=\"12")->value, "");
    EXPECT_FALSE(server::parseTagLine("%Model"));
    const auto k = server::parseKeywordLine("  nodeid,  A B");
    EXPECT_EQ(k.keyword, "NODEID");
    EXPECT_EQ(k.parameter, "  A B");
    EXPECT_EQ(server::parseKeywordLine("exit").parameter, "");
    EXPECT_EQ(server::parseKeywordLine("   ").keyword, "");
}

TEST(RequestLines, DeviceNamesAreTheSwitchAndMemoryChipsOnly)
{
    // Both ways: a family's name, and the family a NODE/DEVICE name gives (-1: none).
    struct Row { long family; const char* name; };
    for (const Row r : {Row{18, "DS2406"}, Row{20, "DS2430A"}, Row{35, "DS2433"}, Row{45, "DS2431"}}) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(server::deviceNameOfFamily(r.family), r.name);
        EXPECT_EQ(server::familyOfDeviceName(r.name), r.family);
    }
    // The thermometer, the adapters' id chips and the serial-number chip have no request name.
    for (const long family : {0L, -1L, 0x10L, 0x09L, 0x81L, 0x89L, 0x12L + 0x100L})
        EXPECT_EQ(server::deviceNameOfFamily(family), "") << family;
    EXPECT_EQ(server::familyOfDeviceName("DS2430"), 20);
    for (const char* other : {"ds2406", "DS2406 ", "DS18S20", "DS2502", "DS2401", "", "DS2450"})
        EXPECT_EQ(server::familyOfDeviceName(other), -1) << other;
}

TEST(KeywordTable, EveryKeywordHasOneReachableRow)
{
    // A row is found only by the upper-cased keyword of a line: one with a lower-case
    // letter, a blank or a comma in it, or a second row of the same keyword, is dead.
    const std::set<std::string> expected{"", "SELECT_CHANNEL", "REQUESTDATETIME", "FAMILY", "NODE", "DEVICE", "ULANID",
                                         "NODEID", "UTID", "ALLOWROMPROGRAMMING", "VERSION", "CLEARLOG", "CLEARNODELIST",
                                         "ADDNODE", "ADDNODES", "READNODES", "LISTNODELIST", "WRITENODELIST",
                                         "SHOWNODELIST", "READTEDS", "LISTFULLTEDS", "WRITETEDS", "READ_DS2406_PIO",
                                         "SET_DS2406_PIOAB_00", "SET_DS2406_PIOAB_01", "SET_DS2406_PIOAB_10",
                                         "SET_DS2406_PIOAB_11", "DELETE_MEMORY", "EXIT"};
    std::set<std::string> seen;
    for (const auto& row : server::keywordRows()) {
        const std::string keyword(row.keyword);
        std::string lowered = keyword;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        SCOPED_TRACE(keyword);
        EXPECT_TRUE(seen.insert(keyword).second) << "a second row";
        EXPECT_NE(row.handle, nullptr);
        EXPECT_EQ(server::parseKeywordLine(lowered).keyword, keyword);
        EXPECT_EQ(server::findKeyword(keyword), &row);
    }
    EXPECT_EQ(seen, expected);
    for (const char* none : {"readteds", "READTEDS ", "READTED", "READTEDSX", "SET_DS2406_PIOAB_12"})
        EXPECT_EQ(server::findKeyword(none), nullptr) << none;
}

class PollTest : public ServerTest {
protected:
    void SetUp() override { load("node 23:000000000104\ntds demo-bridge.tds\n"); }
    std::string setting(const std::string& key)
    {
        std::string v;
        core::Inifile_Read_String_Value(core::coreState().IniPath, key, v);
        return v;
    }
};

TEST_F(PollTest, WithoutSettingsTheWindowStartsIdleInTheProgramFolder)
{
    engine.Form_Load();
    EXPECT_EQ(engine.WorkingDir, testing_support::dataDir().string() + "/");
    EXPECT_EQ(engine.PoolTime, "1.0");
    EXPECT_EQ(engine.pollIntervalMs, 1000);
    EXPECT_FALSE(engine.ServerTimerEnabled);
    EXPECT_FALSE(engine.suppressing());
    EXPECT_TRUE(host.mainVisible);
    // Closing saves the four keys.
    engine.WorkingDir = work.string() + "/";
    engine.T_block_Server_Click(1);
    engine.PoolTime_Change("0,3");
    engine.PoolTime_Commit();
    EXPECT_FALSE(engine.Form_Unload());
    EXPECT_EQ(setting("T-block workdir"), work.string() + "/");
    EXPECT_EQ(setting("T-block server enabled"), "1");
    EXPECT_EQ(setting("T-block server EditorVisible"), "1");
    EXPECT_EQ(setting("T-block pooltime"), "0.3");
    EXPECT_FALSE(engine.ServerTimerEnabled);
}

TEST_F(PollTest, LoadAppliesTheSettingsAndDropsAStaleAck)
{
    client.acknowledge();
    startServer("0", 0);
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(engine.PoolTime, "1.0");
    EXPECT_TRUE(engine.ServerTimerEnabled);
    EXPECT_TRUE(engine.suppressing());
    EXPECT_FALSE(host.mainVisible);
    step();
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    EXPECT_TRUE(engine.status.empty());
    // With the main window hidden, closing the window ends the program.
    EXPECT_TRUE(engine.Form_Unload());
}

TEST_F(PollTest, EditorVisibleHidesTheMainWindowAndPausesIt)
{
    startServer();
    engine.EditorVisible_Click(0);
    EXPECT_FALSE(host.mainVisible);
    shell::jobQueue().tick();
    EXPECT_EQ(mainStub.jobs, std::vector<int>{7});
    engine.EditorVisible_Click(1);
    EXPECT_TRUE(host.mainVisible);
}

TEST_F(PollTest, ManualAckAndBrowse)
{
    startServer();
    engine.T_block_Server_Click(0);
    engine.acknowledge_Click();
    EXPECT_EQ(testing_support::readAll(work / "TEDS_ack.txt"), "file created NOW\r\n");
    // A disabled server leaves it alone.
    step();
    EXPECT_TRUE(client.ackPresent());
    engine.Browse_Chosen("/srv/requests/any.txt");
    EXPECT_EQ(engine.WorkingDir, "/srv/requests/");
    engine.Browse_Chosen("nofolder.txt");
    EXPECT_EQ(host.ownMessages, std::vector<std::string>{"Error in filename"});
    EXPECT_EQ(engine.WorkingDir, "/srv/requests/");
}

TEST_F(PollTest, TickWhileIntakeIsStoppedTriesAgainLater)
{
    startServer();
    client.send(testing_support::RequestClient::requestText({"FAMILY 35", "READ_DS2406_PIO"}));
    shell::jobQueue().TimeoutJobQue();
    step();
    EXPECT_TRUE(client.ackPresent());
    EXPECT_TRUE(engine.ServerTimerEnabled);
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    shell::jobQueue().StartJobQue();
    step();
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(logLines().back(), "Request ()  failed");
}

TEST_F(PollTest, MissingWorkingDirectoryDisablesTheServer)
{
    startServer();
    engine.WorkingDir = (dir / "gone/").string();
    step();
    EXPECT_EQ(logLines(), std::vector<std::string>{"Directory not found, server disabled"});
    EXPECT_EQ(engine.T_block_Server, 0);
    EXPECT_FALSE(engine.ServerTimerEnabled);
}

TEST_F(PollTest, AckThatCannotBeDeletedIsTriedAgainAndTheRequestNotRunTwice)
{
    startServer();
    std::ofstream(work / "TEDS_req.txt") << "T-block server request file version 1.0.0\r\nFAMILY 35\r\n";
    fs::create_directories(work / "TEDS_ack.txt" / "inside");
    step();
    EXPECT_EQ(logLines().back(), "Error: TEDS_ack.txt cannot be deleted, tried again at every poll");
    // The server stays on: it did not leave the client waiting for good.
    EXPECT_TRUE(engine.ServerTimerEnabled);
    EXPECT_EQ(engine.T_block_Server, 1);
    const auto logged = logLines().size();
    step();
    step();
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    EXPECT_EQ(logLines().size(), logged);
    // Once it can go, it goes; the next request is served.
    fs::remove_all(work / "TEDS_ack.txt");
    step();
    ASSERT_TRUE(request({"REQUESTDATETIME next"}));
    EXPECT_EQ(logLines().back(), "Request (next)  failed");
    EXPECT_EQ(client.responseLines()[logged], "Request is cancled: NOW due to incomplete request");
}

TEST_F(PollTest, ARequestRunsOnceWhilePollTicksComeDuringIt)
{
    startServer();
    int ticks = 0;
    // Inside the run: poll ticks, and the client rewriting its request.
    host.beforeWrite = [&] {
        for (; ticks < 3; ++ticks)
            engine.ServerTimer_Timer();
        std::ofstream(work / "TEDS_req.txt", std::ios::trunc) << "T-block server request file version 1.0.0\r\nFOO\r\n";
    };
    client.send(testing_support::RequestClient::requestText({"FAMILY 35", "WRITETEDS", "REQUESTDATETIME x"}));
    step();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(shell::jobQueue().JobQueLast(), -1);
    // The request as it was when the run started.
    EXPECT_EQ(client.responseLines().back(), "OK");
    const auto log = logLines();
    EXPECT_EQ(log.back(), "Request (x)  completed succesfully");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Request () for WriteTEDS : NOW"), 1);
    EXPECT_TRUE(engine.ServerTimerEnabled);
    // The rewritten request is a new request only with a new ack.
    step();
    EXPECT_EQ(logLines().size(), log.size());
}

TEST_F(PollTest, MessagesWhileServingAreLoggedNotShown)
{
    startServer();
    server::SuppressingMessageBox direct(box, engine);
    EXPECT_EQ(core::ShowMessage("Node ID not found on the microLAN"), platform::MsgOK);
    EXPECT_EQ(direct.show("Are you sure?", platform::MsgOkCancel, "Write"), platform::MsgCancel);
    EXPECT_EQ(direct.show("Continue?", platform::MsgYesNo, ""), platform::MsgNo);
    EXPECT_EQ(direct.show("Done", platform::MsgOkOnly, ""), platform::MsgOK);
    EXPECT_EQ(direct.show("Retry?", platform::MsgAbortRetryIgnore, ""), platform::MsgAbort);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(logLines(), (std::vector<std::string>{"MsgBox suppressed: Node ID not found on the microLAN",
                                                    "MsgBox suppressed: Write, Are you sure?", "MsgBox suppressed: Continue?",
                                                    "MsgBox suppressed: Done", "MsgBox suppressed: Retry?"}));
    // Not serving: shown.
    engine.T_block_Server_Click(0);
    box.queue(platform::MsgOK);
    EXPECT_EQ(direct.show("Are you sure?", platform::MsgOkCancel, ""), platform::MsgOK);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Are you sure?"});
}

} // namespace
