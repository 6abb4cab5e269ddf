// The request server of the real program against an emulated DS2480B on a
// pseudo-terminal (the adapter peer), whose node memory outlives the program: the
// program is killed (-9) at random moments during a request's scan, its write and its
// response, and started again. A client that follows the README never reads an "OK"
// for a TEDS the node does not hold, nor an answer of another request; a cut write
// reads back as a failed checksum; nothing is written to the node when no answer can
// be written, and nothing outside the working folder.

#include "tests/app/serverprogram.h"
#include "tests/support/adapterpeer.h"
#include "tests/support/requestclient.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <functional>

#include <chrono>
#include <fstream>
#include <poll.h>
#include <random>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using testing_support::RequestClient;
using testing_support::TempDir;
using Lines = std::vector<std::string>;
using Memory = std::vector<std::uint8_t>;

namespace {

constexpr auto kTimeout = std::chrono::seconds(120);
constexpr const char* kNode = "B900000000010423";  // 23:000000000104
constexpr const char* kNotAnswered = "Error: request not answered: TEDS_ack.txt was there when the server started";

// A new serial number and calibration for the node's TEDS (pages 1 to 4 change).
const Lines kWrite = {"REQUESTDATETIME w", "FAMILY 35", "%SerialNumber=\"4711\"", "%CalInitials=\"ABC\"",
                      "%MeasID=\"12\"", "%UserData=\"calibrated\"", "WRITETEDS"};

// Every 32-byte page of a DS2433 sums to 0 modulo 256.
bool checksumsPass(const Memory& m)
{
    for (std::size_t p = 0; p + 32 <= m.size(); p += 32) {
        unsigned sum = 0;
        for (std::size_t i = p; i < p + 32; ++i)
            sum += m[i];
        if (sum % 256 != 0)
            return false;
    }
    return true;
}

bool starts(const Lines& lines, const std::string& prefix)
{
    return !lines.empty() && lines.front().rfind(prefix, 0) == 0;
}

class PeerServerProgram : public testing_support::ServerProgram {
protected:
    TempDir net;
    testing_support::AdapterPeer peer;

    void SetUp() override
    {
        fs::copy_file(testing_support::dataDir() / "demo-bridge.tds", net / "bridge.tds");
        net.write("net.txt", "node 23:000000000104\ntds bridge.tds\n");
        ASSERT_TRUE(peer.start(net / "net.txt"));
        prepare("Dallas DS9097U");
    }
    void TearDown() override
    {
        ServerProgram::TearDown();
        peer.stop();
    }
    void startProgram() { start({{"TEDSMITH_COM1", peer.ptyPath()}}); }
    void killProgram()
    {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    Memory node() { return peer.memory()[kNode]; }
};

// Events in the working folder (a file made, renamed into it, deleted), counted.
class FolderEvents {
public:
    explicit FolderEvents(const fs::path& dir) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(fd_, dir.c_str(), IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_CLOSE_WRITE);
    }
    ~FolderEvents() { ::close(fd_); }
    // Drops what came so far.
    void drain() { count(); }
    // Waits until n more events came; false after the timeout.
    bool waitFor(int n, std::chrono::milliseconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        int seen = 0;
        while (seen < n) {
            pollfd p{fd_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return false;
            seen += count();
        }
        return true;
    }

private:
    int count()
    {
        int n = 0;
        alignas(inotify_event) char buf[4096];
        for (ssize_t len; (len = ::read(fd_, buf, sizeof buf)) > 0;)
            for (char* p = buf; p < buf + len; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
                ++n;
        return n;
    }
    int fd_;
};

TEST_F(PeerServerProgram, KilledAtRandomMomentsItNeverAnswersForAnotherRequestNorOkForAWriteItDidNotFinish)
{
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kTimeout)) << errors();

    // One whole write: what the node then holds, and how many copies it takes.
    const Memory old = node();
    ASSERT_TRUE(checksumsPass(old));
    const int before = peer.copies();
    client.send(RequestClient::requestText(kWrite));
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    ASSERT_EQ(client.responseLines(), (Lines{"Requestdatetime w", "Device DS2433", std::string("Node ID: ") + kNode, "OK"}));
    const Memory written = node();
    const int copies = peer.copies() - before;
    ASSERT_GT(copies, 2);
    ASSERT_NE(written, old);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    FolderEvents events(work.path());
    int failedChecksums = 0;
    for (int round = 0; round < 6; ++round) {
        const int phase = round % 3;  // during the scan, the write, the response
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(peer.reload());
        ASSERT_EQ(node(), old);
        const int resets = peer.resets(), copied = peer.copies();
        events.drain();
        client.send(RequestClient::requestText(kWrite));
        // Waits for the chosen moment; false when the request was answered before it came
        // (on a loaded machine the program may find the adapter too slow and give up).
        const auto moment = [&](const std::function<bool(int, int)>& reached) {
            for (const auto end = std::chrono::steady_clock::now() + kTimeout; std::chrono::steady_clock::now() < end;) {
                if (peer.waitFor(reached, std::chrono::milliseconds(250)))
                    return true;
                if (!client.ackPresent())
                    return false;
            }
            ADD_FAILURE() << "neither the moment nor an answer came: " << errors();
            return false;
        };
        if (phase == 0) {
            const int k = std::uniform_int_distribution<int>(1, 6)(random);
            moment([&](int r, int) { return r >= resets + k; });
        } else if (phase == 1) {
            const int k = std::uniform_int_distribution<int>(1, copies - 1)(random);
            moment([&](int, int c) { return c >= copied + k; });
        } else if (moment([&](int, int c) { return c >= copied + copies; })) {
            events.drain();
            // The response's temporary file made and closed, its rename, the ack's deletion.
            events.waitFor(std::uniform_int_distribution<int>(0, 4)(random), std::chrono::seconds(10));
        }
        killProgram();
        const bool answered = !client.ackPresent();
        const Lines answer = client.responseLines();
        const Memory cut = node();
        // Never pages that each pass with part of the edit.
        if (checksumsPass(cut))
            EXPECT_TRUE(cut == old || cut == written);
        else
            ++failedChecksums;
        if (answered && !answer.empty() && answer.back() == "OK") {
            // The answer came before the end: it is this request's, and true.
            EXPECT_EQ(cut, written);
        } else if (answered) {
            // A write the program gave up on (the adapter seemed too slow) is no OK.
            EXPECT_EQ(std::count(answer.begin(), answer.end(), "OK"), 0) << testing::PrintToString(answer);
        }

        // Started again, the pending request is answered as not answered.
        startProgram();
        ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
        if (!answered) {
            const Lines after = client.responseLines();
            EXPECT_TRUE(starts(after, kNotAnswered)) << testing::PrintToString(after);
            EXPECT_EQ(std::count(after.begin(), after.end(), "OK"), 0);
        }
        fs::remove(work / "TEDS_req.txt");
        ASSERT_TRUE(client.waitUntilServing(kTimeout)) << errors();
    }

    // A cut write was seen to fail its checksum; an uncut one holds exactly what was asked.
    EXPECT_GT(failedChecksums, 0);
    ASSERT_TRUE(peer.reload());
    client.send(RequestClient::requestText(kWrite));
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    EXPECT_EQ(client.responseLines().back(), "OK");
    EXPECT_EQ(node(), written);
    client.send(RequestClient::requestText({"FAMILY 35", "LISTFULLTEDS"}));
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    const Lines listing = client.responseLines();
    EXPECT_NE(std::find(listing.begin(), listing.end(), "%SerialNumber, \"Serial number\", \"4711\""), listing.end());
    EXPECT_EQ(listing.back(), "Checksum is ok");
}

TEST_F(PeerServerProgram, NothingIsWrittenWhenNoAnswerCanBeWrittenNorOutsideTheWorkingFolder)
{
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kTimeout)) << errors();
    const Memory old = node();

    // TEDS_res.txt a directory: not carried out, the ack deleted, the node untouched.
    fs::remove(work / "TEDS_res.txt");
    fs::create_directories(work / "TEDS_res.txt" / "inside");
    int copied = peer.copies();
    client.send(RequestClient::requestText(kWrite));
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    EXPECT_EQ(peer.copies(), copied);
    EXPECT_EQ(node(), old);
    fs::remove_all(work / "TEDS_res.txt");

    // A link planted as TEDS_res.txt once the write has begun: replaced, not followed.
    TempDir outside;
    const fs::path target = outside / "elsewhere.txt";
    std::ofstream(target) << "untouched\r\n";
    copied = peer.copies();
    client.send(RequestClient::requestText(kWrite));
    ASSERT_TRUE(peer.waitFor([&](int, int c) { return c > copied; }, kTimeout));
    fs::remove(work / "TEDS_res.txt");  // the empty response made before the write
    fs::create_symlink(target, work / "TEDS_res.txt");
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    EXPECT_EQ(testing_support::readAll(target), "untouched\r\n");
    EXPECT_FALSE(fs::is_symlink(work / "TEDS_res.txt"));
    EXPECT_EQ(client.responseLines().back(), "OK");
    for (const auto& e : fs::directory_iterator(work.path()))
        EXPECT_TRUE(e.path().filename() == "TEDS_res.txt" || e.path().filename() == "TEDS_req.txt") << e.path();
}

TEST_F(PeerServerProgram, InAFolderItCannotWriteARequestWaitsAndNothingIsWritten)
{
    // As root every folder is writable: the program runs as an unprivileged user.
    if (::geteuid() == 0 && !runAsNobody())
        GTEST_SKIP() << "no unprivileged user to run the program as";
    startProgram();
    RequestClient client(work.path());
    ASSERT_TRUE(client.waitUntilServing(kTimeout)) << errors();
    const Memory old = node();
    const int copied = peer.copies();
    ::chmod(work.path().c_str(), 0555);
    client.send(RequestClient::requestText(kWrite));
    // The program polls, sees the ack, cannot make a file: it waits and writes nothing.
    // Ten poll periods are looked at; a slow machine can only make it do less in them.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(client.ackPresent());
    EXPECT_EQ(peer.copies(), copied);
    EXPECT_EQ(node(), old);
    // Writable again: the request is carried out and answered.
    ::chmod(work.path().c_str(), 0755);
    ASSERT_TRUE(client.waitForAnswer(kTimeout)) << errors();
    EXPECT_EQ(client.responseLines().back(), "OK");
}

} // namespace
