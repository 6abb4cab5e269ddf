// The program as a user runs it on a DS9097U (an emulated DS2480B on a pseudo-terminal):
// the scan, a shorted 1-Wire line appearing and clearing, and the request server meeting
// the short. The emulated chip must never have been sent anything it does not allow.

#include "core/base/settings.h"
#include "tests/app/serverprogram.h"
#include "tests/support/adapterpeer.h"
#include "tests/support/requestclient.h"
#include "tests/support/tedsnetwork.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testing_support::AdapterPeer;
using testing_support::nodeIdText;
using testing_support::RequestClient;

constexpr const char* kNodeA = "23:0000000A1B2C";
constexpr const char* kNodeB = "2D:0000000D4E5F";

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The activity log's lines of the last request: from the end of the one before it to the
// line that ends it.
std::string lastAnswer(const std::string& log)
{
    const std::string end = "Request is cancled";
    const std::size_t last = log.rfind(end);
    if (last == std::string::npos || last == 0)
        return log;
    const std::size_t before = log.rfind(end, last - 1);
    return log.substr(before == std::string::npos ? 0 : before + end.size(), last - (before == std::string::npos ? 0 : before + end.size()));
}

int count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class AdapterBus : public testing_support::ServerProgram, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        const auto net = work.write("bus.txt", std::string("node ") + kNodeA + "\nnode " + kNodeB + "\n");
        // The network file lives outside the request server's working folder.
        std::filesystem::rename(net, profile / "bus.txt");
        ASSERT_TRUE(peer.start(profile / "bus.txt", GetParam()));
    }
    void TearDown() override
    {
        EXPECT_EQ(peer.protocolErrors(), std::vector<std::string>{});
        ServerProgram::TearDown();
        peer.stop();
    }
    void startProgram() { start({{"TEDSMITH_COM1", peer.ptyPath()}}); }
    // The "microLAN driver" caption of the adapter the peer emulates.
    static std::string driver() { return std::string(GetParam()) == "passive" ? "Dallas DS9097E" : "Dallas DS9097U"; }
    // Waits until the program has written to the adapter n more times (scan steps go on).
    bool moreWrites(long n)
    {
        const long from = peer.hostWrites();
        return waitUntil([&] { return peer.hostWrites() >= from + n; }, 60s);
    }

    AdapterPeer peer;
};

// The short is told once however long it lasts, and again once it cleared and came back.
TEST_P(AdapterBus, ShortIsToldOnceAndAgainAfterItClearedAndCameBack)
{
    prepare(driver());
    const auto ini = profile / "Morvelund" / "QT8061" / "QT8061_Inifile.txt";
    core::Inifile_CreateKeyWithValue(ini, "T-block Server Active at startup", 0);
    core::Inifile_CreateKeyWithValue(ini, "T-block server enabled", 0);
    startProgram();
    ASSERT_TRUE(peer.waitFor([](int resets, int) { return resets >= 12; }, 60s)) << errors();
    EXPECT_EQ(count(errors(), "short circuit"), 0) << errors();

    ASSERT_TRUE(peer.setShorted(true));
    ASSERT_TRUE(waitUntil([&] { return count(errors(), "short circuit") >= 1; }, 30s)) << errors();
    // Several scan ticks later: still the one message.
    ASSERT_TRUE(moreWrites(8));
    EXPECT_EQ(count(errors(), "short circuit"), 1) << errors();

    ASSERT_TRUE(peer.setShorted(false));
    const int resets = peer.resets();
    ASSERT_TRUE(peer.waitFor([&](int r, int) { return r >= resets + 12; }, 60s));
    EXPECT_EQ(count(errors(), "short circuit"), 1) << errors();

    ASSERT_TRUE(peer.setShorted(true));
    ASSERT_TRUE(waitUntil([&] { return count(errors(), "short circuit") >= 2; }, 30s)) << errors();
    ASSERT_TRUE(moreWrites(8));
    EXPECT_EQ(count(errors(), "short circuit"), 2) << errors();
    // The message names the adapter's device.
    EXPECT_NE(errors().find(peer.ptyPath()), std::string::npos) << errors();
    ASSERT_TRUE(peer.setShorted(false));
}

// A request that meets the short answers with it; once the line is free again the same
// request reads the node.
TEST_P(AdapterBus, RequestMeetingAShortAnswersWithTheShort)
{
    prepare(driver());
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    const auto request = RequestClient::requestText({"NODEID " + nodeIdText(0x23, 0x0000000A1B2CULL), "READTEDS"});

    client.send(request);
    ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
    const std::string before = lastAnswer(client.response().value_or(""));
    EXPECT_NE(before.find("does not contain a TEDS"), std::string::npos) << before;

    ASSERT_TRUE(peer.setShorted(true));
    client.send(request);
    ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
    const std::string shorted = lastAnswer(client.response().value_or(""));
    EXPECT_NE(shorted.find("short"), std::string::npos) << shorted;
    EXPECT_EQ(shorted.find("Nodelist empty"), std::string::npos) << shorted;
    EXPECT_EQ(shorted.find("node not found"), std::string::npos) << shorted;
    EXPECT_EQ(shorted.find("succesfully"), std::string::npos) << shorted;

    ASSERT_TRUE(peer.setShorted(false));
    client.send(request);
    ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
    const std::string freed = lastAnswer(client.response().value_or(""));
    EXPECT_EQ(freed.find("short"), std::string::npos) << freed;
    EXPECT_NE(freed.find("does not contain a TEDS"), std::string::npos) << freed;
}

// The first request after the program started meets the short.
TEST_P(AdapterBus, FirstRequestMeetingAShortAnswersWithTheShort)
{
    prepare(driver());
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    ASSERT_TRUE(peer.setShorted(true));
    client.send(RequestClient::requestText({"NODEID " + nodeIdText(0x23, 0x0000000A1B2CULL), "READTEDS"}));
    ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
    const std::string shorted = lastAnswer(client.response().value_or(""));
    EXPECT_NE(shorted.find("short circuit"), std::string::npos) << shorted;
    EXPECT_EQ(shorted.find("node not found"), std::string::npos) << shorted;
    ASSERT_TRUE(peer.setShorted(false));
}

// The short was told already (scan ticks met it) before a request comes: the request
// answers with it all the same, not as an empty network.
TEST_P(AdapterBus, RequestAfterTheShortWasToldAnswersWithTheShort)
{
    prepare(driver());
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    ASSERT_TRUE(peer.setShorted(true));
    ASSERT_TRUE(moreWrites(8));
    const std::string id = nodeIdText(0x23, 0x0000000A1B2CULL);
    const std::vector<std::vector<std::string>> requests = {
        {"NODEID " + id, "READTEDS"},
        {"READTEDS"},
        {"FAMILY 35", "READTEDS"},
        {"NODEID " + id, "LISTFULLTEDS"},
        {"FAMILY 35", "UTID 919106", "WRITETEDS"},
        {"NODEID " + id, "DELETE_MEMORY"},
        {"READ_DS2406_PIO"},
        {"VERSION V0.9X", "READNODES", "LISTNODELIST"},
    };
    for (const auto& r : requests) {
        SCOPED_TRACE(::testing::PrintToString(r));
        client.send(RequestClient::requestText(r));
        ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
        const std::string shorted = lastAnswer(client.response().value_or(""));
        EXPECT_NE(shorted.find("short circuit"), std::string::npos) << shorted;
        for (const char* wrong : {"node not found", "Nodelist empty", "TEDS not found", "\r\nOK"})
            EXPECT_EQ(shorted.find(wrong), std::string::npos) << wrong << " in " << shorted;
    }
    ASSERT_TRUE(peer.setShorted(false));
}

// A TEDS written through the request server reaches the node, and reads back.
TEST_P(AdapterBus, WritesATedsThroughTheAdapter)
{
    prepare(driver());
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    const std::string id = nodeIdText(0x23, 0x0000000A1B2CULL);
    const auto blank = peer.memory();
    client.send(RequestClient::requestText(
        {"NODEID " + id, "UTID 919106", "%SerialNumber=\"4711\"", "%CalInitials=\"ABC\"", "WRITETEDS"}));
    ASSERT_TRUE(client.waitForAnswer(120s)) << errors();
    const auto lines = client.responseLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "OK") << ::testing::PrintToString(lines);
    const auto written = peer.memory();
    ASSERT_EQ(written.count(id), 1u);
    EXPECT_NE(written.at(id), blank.at(id));
    client.send(RequestClient::requestText({"NODEID " + id, "LISTFULLTEDS"}));
    ASSERT_TRUE(client.waitForAnswer(120s)) << errors();
    const auto listing = client.response().value_or("");
    EXPECT_NE(listing.find("4711"), std::string::npos) << listing;
}

// The adapter's line goes away while the program scans (the tty hangs up): the program
// says so, naming the device, and keeps running.
TEST_P(AdapterBus, AdapterLineGoingAwayIsToldAndTheProgramRuns)
{
    prepare(driver());
    const auto ini = profile / "Morvelund" / "QT8061" / "QT8061_Inifile.txt";
    core::Inifile_CreateKeyWithValue(ini, "T-block Server Active at startup", 0);
    core::Inifile_CreateKeyWithValue(ini, "T-block server enabled", 0);
    startProgram();
    ASSERT_TRUE(peer.waitFor([](int resets, int) { return resets >= 6; }, 60s)) << errors();
    const std::string pty = peer.ptyPath();
    ASSERT_TRUE(peer.vanish());
    EXPECT_TRUE(waitUntil([&] { return errors().find(pty) != std::string::npos; }, 30s)) << errors();
    std::this_thread::sleep_for(2s);
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "the program ended: " << errors();
    EXPECT_LE(count(errors(), pty), 3) << "told again and again: " << errors();
}

// The adapter's line has gone when a request comes: the answer names the device and is
// neither OK nor an empty network.
TEST_P(AdapterBus, RequestWithTheAdapterGoneSaysSo)
{
    prepare(driver());
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    const std::string pty = peer.ptyPath();
    ASSERT_TRUE(peer.vanish());
    const std::string id = nodeIdText(0x23, 0x0000000A1B2CULL);
    for (const auto& r : std::vector<std::vector<std::string>>{{"NODEID " + id, "READTEDS"},
                                                               {"FAMILY 35", "UTID 919106", "WRITETEDS"}}) {
        SCOPED_TRACE(::testing::PrintToString(r));
        client.send(RequestClient::requestText(r));
        ASSERT_TRUE(client.waitForAnswer(60s)) << errors();
        const std::string answer = lastAnswer(client.response().value_or(""));
        EXPECT_NE(answer.find(pty), std::string::npos) << answer;
        EXPECT_EQ(answer.find("\r\nOK"), std::string::npos) << answer;
    }
}

INSTANTIATE_TEST_SUITE_P(Adapters, AdapterBus, ::testing::Values("ds2480b", "passive"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
