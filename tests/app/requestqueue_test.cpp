// The real program as another program drives it: the settings file chooses the adapter,
// activates it at start (Scanning mode) and opens the request server enabled on a working
// folder, on the shipped demo network. Requests of every kind go in a row, at the default
// and the shortest poll, the next one the moment the last ack has gone; each is answered
// once with its own answer, and none is left hanging.

#include "tests/support/requestclient.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::RequestClient;
using testing_support::TempDir;

class Program {
public:
    // extraNodes: ROM-only nodes added to the demo network; editorVisible "0" hides the
    // main window (the server then puts the program in Paused mode).
    explicit Program(const std::string& pollTime, int extraNodes = 0, const std::string& editorVisible = "1")
    {
        const fs::path ini = profile.path() / "Morvelund" / "QT8061" / "QT8061_Inifile.txt";
        fs::create_directories(ini.parent_path());
        fs::create_directories(work());
        std::string settings;
        auto key = [&](const std::string& k, const std::string& v) {
            settings += k + std::string(40 - k.size(), ' ') + ": " + v + "\r\n";
        };
        key("Com port", "1");
        key("Interface", "Dallas DS9097U");
        key("IF Active at startup", "1");
        key("T-block Server Active at startup", "1");
        key("T-block workdir", work().string() + "/");
        key("T-block server enabled", "1");
        key("T-block server EditorVisible", editorVisible);
        key("T-block pooltime", pollTime);
        profile.write("Morvelund/QT8061/QT8061_Inifile.txt", settings);
        // The demo network, copied: a write changes nothing shipped.
        std::string net = testing_support::readAll(testing_support::dataDir() / "demo-network.txt");
        for (int i = 1; i <= extraNodes; ++i) {
            char line[40];
            std::snprintf(line, sizeof line, "\nnode 01:%012X\n", 0x200000 + i * 104729);
            net += line;
        }
        profile.write("net.txt", net);
        fs::copy(testing_support::dataDir() / "demo-bridge.tds", profile.path() / "demo-bridge.tds");

        const std::string log = (profile.path() / "stderr.txt").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 2);
            ::dup2(fd, 1);
            ::setenv("AllUsersProfile", profile.path().c_str(), 1);
            ::setenv("TEDSMITH_SIMNET", (profile.path() / "net.txt").c_str(), 1);
            ::setenv("TEDSMITH_NO_DIALOGS", "1", 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("TZ", "UTC", 1);
            ::setenv("LC_ALL", "C.UTF-8", 1);
            const std::string bin = testing_support::programBinary().string();
            ::execl(bin.c_str(), bin.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program()
    {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    fs::path work() const { return profile.path() / "work"; }
    // Waits for the program to end by itself; its exit status, -1 when it did not.
    int waitEnd(std::chrono::seconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }
    std::string stderrText() const { return testing_support::readAll(profile.path() / "stderr.txt"); }

    TempDir profile;

private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

struct Kind {
    std::vector<std::string> lines;
    const char* expect;   // a line the answer holds
    bool named = true;    // the answer names its request (header or log lines)
};

std::vector<Kind> kinds()
{
    return {
        {{"FAMILY 35", "LISTFULLTEDS"}, "Device DS2433"},
        {{"NODEID A900000091E4D223", "READTEDS"}, "Request is cancled"},
        {{"NODEID 190000005CA6572D", "LISTFULLTEDS prefix"}, "190000005CA6572D"},
        {{"CLEARNODELIST", "ADDNODES", "LISTNODELIST"}, "A900000091E4D223"},
        {{"NODEID 190000005CA6572D", "WRITETEDS"}, "OK"},
        {{"NODEID 6B0000005C6D7E2D", "SHOWNODELIST"}, "Node no. 1"},
        {{"FAMILY 18", "READ_DS2406_PIO"}, "PIO_A=", false},
        {{"FAMILY 20"}, "due to incomplete request", false},
    };
}

// Sends n requests, each the moment the answer to the last one is there.
void requestsInARow(Program& p, int n, std::chrono::seconds each)
{
    RequestClient client(p.work());
    ASSERT_TRUE(client.waitUntilServing(60s)) << p.stderrText();
    const auto all = kinds();
    std::string last;
    for (int i = 1; i <= n; ++i) {
        const Kind& k = all[static_cast<std::size_t>(i - 1) % all.size()];
        std::vector<std::string> lines{"REQUESTDATETIME row " + std::to_string(i)};
        lines.insert(lines.end(), k.lines.begin(), k.lines.end());
        client.send(RequestClient::requestText(lines));
        ASSERT_TRUE(client.waitForAnswer(each)) << "request " << i << " was never answered\n"
                                               << client.response().value_or("(no response)") << "\n"
                                               << p.stderrText();
        const std::string res = client.response().value_or("");
        // Its header line or, for an answer of the log, its own log lines.
        const std::string me = "row " + std::to_string(i);
        if (k.named)
            EXPECT_TRUE(res.find(me + "\r\n") != std::string::npos || res.find(me + ")") != std::string::npos)
                << "request " << i << " got another answer:\n" << res;
        EXPECT_NE(res, last) << "request " << i << " got the answer before it";
        last = res;
        EXPECT_NE(res.find(k.expect), std::string::npos) << "request " << i << ":\n" << res;
    }
    // Ends the program through a request.
    client.send(RequestClient::requestText({"REQUESTDATETIME last", "EXIT"}));
    ASSERT_TRUE(client.waitForAnswer(each));
    EXPECT_EQ(p.waitEnd(30s), 0);
}

TEST(RequestQueueProgram, RequestsInARowAtTheDefaultPollInScanningMode)
{
    Program p("1.0");
    requestsInARow(p, 24, 30s);
}

TEST(RequestQueueProgram, RequestsInARowAtTheShortestPoll)
{
    Program p("0.1");
    requestsInARow(p, 24, 30s);
}

// A network of a hundred more nodes: every pass, the tick's and the request's, is long.
TEST(RequestQueueProgram, RequestsInARowOnALargeNetwork)
{
    Program p("1.0", 100);
    requestsInARow(p, 10, 60s);
}

// The main window hidden: the program is in Paused mode.
TEST(RequestQueueProgram, RequestsInARowWithTheEditorHidden)
{
    Program p("0.3", 0, "0");
    requestsInARow(p, 10, 30s);
}

// More node records than 31 (a hundred serial-number chips besides the demo's nodes):
// every memory node is still listed with its own TEDS.
TEST(RequestQueueProgram, EveryNodeIsListedWithItsOwnTedsOnANetworkOfManyNodes)
{
    const std::vector<std::pair<std::string, std::string>> nodes = {
        {"BA0000003B7A0112", "UTID 31574082"},
        {"190000005CA6572D", "UTID 31574082"},
        {"48000001A2B3C414", "UTID 2"},
        {"A900000091E4D223", "UTID 919106"},
        {"6B0000005C6D7E2D", "UTID 0"},
    };
    Program p("0.2", 100);
    RequestClient client(p.work());
    ASSERT_TRUE(client.waitUntilServing(60s)) << p.stderrText();
    for (const auto& [id, utid] : nodes) {
        client.send(RequestClient::requestText({"REQUESTDATETIME " + id, "NODEID " + id, "LISTFULLTEDS"}));
        ASSERT_TRUE(client.waitForAnswer(60s)) << id;
        const std::string res = client.response().value_or("");
        EXPECT_NE(res.find("Node ID " + id + "\r\n"), std::string::npos) << res;
        EXPECT_NE(res.find("\r\n" + utid + "\r\n"), std::string::npos) << id << " listed with another TEDS:\n" << res;
    }
    client.send(RequestClient::requestText({"NODEID 6B0000005C6D7E2D", "SHOWNODELIST"}));
    ASSERT_TRUE(client.waitForAnswer(60s));
    EXPECT_NE(client.response().value_or("").find("Nodelist ok"), std::string::npos) << client.response().value_or("");
}

} // namespace
