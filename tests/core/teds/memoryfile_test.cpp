#include "core/teds/memoryfile.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "platform/base/messagebox.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>

using core::TedsBuf;
using testing_support::TempDir;

namespace {

class MemoryFile : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    TempDir dir;

    void TearDown() override { core::setSaveValidationGate(nullptr); }

    static TedsBuf image(int size)
    {
        TedsBuf tb;
        tb.dimension(size);
        for (int i = 1; i <= size; ++i)
            tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
        tb.id = "190000005CA6572D";
        return tb;
    }
    // An image with a known previous state, to see what a load changes.
    static TedsBuf previous()
    {
        TedsBuf tb = image(31);
        tb.id = "PREVIOUSID000000";
        tb.DraftLayout = false;
        tb.ReadOK = true;
        core::BytesToBits(tb);
        return tb;
    }
    static void expectUnchanged(const TedsBuf& tb)
    {
        const TedsBuf p = previous();
        EXPECT_EQ(tb.Bytes, p.Bytes);
        EXPECT_EQ(tb.Bits, p.Bits);
        EXPECT_EQ(tb.Size, p.Size);
        EXPECT_EQ(tb.id, p.id);
        EXPECT_TRUE(tb.ReadOK);
    }
    std::filesystem::path file(const std::string& bytes) const { return dir.write("m.tds", bytes); }
};

struct FailingGate : core::SaveValidationGate {
    int calls = 0;
    bool filesValidated(const TedsBuf&) override { ++calls; return false; }
};

} // namespace

TEST_F(MemoryFile, SaveWritesFormat12AndLoadsBackPaddedTo496)
{
    const TedsBuf tb = image(124);
    const auto path = dir / "node.tds";
    ASSERT_TRUE(core::SaveMemoryFile(tb, path));
    const std::string text = testing_support::readAll(path);
    const auto lines = core::splitLines(text);
    ASSERT_EQ(lines.size(), 127u);
    EXPECT_EQ(lines[0], "Memory Fileformat 1.2");
    EXPECT_EQ(lines[1], "190000005CA6572D");
    EXPECT_EQ(lines[2], "IEEE 1451.4");
    EXPECT_EQ(lines[3], "&H07");
    EXPECT_EQ(lines[126], "&H64");  // 124 * 7 mod 256
    EXPECT_EQ(text.substr(0, 23), "Memory Fileformat 1.2\r\n");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find('\n', 0), 22u);

    TedsBuf back = previous();
    ASSERT_TRUE(core::LoadMemoryFile(back, path));
    EXPECT_EQ(back.Size, 496);
    ASSERT_EQ(back.Bytes.size(), 497u);
    for (int i = 1; i <= 124; ++i)
        EXPECT_EQ(back.Bytes[static_cast<std::size_t>(i)], tb.Bytes[static_cast<std::size_t>(i)]);
    for (int i = 125; i <= 496; ++i)
        EXPECT_EQ(back.Bytes[static_cast<std::size_t>(i)], 0xFF);
    EXPECT_EQ(back.id, "190000005CA6572D");
    EXPECT_FALSE(back.DraftLayout);
    EXPECT_FALSE(back.ReadOK);
    EXPECT_EQ(back.Bits.size(), 8u * 496 + 1);
    // The bits are the bytes read, so a field read after the load sees the file.
    for (int a = 0; a < 8 * 496; ++a)
        ASSERT_EQ(back.Bits[static_cast<std::size_t>(a)], ((back.Bytes[static_cast<std::size_t>(a / 8 + 1)] >> (a % 8)) & 1) != 0) << a;
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MemoryFile, DraftLayoutTravelsAsTheStandardLine)
{
    TedsBuf tb = image(31);
    tb.DraftLayout = true;
    const auto path = dir / "draft.tds";
    ASSERT_TRUE(core::SaveMemoryFile(tb, path));
    EXPECT_EQ(core::splitLines(testing_support::readAll(path))[2], "IEEE P1451.4");
    TedsBuf back;
    ASSERT_TRUE(core::LoadMemoryFile(back, path));
    EXPECT_TRUE(back.DraftLayout);

    // Any other third line is the final standard.
    TedsBuf other;
    ASSERT_TRUE(core::LoadMemoryFile(other, file("Memory Fileformat 1.2\r\nX\r\nwhatever\r\n&H01\r\n")));
    EXPECT_FALSE(other.DraftLayout);
    EXPECT_EQ(other.id, "X");
}

TEST_F(MemoryFile, OlderFormats)
{
    struct Row {
        const char* name;
        const char* text;
        const char* id;
        bool draft;
        std::vector<int> bytes;
    };
    const Row rows[] = {
        {"1.1 final", "Memory Fileformat 1.1\r\nAB00000000000014\r\n1\r\n0\r\n&H1F\r\n64\r\n", "AB00000000000014", false,
         {0x1F, 64}},
        {"1.1 draft", "Memory Fileformat 1.1\nAB00000000000014\n0\n5\n&h1f\n", "AB00000000000014", true, {0x1F}},
        {"1.0 keeps the id", "Memory Fileformat 1.0\r\n1\r\n0\r\n&H01\r\n&H02\r\n", "PREVIOUSID000000", false, {1, 2}},
        {"1.0 flag -1", "Memory Fileformat 1.0\r\n-1\r\n0\r\n&H01\r\n", "PREVIOUSID000000", true, {1}},
        {"header-less", "&H80\r\n&H1F\r\n&H40\r\n", "PREVIOUSID000000", true, {0x1F, 0x40}},
        {"commas and blanks", "Memory Fileformat 1.0\r\n1, 0\r\n&H01 ,2,&H03\r\n\r\n4\r\n", "PREVIOUSID000000", false,
         {1, 2, 3, 4}},
        {"CR only", "Memory Fileformat 1.2\rID\rIEEE 1451.4\r&HAA\r", "ID", false, {0xAA}},
    };
    for (const Row& r : rows) {
        TedsBuf tb = previous();
        ASSERT_TRUE(core::LoadMemoryFile(tb, file(r.text))) << r.name;
        EXPECT_EQ(tb.id, r.id) << r.name;
        EXPECT_EQ(tb.DraftLayout, r.draft) << r.name;
        EXPECT_EQ(tb.Size, 496) << r.name;
        for (std::size_t k = 0; k < r.bytes.size(); ++k)
            EXPECT_EQ(tb.Bytes[k + 1], r.bytes[k]) << r.name << " byte " << k + 1;
        EXPECT_EQ(tb.Bytes[r.bytes.size() + 1], 0xFF) << r.name;
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MemoryFile, MoreThan496BytesAreCut)
{
    std::string text = "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n";
    for (int i = 0; i < 496; ++i)
        text += "&H" + core::ByteToHex2(static_cast<unsigned>(i)) + "\r\n";
    text += "&H77\r\nnot a byte\r\n";  // past the image: not read
    TedsBuf tb;
    ASSERT_TRUE(core::LoadMemoryFile(tb, file(text)));
    EXPECT_EQ(tb.Bytes.size(), 497u);
    EXPECT_EQ(tb.Bytes[496], 495 % 256);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MemoryFile, BadFilesLeaveTheImageUnchanged)
{
    struct Row {
        const char* name;
        const char* text;
        const char* message;  // start of the message
    };
    const Row rows[] = {
        {"unknown first line", "Memory Fileformat 1.3\r\n&H01\r\n", "Unknown fileformat"},
        {"empty file", "", "Unknown fileformat"},
        {"lower-case prefix", "&h01\r\n", "Unknown fileformat"},
        {"letters", "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n&H01\r\n&H1G\r\n", "Error in Sub 'LoadMemoryFile'"},
        {"too big", "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n256\r\n", "Error in Sub 'LoadMemoryFile'"},
        {"fraction", "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n1.5\r\n", "Error in Sub 'LoadMemoryFile'"},
        {"empty item", "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n1,,2\r\n", "Error in Sub 'LoadMemoryFile'"},
        {"bad flag", "Memory Fileformat 1.0\r\nyes\r\n0\r\n&H01\r\n", "Error in Sub 'LoadMemoryFile'"},
        {"header cut short", "Memory Fileformat 1.2\r\nID\r\n", "Error in Sub 'LoadMemoryFile'"},
    };
    for (const Row& r : rows) {
        TedsBuf tb = previous();
        EXPECT_FALSE(core::LoadMemoryFile(tb, file(r.text))) << r.name;
        expectUnchanged(tb);
        ASSERT_EQ(box.shown.size(), 1u) << r.name;
        EXPECT_EQ(box.shown[0].prompt.rfind(r.message, 0), 0u) << r.name << ": " << box.shown[0].prompt;
        EXPECT_EQ(box.shown[0].title, "");
        box.clear();
    }
    TedsBuf tb = previous();
    EXPECT_FALSE(core::LoadMemoryFile(tb, dir / "missing.tds"));
    expectUnchanged(tb);
    EXPECT_EQ(box.shown.size(), 1u);
}

// What one load does in a child process: the load's result, the messages shown and how
// far the load raised the process's peak memory (a fresh child starts at the parent's
// present size, so earlier tests do not hide a rise).
struct LoadInChild {
    bool loaded = true;
    int messages = -1;
    long peakRiseKiB = -1;
    bool unchanged = false;
};

static LoadInChild loadInChild(platform::ScriptedMessageBox& box, const std::filesystem::path& path,
                        const std::function<TedsBuf()>& start, const std::function<bool(const TedsBuf&)>& same)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        TedsBuf tb = start();
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        LoadInChild r;
        r.loaded = core::LoadMemoryFile(tb, path);
        getrusage(RUSAGE_SELF, &after);
        r.messages = static_cast<int>(box.shown.size());
        r.peakRiseKiB = after.ru_maxrss - before.ru_maxrss;
        r.unchanged = same(tb);
        const ssize_t n = write(fds[1], &r, sizeof r);
        _exit(n == sizeof r ? 0 : 1);
    }
    close(fds[1]);
    LoadInChild r;
    const ssize_t n = read(fds[0], &r, sizeof r);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n != sizeof r || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return r;
}

TEST_F(MemoryFile, FilesLargerThanAMemoryFileAreRefusedUnread)
{
    // A valid file of 60 MB: the header and ten million byte lines.
    const auto valid = dir / "valid-60MB.tds";
    {
        std::ofstream out(valid, std::ios::binary);
        out << "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n";
        std::string block;
        for (int i = 0; i < 100000; ++i)
            block += "&HFF\r\n";
        for (int i = 0; i < 100; ++i)
            out << block;
        ASSERT_TRUE(out.good());
    }
    ASSERT_GE(std::filesystem::file_size(valid), 60'000'000u);
    // 64 MiB without a line end (a hole after "&H").
    const auto endless = dir / "one-line-64MiB.tds";
    dir.write("one-line-64MiB.tds", "&H");
    std::filesystem::resize_file(endless, 64u << 20);

    const auto start = [] { return previous(); };
    const auto same = [](const TedsBuf& tb) {
        const TedsBuf p = previous();
        return tb.Bytes == p.Bytes && tb.Bits == p.Bits && tb.Size == p.Size && tb.id == p.id && tb.ReadOK;
    };
    for (const auto& path : {valid, endless, std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(path.string());
        const LoadInChild r = loadInChild(box, path, start, same);
        EXPECT_FALSE(r.loaded);
        EXPECT_TRUE(r.unchanged);
        EXPECT_EQ(r.messages, 1);
        EXPECT_GE(r.peakRiseKiB, 0);
        EXPECT_LT(r.peakRiseKiB, 10 * 1024);
    }
    // The message names the file and says nothing was loaded.
    TedsBuf tb = previous();
    EXPECT_FALSE(core::LoadMemoryFile(tb, endless));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              endless.string() + " is no TEDS memory file: it holds more than 16384 bytes. Nothing was loaded.");
}

TEST_F(MemoryFile, TheSizeBoundLeavesRoomBeyondTheBytes)
{
    // Up to 16 KiB loads (values past the 496th are not read); one byte more does not.
    std::string text = "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n";
    for (int i = 0; i < 496; ++i)
        text += "  255 \r\n";
    text.resize(16 * 1024, '\n');
    TedsBuf tb;
    ASSERT_TRUE(core::LoadMemoryFile(tb, file(text)));
    EXPECT_EQ(tb.Bytes[496], 255);
    EXPECT_TRUE(box.shown.empty());
    tb = previous();
    EXPECT_FALSE(core::LoadMemoryFile(tb, file(text + "\n")));
    expectUnchanged(tb);
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MemoryFile, UnknownFormatMessageIsPlain)
{
    TedsBuf tb = previous();
    core::LoadMemoryFile(tb, file("hello\r\n"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Unknown fileformat");
    EXPECT_EQ(box.shown[0].buttons, 0);
}

TEST_F(MemoryFile, LoadsTheBridgeSensorFixture)
{
    TedsBuf tb;
    ASSERT_TRUE(core::LoadMemoryFile(tb, testing_support::fixturesDir() / "teds" / "bridge-ds2431.tds"));
    core::BytesToBits(tb);
    EXPECT_EQ(tb.id, "190000005CA6572D");
    EXPECT_FALSE(tb.DraftLayout);
    EXPECT_EQ(tb.Bytes[1], 0x1F);
    EXPECT_EQ(tb.Bytes[32], 0xC1);  // page 1 begins after 31 bytes of page 0
    EXPECT_EQ(tb.Bytes[34], 0xC3);
    EXPECT_EQ(tb.Bytes[40], 0xE0);
    EXPECT_EQ(tb.Bytes[41], 0x00);
    EXPECT_EQ(tb.Bytes[124], 0x00);
    EXPECT_EQ(tb.Bytes[125], 0xFF);
}

TEST_F(MemoryFile, ValidationGateRefusesTheSave)
{
    FailingGate gate;
    core::setSaveValidationGate(&gate);
    const auto path = dir / "refused.tds";
    EXPECT_FALSE(core::SaveMemoryFile(image(124), path));
    EXPECT_EQ(gate.calls, 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Validation of files failed, please validate, and try again");
    EXPECT_EQ(box.shown[0].buttons, 0);
}

TEST_F(MemoryFile, WriteFailureIsReported)
{
    EXPECT_FALSE(core::SaveMemoryFile(image(8), dir / "no-such-folder" / "x.tds"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error in Sub 'SaveMemoryFile'", 0), 0u);
}

TEST_F(MemoryFile, FailedReplaceKeepsTheOldFile)
{
    const auto path = dir.write("keep.tds", "old");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool saved = core::SaveMemoryFile(image(8), path);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    if (saved)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(testing_support::readAll(path), "old");
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MemoryFile, FailedRenameLeavesTheTargetAndNoTemporaryFile)
{
    // A non-empty folder in the way cannot be replaced, whatever the rights of the test.
    const auto path = dir / "busy.tds";
    std::filesystem::create_directory(path);
    dir.write("busy.tds/inside", "old");
    EXPECT_FALSE(core::SaveMemoryFile(image(8), path));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error in Sub 'SaveMemoryFile'", 0), 0u);
    EXPECT_EQ(testing_support::readAll(path / "inside"), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

namespace {
TedsBuf dumpImage()
{
    TedsBuf tb;
    tb.dimension(24);
    for (int i = 1; i <= 24; ++i)
        tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    core::BytesToBits(tb);
    return tb;
}
} // namespace

TEST_F(MemoryFile, DumpWithoutRom)
{
    const TedsBuf tb = dumpImage();
    EXPECT_EQ(core::memoryDump("Title", tb, 8, false), "Title\r\n\r\nMemory data (LSB first):\r\n[8 bit Crc]  10000000");
    const std::string text = core::memoryDump("T", tb, 128, false);
    const auto lines = core::splitLines(text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "[8 bit Crc]  10000000  01000000  11000000  00100000  10100000  01100000  11100000");
    EXPECT_EQ(lines[4], "00010000  10010000  01010000  11010000  00110000  10110000  01110000  11110000");
    EXPECT_EQ(lines[5], "00001000");
}

TEST_F(MemoryFile, DumpWithRom)
{
    const TedsBuf tb = dumpImage();
    const std::string text = core::memoryDump("T", tb, 192, true);
    const auto lines = core::splitLines(text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "T");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Rom data (64 bit, LSB first):");
    EXPECT_EQ(lines[3], "10000000  01000000  11000000  00100000  10100000  01100000  11100000  00010000");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Memory data (8 bit Crc + 128 bit data, LSB first):");
    EXPECT_EQ(lines[6], "[8 bit Crc]  10010000  01010000  11010000  00110000  10110000  01110000  11110000");
    EXPECT_EQ(lines[7], "00001000  10001000  01001000  11001000  00101000  10101000  01101000  11101000");
    EXPECT_EQ(lines[8], "00011000");
}

TEST_F(MemoryFile, DumpPrintsNothingPastTheImage)
{
    TedsBuf tb;
    tb.dimension(1);
    tb.Bytes[1] = 0xFF;
    core::BytesToBits(tb);
    EXPECT_EQ(core::memoryDump("T", tb, 24, false), "T\r\n\r\nMemory data (LSB first):\r\n[8 bit Crc]  11111111    ");
}

TEST_F(MemoryFile, DumpIsShownAndTraced)
{
    core::MemoryTrace trace;
    core::ScopedTrace st(trace, true);
    const TedsBuf tb = dumpImage();
    core::MemoryDumpText("Node", tb, 8, false);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, core::memoryDump("Node", tb, 8, false));
    EXPECT_EQ(box.shown[0].buttons, 0);
    EXPECT_EQ(box.shown[0].title, "");
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], box.shown[0].prompt);
}
