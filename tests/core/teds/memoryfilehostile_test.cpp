// Hostile memory files: devices, pipes, loops, folders, unreadable and oversized files, binary
// garbage and odd line ends. Each is refused with one message and the image unchanged, the
// load returns (a pipe without a writer does not block it) and memory stays bounded.

#include "core/teds/memoryfile.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

class HostileMemoryFile : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    HostileMemoryFile()
    {
        image.dimension(124, 0x5A);
        image.id = "190000005CA6572D";
        image.DraftLayout = false;
        core::BytesToBits(image);
        before = image;
    }
    void expectUnchanged() const
    {
        EXPECT_EQ(image.id, before.id);
        EXPECT_EQ(image.Size, before.Size);
        EXPECT_EQ(image.Bytes, before.Bytes);
        EXPECT_EQ(image.Bits, before.Bits);
        EXPECT_EQ(image.DraftLayout, before.DraftLayout);
    }
    // The load, refused with exactly one message and nothing changed.
    void expectRefused(const fs::path& p)
    {
        box.clear();
        EXPECT_FALSE(core::LoadMemoryFile(image, p)) << p;
        EXPECT_EQ(box.shown.size(), 1u) << p;
        expectUnchanged();
    }
    static std::string validFile(const std::string& eol, int bytes = 496)
    {
        std::string s = "Memory Fileformat 1.2" + eol + "2D0000005C000001" + eol + "IEEE 1451.4" + eol;
        for (int i = 0; i < bytes; ++i) {
            char b[8];
            std::snprintf(b, sizeof b, "&H%02X", i & 0xFF);
            s += b + eol;
        }
        return s;
    }

    TempDir dir;
    core::TedsBuf image;
    core::TedsBuf before;
};

// Peak resident memory in bytes since the last reset (VmHWM), after resetting it to now.
long long residentPeakKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    return -1;
}
long long residentNowKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoll(line.substr(6));
    return -1;
}
bool resetResidentPeak()
{
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    return static_cast<bool>(out);
}

TEST_F(HostileMemoryFile, DevicesLoopsFoldersAndUnreadableFilesAreRefusedUnchanged)
{
    expectRefused("/dev/zero");
    expectRefused("/dev/urandom");
    expectRefused(dir.path());
    const fs::path loop = dir / "loop.tds";
    fs::create_symlink(dir / "loop2.tds", loop);
    fs::create_symlink(loop, dir / "loop2.tds");
    expectRefused(loop);
    fs::create_symlink(dir / "nowhere.tds", dir / "dangling.tds");
    expectRefused(dir / "dangling.tds");
    expectRefused(dir / "missing.tds");
    // Opens, but every read fails (EIO at address 0).
    expectRefused("/proc/self/mem");
}

TEST_F(HostileMemoryFile, AFifoWithoutWriterDoesNotBlockTheLoad)
{
    const fs::path fifo = dir / "pipe.tds";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    box.clear();
    auto load = std::async(std::launch::async, [&] { return core::LoadMemoryFile(image, fifo); });
    if (load.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        // Blocked in open(): a writer lets it go on, so the test can end.
        const int w = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (w >= 0)
            ::close(w);
        load.wait();
        FAIL() << "the load of a pipe without a writer blocked";
    }
    EXPECT_FALSE(load.get());
    EXPECT_EQ(box.shown.size(), 1u);
    expectUnchanged();
}

TEST_F(HostileMemoryFile, AnEndlessPipeIsRefusedAfterABoundedRead)
{
    const fs::path fifo = dir / "endless.tds";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::signal(SIGPIPE, SIG_IGN);
    // A reader of the test's own keeps the pipe open, so a writer that never stops has filled
    // it before the load begins and goes on writing while the load reads.
    const int hold = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(hold, 0);
    std::atomic<bool> stop{false};
    std::atomic<long long> written{0};
    std::atomic<bool> gaveUp{false};
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) {
            gaveUp = true;
            return;
        }
        const std::string chunk = validFile("\r\n");
        while (!stop) {
            const ssize_t n = ::write(fd, chunk.data(), chunk.size());
            if (n > 0)
                written += n;
            else if (n < 0 && errno != EAGAIN) {
                gaveUp = true;
                break;
            }
            else
                std::this_thread::yield();
        }
        ::close(fd);
    });
    while (written < 20000 && !gaveUp)
        std::this_thread::yield();
    if (gaveUp) {
        writer.join();
        ::close(hold);
        FAIL() << "the writer could not fill the pipe";
    }
    box.clear();
    const bool loaded = core::LoadMemoryFile(image, fifo);
    stop = true;
    writer.join();
    ::close(hold);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(box.shown.size(), 1u);
    expectUnchanged();
}

TEST_F(HostileMemoryFile, TheBoundIsSixteenKibibytesExactly)
{
    // Format 1.2 with CR LF, padded with more byte lines than a memory holds: only the first 496
    // count, so a file of exactly 16384 bytes loads and one byte more is refused.
    // 54 header bytes, 2720 lines "&HXX" and two lines "&H0": 16384 bytes.
    std::string at = validFile("\r\n", 2720) + "&H0\r\n&H0\r\n";
    ASSERT_EQ(at.size(), 16384u);
    box.clear();
    EXPECT_TRUE(core::LoadMemoryFile(image, dir.write("at.tds", at))) << (box.shown.empty() ? "" : box.shown[0].prompt);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(image.Size, 496);
    EXPECT_EQ(image.Bytes[1], 0x00);
    EXPECT_EQ(image.Bytes[496], 495 & 0xFF);
    EXPECT_EQ(image.id, "2D0000005C000001");

    image = before;
    expectRefused(dir.write("over.tds", at + " "));
}

TEST_F(HostileMemoryFile, GarbageIsRefusedUnchanged)
{
    std::string garbage;
    for (int i = 0; i < 4000; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    expectRefused(dir.write("garbage.tds", garbage));
    expectRefused(dir.write("nul.tds", std::string(3000, '\0')));
    // A good header followed by garbage and NULs.
    expectRefused(dir.write("header.tds", "Memory Fileformat 1.2\r\nX\r\nIEEE 1451.4\r\n&H12\r\n\x01\x02\xFF\0\0&H\r\n"));
    // A good header and a first line of 17000 bytes without a line end.
    expectRefused(dir.write("long.tds", "Memory Fileformat 1.2" + std::string(17000, 'A')));
    expectRefused(dir.write("empty.tds", ""));
    // A value that is no byte.
    expectRefused(dir.write("big.tds", "Memory Fileformat 1.2\r\nX\r\nIEEE 1451.4\r\n&H100\r\n"));
    expectRefused(dir.write("neg.tds", "Memory Fileformat 1.2\r\nX\r\nIEEE 1451.4\r\n-1\r\n"));
}

TEST_F(HostileMemoryFile, AnyLineEndReadsTheSame)
{
    struct Case {
        const char* name;
        std::string text;
    };
    std::string mixed = validFile("\r\n");
    // Every third line end LF, every fifth CR alone.
    {
        std::string out;
        int n = 0;
        for (std::size_t i = 0; i < mixed.size(); ++i) {
            if (mixed[i] == '\r' && i + 1 < mixed.size() && mixed[i + 1] == '\n') {
                ++n;
                out += n % 3 == 0 ? "\n" : n % 5 == 0 ? "\r" : "\r\n";
                ++i;
            } else
                out += mixed[i];
        }
        mixed = out;
    }
    const Case cases[] = {
        {"crlf", validFile("\r\n")},
        {"lf", validFile("\n")},
        {"cr", validFile("\r")},
        {"mixed", mixed},
        {"no last line end", validFile("\r").substr(0, validFile("\r").size() - 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        image = before;
        box.clear();
        ASSERT_TRUE(core::LoadMemoryFile(image, dir.write(std::string(c.name) + ".tds", c.text)))
            << (box.shown.empty() ? "" : box.shown[0].prompt);
        EXPECT_TRUE(box.shown.empty());
        EXPECT_EQ(image.id, "2D0000005C000001");
        EXPECT_FALSE(image.DraftLayout);
        ASSERT_EQ(image.Size, 496);
        for (int i = 1; i <= 496; ++i)
            ASSERT_EQ(image.Bytes[static_cast<std::size_t>(i)], (i - 1) & 0xFF) << i;
    }
    // Header-less, CR only: the first line is not a byte.
    image = before;
    ASSERT_TRUE(core::LoadMemoryFile(image, dir.write("headerless.tds", "&H07\r&H11\r&H22\r")));
    EXPECT_EQ(image.Bytes[1], 0x11);
    EXPECT_EQ(image.Bytes[2], 0x22);
    EXPECT_EQ(image.Bytes[3], 0xFF);
    EXPECT_TRUE(image.DraftLayout);
}

TEST_F(HostileMemoryFile, LargeAndEndlessFilesCostNoMemory)
{
    if (!resetResidentPeak())
        GTEST_SKIP() << "peak memory cannot be reset here";
    // 60 MB of valid byte lines, and 64 MiB without a line end.
    const fs::path valid = dir / "valid60.tds";
    {
        std::ofstream out(valid, std::ios::binary);
        const std::string head = validFile("\r\n");
        out << head;
        std::string block;
        for (int i = 0; i < 100000; ++i)
            block += "&H00\r\n";
        while (out.tellp() < 60'000'000)
            out << block;
    }
    const fs::path endless = dir / "endless64.tds";
    {
        std::ofstream out(endless, std::ios::binary);
        const std::string block(1 << 20, 'A');
        for (int i = 0; i < 64; ++i)
            out << block;
    }
    for (const auto& p : {valid, endless}) {
        SCOPED_TRACE(p.filename().string());
        ASSERT_TRUE(resetResidentPeak());
        const long long base = residentNowKb();
        expectRefused(p);
        const long long peak = residentPeakKb();
        EXPECT_LT(peak - base, 10 * 1024) << "peak " << peak << " kB over " << base << " kB";
    }
}

} // namespace
