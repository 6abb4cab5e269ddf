// A program killed (SIGKILL) at any moment while it rewrites a template file, the
// settings file or a memory file leaves each file whole: the old or the new text,
// never a cut one. A child process rewrites the file over and over, reporting each
// finished rewrite through a pipe, and is killed at a random moment after the first
// one; the parent then reads the file.

#include "core/base/corestate.h"
#include "core/base/settings.h"
#include "core/base/textfile.h"
#include "core/state/corelayer.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/tdl/templateparser.h"
#include "core/teds/memoryfile.h"
#include "platform/base/messagebox.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/freshstate.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <set>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using testing_support::readAll;

namespace {

constexpr int kTrials = 40;

// Runs rewrite(k) for k = 0, 1, 2, ... in a child, kTrials times, the file reset to
// initial before each. The child writes a byte to a pipe after each finished rewrite;
// the parent waits for the first byte, then kills the child after a random delay, so
// every trial has seen at least one whole rewrite however loaded the machine is.
// Returns every text the file was found in.
std::multiset<std::string> killWhileRewriting(const std::filesystem::path& file, const std::string& initial,
                                              const std::function<void(long)>& rewrite)
{
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> delayUs(0, 15000);
    std::multiset<std::string> found;
    for (int trial = 0; trial < kTrials; ++trial) {
        EXPECT_TRUE(core::writeFileAtomic(file, initial));
        int done[2];
        if (::pipe(done) != 0) {
            ADD_FAILURE() << "pipe";
            break;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(done[0]);
            for (long k = 0;; ++k) {
                rewrite(k);
                const char one = 1;
                if (::write(done[1], &one, 1) != 1)
                    ::_exit(1);
            }
        }
        ::close(done[1]);
        EXPECT_GT(pid, 0);
        if (pid <= 0) {
            ::close(done[0]);
            break;
        }
        char first = 0;
        EXPECT_EQ(::read(done[0], &first, 1), 1) << "the child finished no rewrite";
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(done[0]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        found.insert(readAll(file));
    }
    return found;
}

class KilledRewrite : public ::testing::Test {
protected:
    void SetUp() override { core::coreState().ProgramFolder = dir.path(); }

    testing_support::FreshState<core::resetCoreLayer> fresh;
    testing_support::TempDir dir;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(KilledRewrite, TemplateFileIsWholeOldOrWholeNew)
{
    std::string body = std::string(core::kDescriptionLanguageVersion) + "\r\n";
    for (int t = 0; t < 300; ++t)
        body += "TEMPLATE T" + std::to_string(t) + "\r\nUTID 1\r\nUTIDT 2\r\nSELECTOR 14," + std::to_string(t) +
                "\r\n%MODEL,\"Model number\",ID,15,UNINT,\"0\"\r\nENDTEMPLATE\r\n";
    const auto path = dir / "Big.tdl";
    ASSERT_TRUE(core::writeFileAtomic(path, body));
    ASSERT_FALSE(core::UpdateUTIDInFile(path, true));
    const std::string rewritten = readAll(path);
    ASSERT_NE(rewritten, body);

    const auto found = killWhileRewriting(path, body, [&](long) { core::UpdateUTIDInFile(path, true); });
    for (const auto& text : found)
        EXPECT_TRUE(text == body || text == rewritten) << text.size() << " bytes";
    EXPECT_GT(found.count(rewritten), 0u);
}

TEST_F(KilledRewrite, SettingsFileIsWholeOldOrWholeNew)
{
    const auto path = dir / "QT8061_Inifile.txt";
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "Key " + std::to_string(i) + std::string(36 - std::to_string(i).size(), ' ') + ": value " +
                 std::to_string(i) + "\r\n";
    const auto withCounter = [&](const std::string& v) { return lines + "Counter" + std::string(33, ' ') + ": " + v + "\r\n"; };
    const std::string initial = withCounter("start");

    const auto found = killWhileRewriting(path, initial, [&](long k) {
        core::Inifile_CreateKeyWithValue(path, "Counter", k % 2 ? "odd" : "even");
    });
    const std::set<std::string> whole = {initial, withCounter("odd"), withCounter("even")};
    for (const auto& text : found)
        EXPECT_TRUE(whole.count(text)) << text.size() << " bytes";
    EXPECT_GT(found.count(withCounter("odd")) + found.count(withCounter("even")), 0u);
}

TEST_F(KilledRewrite, MemoryFileIsWholeOldOrWholeNew)
{
    core::setSaveValidationGate(nullptr);
    core::TedsBuf images[2];
    std::string texts[2];
    for (int i = 0; i < 2; ++i) {
        images[i].dimension(496);
        for (int b = 1; b <= 496; ++b)
            images[i].Bytes[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(i == 0 ? b : 255 - b);
        images[i].id = "190000005CA6572D";
        const auto p = dir / ("image" + std::to_string(i) + ".tds");
        ASSERT_TRUE(core::SaveMemoryFile(images[i], p));
        texts[i] = readAll(p);
    }
    const auto path = dir / "node.tds";
    const std::string initial = "Memory Fileformat 1.2\r\nOLD\r\nIEEE 1451.4\r\n&H00\r\n";

    const auto found = killWhileRewriting(path, initial, [&](long k) { core::SaveMemoryFile(images[k % 2], path); });
    for (const auto& text : found)
        EXPECT_TRUE(text == initial || text == texts[0] || text == texts[1]) << text.size() << " bytes";
    EXPECT_GT(found.count(texts[0]) + found.count(texts[1]), 0u);
}

} // namespace
