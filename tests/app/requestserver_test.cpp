// The request server of the real program: headless, on a simulated network, serving a
// temporary working directory with a 0.1 s poll. A client talks to it through files only.

#include "core/base/settings.h"
#include "tests/app/serverprogram.h"
#include "tests/support/requestclient.h"
#include "tests/support/tedsnetwork.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using testing_support::readAll;
using testing_support::RequestClient;
using testing_support::TempDir;

namespace {

constexpr auto kAnswerTimeout = std::chrono::seconds(30);

class RequestServerProgram : public testing_support::ServerProgram {
protected:
    TempDir net;

    void SetUp() override
    {
        fs::copy_file(testing_support::dataDir() / "demo-bridge.tds", net / "bridge.tds");
        net.write("net.txt", "node 23:000000000104\ntds bridge.tds\nnode 12:000000000101\ntds bridge.tds\n");
        prepare("Dallas DS9097U");
        start({{"TEDSMITH_SIMNET", (net / "net.txt").string()}});
    }

    // The exit code once the program ended within the timeout; -1 otherwise.
    int waitForExit(std::chrono::seconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

};

TEST_F(RequestServerProgram, AnswersRequestsOnceAndEndsOnExit)
{
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kAnswerTimeout)) << "the server did not answer: " << errors();

    client.send(RequestClient::requestText({"REQUESTDATETIME e2e", "FAMILY 18", "SET_DS2406_PIOAB_01", "READ_DS2406_PIO"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    EXPECT_EQ(client.responseLines(), (std::vector<std::string>{"PIO_A=0", "PIO_B=1"}));

    // The node-list commands reach the program's node-list generator through the server window.
    client.send(RequestClient::requestText(
        {"REQUESTDATETIME nl", "CLEARNODELIST", "ADDNODE A1B2C3D4E5F60712", "ADDNODE 0102030405060708", "LISTNODELIST"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    EXPECT_EQ(client.responseLines(),
              (std::vector<std::string>{"Requestdatetime nl", "A1B2C3D4E5F60712", "0102030405060708"}));

    // A request with slow commands runs once: its answer stays as it was after the ack went.
    client.send(RequestClient::requestText({"REQUESTDATETIME w1", "FAMILY 35", "UTID 919106", "%SerialNumber=\"4711\"",
                                            "WRITETEDS", "FAMILY 18", "READ_DS2406_PIO", "FAMILY 35", "WRITETEDS"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    const auto answer = client.response();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, "PIO_A=0\r\nPIO_B=1\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_FALSE(client.ackPresent());
    EXPECT_EQ(client.response(), answer);

    // A request without a command is answered with the whole log: one write so far.
    client.send(RequestClient::requestText({"REQUESTDATETIME probe"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    const auto log = client.responseLines();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.starts_with("Request (w1) for WriteTEDS : "); }),
              1);
    // The first write took the node off the list until the next scan.
    EXPECT_NE(std::find(log.begin(), log.end(), "Error: Device specified not found"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "Request (w1)  completed succesfully"), log.end());

    // The written TEDS listed after a new scan, then EXIT.
    client.send(RequestClient::requestText({"CLEARLOG", "FAMILY 35", "READTEDS", "LISTFULLTEDS", "EXIT"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    const auto listing = client.responseLines();
    EXPECT_NE(std::find(listing.begin(), listing.end(), "%SerialNumber, \"Serial number\", \"4711\""), listing.end());
    EXPECT_EQ(listing.back(), "Checksum is ok");
    EXPECT_EQ(waitForExit(std::chrono::seconds(20)), 0) << errors();
    std::string saved;
    core::Inifile_Read_String_Value(profile / "Morvelund" / "QT8061" / "QT8061_Inifile.txt", "T-block pooltime", saved);
    EXPECT_EQ(saved, "0.1");
}

class LargeNetworkProgram : public testing_support::ServerProgram {
protected:
    TempDir net;

    void SetUp() override
    {
        net.write("net.txt", testing_support::tedsNodesDescription(testing_support::dataDir() / "demo-bridge.tds", 40,
                                                                   5000, 0x300));
        prepare("Dallas DS9097U");
        start({{"TEDSMITH_SIMNET", (net / "net.txt").string()}});
    }
};

TEST_F(LargeNetworkProgram, NodesPastTheThirtyFirstOfFortyAreListedWithTheirOwnTeds)
{
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kAnswerTimeout)) << errors();
    // Every request scans all forty nodes again: the nodes at the ends and around the 31st
    // here, each of the forty in the engine's own test (LargeNetwork).
    for (int i : {0, 15, 30, 31, 32, 36, 39}) {
        const std::string id = testing_support::nodeIdText(0x2D, 0x300ULL + static_cast<unsigned>(i));
        SCOPED_TRACE(id);
        client.send(RequestClient::requestText({"NODEID " + id, "LISTFULLTEDS"}));
        ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
        const auto listing = client.responseLines();
        ASSERT_GE(listing.size(), 3u) << testing::PrintToString(listing);
        EXPECT_EQ(listing[0], "Node ID " + id);
        EXPECT_EQ(listing[1], "Title IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range");
        EXPECT_NE(std::find(listing.begin(), listing.end(),
                            "%SerialNumber, \"Serial number\", \"" + std::to_string(5000 + i) + "\""),
                  listing.end());
        EXPECT_EQ(listing.back(), "Checksum is ok");
    }
}


// After "Activate interface" the program scans every second; with the default 1.0 s poll
// its two timers tick in step, and the poll comes while a scan pass runs.
class ScanningServerProgram : public testing_support::ServerProgram {
protected:
    TempDir net;

    void SetUp() override
    {
        fs::copy_file(testing_support::dataDir() / "demo-bridge.tds", net / "demo-bridge.tds");
        fs::copy_file(testing_support::dataDir() / "demo-network.txt", net / "net.txt");
        prepare("Dallas DS9097U", "1.0");
        start({{"TEDSMITH_SIMNET", (net / "net.txt").string()}});
    }
};

TEST_F(ScanningServerProgram, TwentyRequestsInARowWithTheDefaultPollAreAllAnswered)
{
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kAnswerTimeout)) << "the server did not answer: " << errors();
    for (int i = 1; i <= 20; ++i) {
        const std::string name = "s" + std::to_string(i);
        client.send(RequestClient::requestText({"REQUESTDATETIME " + name, "FAMILY 35", "LISTFULLTEDS"}));
        ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << "request " << i << " not answered: " << errors();
        const auto lines = client.responseLines();
        ASSERT_GE(lines.size(), 3u) << i;
        EXPECT_EQ(lines.front(), "Requestdatetime " + name);
        EXPECT_EQ(lines.back(), "Checksum is ok");
    }
}

} // namespace
