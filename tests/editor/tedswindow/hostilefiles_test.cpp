// File > "Read TEDS" of a node's window and of the shared window with files that are no memory
// file: oversized, without line ends, a folder, a pipe, garbage. The window keeps everything it
// showed and held (TEDS, rows, node id, file name, changed flag, its place on screen).

#include "tests/editor/tedswindow/tedsfixture.h"
#include "tests/support/scripteddialogs.h"

#include <QLineEdit>

#include <atomic>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

struct Snapshot {
    std::vector<std::uint8_t> bytes;
    std::string id;
    int size = 0;
    std::vector<std::string> values;
    std::vector<std::string> boxes;
    std::string nodeBox;
    std::string title;
    std::string fileName;
    bool changed = false;
    bool visible = false;
    int templ = -1;

    static Snapshot of(const editor::TedsF& w)
    {
        Snapshot s;
        s.bytes = w.doc.TedsBuf.Bytes;
        s.id = w.doc.TedsBuf.id;
        s.size = w.doc.TedsBuf.Size;
        for (int k = 0; k < editor::kRowCount; ++k) {
            s.values.push_back(w.doc.rows[static_cast<std::size_t>(k)].value);
            s.boxes.push_back(w.Col2[static_cast<std::size_t>(k)]->text().toStdString());
        }
        s.nodeBox = w.LbL_RS->text().toStdString();
        s.title = w.doc.Title;
        s.fileName = w.FileName;
        s.changed = w.doc.TedsChanged;
        s.visible = w.isVisible();
        s.templ = w.ActualTemplate();
        return s;
    }
    void expectSame(const Snapshot& o) const
    {
        EXPECT_EQ(bytes, o.bytes);
        EXPECT_EQ(id, o.id);
        EXPECT_EQ(size, o.size);
        EXPECT_EQ(values, o.values);
        EXPECT_EQ(boxes, o.boxes);
        EXPECT_EQ(nodeBox, o.nodeBox);
        EXPECT_EQ(title, o.title);
        EXPECT_EQ(fileName, o.fileName);
        EXPECT_EQ(changed, o.changed);
        EXPECT_EQ(visible, o.visible);
        EXPECT_EQ(templ, o.templ);
    }
};

class HostileTedsFiles : public teds_test::TedsWindowTest {
protected:
    HostileTedsFiles()
    {
        loadDemo();
        scan();
        fs::create_directory(dir / "folder.tds");
        std::string big = testing_support::readAll(testing_support::dataDir() / "demo-bridge.tds");
        while (big.size() <= 16384)
            big += "&H00\r\n";
        hostile = {dir.write("big.tds", big), dir.write("endless.tds", std::string(40000, 'A')),
                   dir.write("garbage.tds", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), dir / "folder.tds",
                   dir.write("unknown.tds", "Memory Fileformat 9.9\r\n"), dir / "missing.tds"};
    }
    // Reads each hostile file into w; each is refused and w keeps its state.
    void readEach(editor::TedsF& w, bool standAlone)
    {
        for (const auto& p : hostile) {
            SCOPED_TRACE(p.filename().string());
            const Snapshot before = Snapshot::of(w);
            files.choose(p);
            box.clear();
            EXPECT_FALSE(w.Open_file(w, standAlone));
            EXPECT_FALSE(box.shown.empty()) << "refused without a word";
            Snapshot::of(w).expectSame(before);
        }
    }

    TempDir dir;
    testing_support::ScriptedFileDialogs files;
    std::vector<fs::path> hostile;
};

TEST_F(HostileTedsFiles, ANodesWindowKeepsItsTeds)
{
    editor::TedsF* w = window(teds_test::k1k);
    ASSERT_NE(w, nullptr);
    w->Inititiate(index(teds_test::k1k));
    w->reqShow();
    ASSERT_TRUE(w->doc.TedsShown);
    readEach(*w, false);
}

TEST_F(HostileTedsFiles, TheSharedWindowKeepsItsFile)
{
    editor::TedsF& w = factory.shared();
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    ASSERT_TRUE(w.Open_file(w, true));
    ASSERT_TRUE(w.isVisible());
    readEach(w, true);
}

TEST_F(HostileTedsFiles, APipeDoesNotHoldTheWindow)
{
    const fs::path fifo = dir / "pipe.tds";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should the read wait in open(), a writer that opens and closes lets it go on.
    std::atomic<bool> done{false};
    std::thread unblock([&] {
        while (!done) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::yield();
        }
    });
    editor::TedsF& w = factory.shared();
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    ASSERT_TRUE(w.Open_file(w, true));
    const Snapshot before = Snapshot::of(w);
    files.choose(fifo);
    box.clear();
    const bool loaded = w.Open_file(w, true);
    done = true;
    unblock.join();
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(box.shown.empty());
    Snapshot::of(w).expectSame(before);
}

long long statusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(std::string(key).size()));
    return -1;
}

TEST_F(HostileTedsFiles, ALargeFileCostsTheWindowNoMemory)
{
    const fs::path large = dir / "large.tds";
    {
        std::ofstream out(large, std::ios::binary);
        out << testing_support::readAll(testing_support::dataDir() / "demo-bridge.tds");
        const std::string block(1 << 20, '\n');
        for (int i = 0; i < 60; ++i)
            out << block;
    }
    editor::TedsF& w = factory.shared();
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    ASSERT_TRUE(w.Open_file(w, true));
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        if (!reset)
            GTEST_SKIP() << "peak memory cannot be reset here";
    }
    const long long base = statusKb("VmRSS:");
    files.choose(large);
    EXPECT_FALSE(w.Open_file(w, true));
    EXPECT_LT(statusKb("VmHWM:") - base, 10 * 1024);
}

} // namespace
