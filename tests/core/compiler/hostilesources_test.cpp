// Hostile description sources: deep and wide macro nesting, recursion, macros that
// write nothing, long call lines, huge sources. Each compile ends with false and a
// message naming the problem (or, for what is merely large, a whole result), and
// leaves an existing .tdl as it was. Each runs in a child process under a CPU and
// memory guard far above what a bounded compile needs, so an unbounded one fails
// here instead of hanging the run; nothing here measures time.

#include "core/compiler/cdefine.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
    bool finished = false;  // the child ended on its own
    bool result = false;    // ExpandFiles' result
    std::string messages;   // every message shown, one per line
    std::string ending;     // how the child ended otherwise
};

// Runs ExpandFiles(base) in a child under the guards.
Outcome compileGuarded(const fs::path& base, rlim_t cpuSeconds = 60, rlim_t memoryBytes = rlim_t(3) << 30)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        rlimit cpu{cpuSeconds, cpuSeconds + 2};
        setrlimit(RLIMIT_CPU, &cpu);
        if (!kSanitized) {
            rlimit as{memoryBytes, memoryBytes};
            setrlimit(RLIMIT_AS, &as);
        }
        std::string out;
        try {
            testing_support::VirtualServices vs(false);
            core::cDefine d;
            const bool ok = d.ExpandFiles(base);
            out = ok ? "1" : "0";
            for (const auto& p : vs.box.prompts()) out += "\n" + p;
        } catch (const std::exception& e) {
            const std::string what = std::string("exception: ") + e.what();
            if (write(fds[1], what.data(), what.size()) < 0) _exit(4);
            _exit(3);
        } catch (...) {
            _exit(3);
        }
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string got;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) got.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    Outcome o;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !got.empty()) {
        o.finished = true;
        o.result = got[0] == '1';
        o.messages = got.size() > 1 ? got.substr(2) : "";
    } else if (WIFSIGNALED(status)) {
        o.ending = "ended by signal " + std::to_string(WTERMSIG(status)) +
                   (WTERMSIG(status) == SIGXCPU ? " (its CPU guard)" : "");
    } else {
        o.ending = "exited with " + std::to_string(WEXITSTATUS(status)) + " " + got;
    }
    return o;
}

class HostileSources : public ::testing::Test {
protected:
    TempDir dir;
    fs::path base = dir / "hostile";
    const std::string oldTdl = "Description Language Version 0.2.6\r\n# the file before the compile\r\n";

    void sources(const std::string& hdl, const std::string& ddl)
    {
        if (!hdl.empty()) std::ofstream(base.string() + ".hdl", std::ios::binary) << hdl;
        std::ofstream(base.string() + ".ddl", std::ios::binary) << ddl;
        std::ofstream(base.string() + ".tdl", std::ios::binary) << oldTdl;
    }
    std::string tdl() const { return testing_support::readAll(base.string() + ".tdl"); }

    // The compile refused the source with a message and left the old .tdl alone.
    void expectRefused(const Outcome& o, const std::string& what)
    {
        ASSERT_TRUE(o.finished) << what << ": " << o.ending;
        EXPECT_FALSE(o.result) << what;
        EXPECT_FALSE(o.messages.empty()) << what << ": no message";
        EXPECT_EQ(tdl(), oldTdl) << what;
    }
};

std::string chain(int depth, const std::string& leafBody)
{
    std::ostringstream s;
    for (int i = 0; i < depth; ++i) s << "define m" << i << "\nm" << i + 1 << "\nenddefine\n";
    s << "define m" << depth << "\n" << leafBody << "enddefine\n";
    return s.str();
}

// e0 has the body leaf; e_i calls e_(i-1) twice; the description calls e_levels.
std::string doubling(int levels, const std::string& leafBody)
{
    std::ostringstream s;
    s << "define e0\n" << leafBody << "enddefine\n";
    for (int i = 1; i <= levels; ++i) s << "define e" << i << "\ne" << i - 1 << "\ne" << i - 1 << "\nenddefine\n";
    return s.str();
}

TEST_F(HostileSources, DeepNestingIsRefused)
{
    sources(chain(300, "TEMPLATE x\n"), "m0\n");
    expectRefused(compileGuarded(base), "300 macros deep");
}

TEST_F(HostileSources, NestingWithinTheBoundCompiles)
{
    sources(chain(40, "# leaf\n"), "m0\nm0\n");
    const auto o = compileGuarded(base);
    ASSERT_TRUE(o.finished) << o.ending;
    EXPECT_TRUE(o.result) << o.messages;
    EXPECT_EQ(tdl(), "# leaf\r\n# leaf\r\n");
}

TEST_F(HostileSources, ExponentialExpansionsAreRefused)
{
    sources(doubling(64, ""), "e64\n");
    expectRefused(compileGuarded(base), "2^64 calls writing nothing");
    sources(doubling(64, "# line\n"), "e64\n");
    expectRefused(compileGuarded(base), "2^64 lines");
    sources(doubling(64, "\n"), "e64\n");
    expectRefused(compileGuarded(base), "2^64 empty lines");
}

TEST_F(HostileSources, RecursionIsRefused)
{
    sources("define a\nx\na\nenddefine\n", "a\n");
    expectRefused(compileGuarded(base), "a calls a");
    sources("define a\nb\nenddefine\ndefine b\nc\nenddefine\ndefine c\na\nenddefine\n", "a\n");
    expectRefused(compileGuarded(base), "a, b, c, a");
    // The call inside the header itself.
    sources("define a\n\ta\nenddefine\na\n", "# nothing\n");
    expectRefused(compileGuarded(base), "a calls a from the header");
}

TEST_F(HostileSources, AnUnclosedDefineIsRefused)
{
    sources("define open\nline\n", "open\n");
    expectRefused(compileGuarded(base), "define without enddefine");
}

TEST_F(HostileSources, MillionsOfCallsOfAnEmptyMacro)
{
    std::string ddl;
    ddl.reserve(6u << 20);
    for (int i = 0; i < 3000000; ++i) ddl += "n\n";
    sources("define n\nenddefine\n", ddl);
    const auto o = compileGuarded(base);
    ASSERT_TRUE(o.finished) << o.ending;
    if (o.result) {
        EXPECT_EQ(tdl(), "");
    } else {
        EXPECT_FALSE(o.messages.empty());
        EXPECT_EQ(tdl(), oldTdl);
    }
}

// A call line is looked at on every call: a long line (a long macro name, or tabs in
// front of a short one) called a million times is as much work as a million such lines.
TEST_F(HostileSources, LongCallLinesCalledOftenEndWithinTheirBound)
{
    const std::string name(1u << 20, 'n');
    sources("define " + name + "\nenddefine\n" + doubling(24, name + "\n" + name + "\n"), "e24\n");
    const auto o = compileGuarded(base);
    ASSERT_TRUE(o.finished) << "a 1 MB macro name called 2^25 times: " << o.ending;
    EXPECT_FALSE(o.result);
    EXPECT_FALSE(o.messages.empty());

    const std::string tabs(1u << 20, '\t');
    sources("define n\nenddefine\n" + doubling(24, tabs + "n\n" + tabs + "n\n"), "e24\n");
    const auto p = compileGuarded(base);
    ASSERT_TRUE(p.finished) << "a call after 1 MB of tabs, 2^25 times: " << p.ending;
    EXPECT_FALSE(p.result);
    EXPECT_FALSE(p.messages.empty());
}

// A define line made of "define" 400 000 times names the empty macro.
TEST_F(HostileSources, ADefineLineOfDefinesEnds)
{
    std::string line;
    for (int i = 0; i < 400000; ++i) line += i % 2 ? "DEFINE" : "define";
    sources(line + "\nbody\nenddefine\n", "\n# kept\n");
    const auto o = compileGuarded(base);
    ASSERT_TRUE(o.finished) << o.ending;
    EXPECT_TRUE(o.result) << o.messages;
    EXPECT_EQ(tdl(), "\r\n# kept\r\n");
}

// A source far larger than any description (16 MB of empty lines in the header) ends
// with a message or a result, within memory a few times its size.
TEST_F(HostileSources, AHugeSourceStaysWithinItsMemory)
{
    {
        std::ofstream h(base.string() + ".hdl", std::ios::binary);
        const std::string block(1u << 20, '\n');
        for (int i = 0; i < 16; ++i) h << block;
    }
    std::ofstream(base.string() + ".ddl", std::ios::binary) << "# one line\n";
    std::ofstream(base.string() + ".tdl", std::ios::binary) << oldTdl;
    const auto o = compileGuarded(base, 60, rlim_t(256) << 20);
    ASSERT_TRUE(o.finished) << "16 MB header under a 256 MB memory guard: " << o.ending;
    if (!o.result) EXPECT_FALSE(o.messages.empty());
}

} // namespace
