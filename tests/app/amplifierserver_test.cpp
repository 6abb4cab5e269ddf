// The request server of the real program with the amplifier link as its interface: the
// simulated chain served on a pseudo-terminal by a second instance of the program, the
// server choosing the channel whose TEDS a request lists.

#include "core/base/settings.h"
#include "tests/app/serverprogram.h"
#include "tests/support/requestclient.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using testing_support::readAll;
using testing_support::RequestClient;
using testing_support::TempDir;
using Lines = std::vector<std::string>;

namespace {

constexpr auto kAnswerTimeout = std::chrono::seconds(60);

void stop(pid_t& pid)
{
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

class AmplifierServerProgram : public testing_support::ServerProgram {
protected:
    pid_t simulator = -1;
    std::string slave;

    void SetUp() override
    {
        prepare("Pelox, 6188");
        startSimulator();
        ASSERT_FALSE(slave.empty());
        start({{"TEDSMITH_COM1", slave}});
    }
    void TearDown() override
    {
        ServerProgram::TearDown();
        stop(simulator);
    }

    // The chain of the fixtures on a pseudo-terminal; its slave path is the first line
    // the simulator prints.
    void startSimulator()
    {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        simulator = ::fork();
        if (simulator == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            const fs::path chain = testing_support::fixturesDir() / "amplifier" / "chain.txt";
            ::execl((program / "tedsmith").c_str(), "tedsmith", "--simulate-amplifier", chain.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        ASSERT_GT(simulator, 0);
        std::string line;
        pollfd p{out[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0) {
            char buf[256];
            const auto n = ::read(out[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, static_cast<std::size_t>(n));
        }
        ::close(out[0]);
        slave = line.substr(0, line.find('\n'));
    }

};

TEST_F(AmplifierServerProgram, ListsTheTedsOfTheChosenChannel)
{
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kAnswerTimeout)) << "the server did not answer: " << errors();

    client.send(RequestClient::requestText({"REQUESTDATETIME a1", "SELECT_CHANNEL 3", "FAMILY 35", "LISTFULLTEDS"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    const Lines listing = client.responseLines();
    ASSERT_GE(listing.size(), 4u) << testing::PrintToString(listing) << "\nSTDERR:\n" << errors();
    EXPECT_EQ(listing[0], "Requestdatetime a1");
    EXPECT_EQ(listing[2], "Node ID A900000091E4D223");
    EXPECT_EQ(listing.back(), "Checksum is ok");

    // A channel the amplifier does not have: the request ends at once, nothing listed.
    client.send(RequestClient::requestText({"CLEARLOG", "SELECT_CHANNEL 99", "FAMILY 35", "LISTFULLTEDS"}));
    ASSERT_TRUE(client.waitForAnswer(kAnswerTimeout)) << errors();
    const Lines log = client.responseLines();
    EXPECT_NE(std::find(log.begin(), log.end(), "Error: specified channel not found"), log.end())
        << testing::PrintToString(log);
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.starts_with("Request () for"); }),
              0);
}

} // namespace
