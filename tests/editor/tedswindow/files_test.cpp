// TEDS windows and memory files: save and read again for each memory family, the
// dialogs' folder setting and names, Cancel paths, and every refusal of a file leaving
// the window's TEDS as it was.

#include "tedsfixture.h"

#include "core/base/settings.h"
#include "core/teds/bitfields.h"
#include "core/teds/memoryfile.h"
#include "tests/support/documenttext.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/scripteddialogs.h"

#include "editor/report/tedsreport.h"
#include "platform/qt/cp1252.h"

#include <QLineEdit>

#include <algorithm>
#include <cstdio>

namespace {

using namespace teds_test;

std::vector<std::string> fileLines(const std::filesystem::path& p)
{
    std::vector<std::string> out;
    const std::string s = testing_support::readAll(p);
    std::size_t at = 0;
    while (at < s.size()) {
        const auto end = s.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back(s.substr(at));
            break;
        }
        out.push_back(s.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// The File menu as the program registers it.
struct FileMenu final : editor::StandInTedsNeighbours {
    void fileMenu(int item, editor::TedsF& w) override { editor::runFileMenu(item, w); }
};

class TedsFiles : public TedsWindowTest {
protected:
    TedsFiles()
    {
        editor::setTedsNeighbours(&fileMenu);
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        loadDemo();
        scan();
        box.clear();
    }
    editor::TedsF& shared() { return factory.shared(); }
    std::string folderSetting()
    {
        std::string v;
        core::Inifile_Read_String_Value(core::coreState().IniPath, "TEDS file dir", v);
        return v;
    }
    std::vector<std::uint8_t> bytesOf(const editor::TedsF& w)
    {
        return {w.doc.TedsBuf.Bytes.begin() + 1, w.doc.TedsBuf.Bytes.begin() + 1 + w.doc.TedsBuf.Size};
    }

    FileMenu fileMenu;
    testing_support::TempDir dir;
    testing_support::ScriptedFileDialogs dialogs;
};

TEST_F(TedsFiles, SavedTedsReadsBackForEveryFamily)
{
    ASSERT_NE(window(kApp), nullptr);
    addOlderLayoutTemplate(static_cast<int>(core::Bits2Val(window(kApp)->doc.TedsBuf, 0, 14).low64()));
    // The DS2430A holds a TEDS of the older layout.
    struct Case { const char* id; int size; const char* layout; };
    for (const Case c : {Case{kSwitch, 124, "IEEE 1451.4"}, Case{kApp, 31, "IEEE P1451.4"},
                         Case{k4k, 496, "IEEE 1451.4"}, Case{k1k, 124, "IEEE 1451.4"}}) {
        SCOPED_TRACE(c.id);
        editor::TedsF* w = window(c.id);
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(w->doc.TedsBuf.Size, c.size);
        const auto path = dir / (std::string(c.id) + ".tds");
        dialogs.choose(dir / c.id);  // the dialog adds ".tds"
        w->mnuFile_Click(1);  // "Save TEDS as"
        ASSERT_TRUE(std::filesystem::exists(path));
        const auto lines = fileLines(path);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.size + 3));
        EXPECT_EQ(lines[0], "Memory Fileformat 1.2");
        EXPECT_EQ(lines[1], c.id);
        EXPECT_EQ(lines[2], c.layout);
        EXPECT_EQ(lines[3], "&H" + core::ByteToHex2(w->doc.TedsBuf.Bytes[1]));
        EXPECT_EQ(w->FileName, c.id);

        // Into the default window, which belongs to no node.
        dialogs.choose(path);
        ASSERT_TRUE(shared().Open_file(shared(), true));
        EXPECT_TRUE(core::coreState().TedsF_loaded);
        EXPECT_EQ(shared().doc.TedsBuf.id, c.id);
        EXPECT_EQ(shared().doc.TedsBuf.DraftLayout, w->doc.TedsBuf.DraftLayout);
        const auto loaded = shared().doc.TedsBuf.Bytes;
        for (int i = 1; i <= c.size; ++i)
            ASSERT_EQ(loaded[static_cast<std::size_t>(i)], w->doc.TedsBuf.Bytes[static_cast<std::size_t>(i)]) << i;
        EXPECT_TRUE(box.prompts().empty()) << box.prompts().front();
        EXPECT_EQ(dialogs.requests.back().title, "Tedsmith - Read TEDS");
    }
}

TEST_F(TedsFiles, DialogsKeepTheFolderAndCutTheShortName)
{
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    // No setting yet: the dialog keeps its own initial folder.
    dialogs.cancel();
    w->SaveTedsFile();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].initialDir, "");
    EXPECT_EQ(dialogs.requests[0].fileName, kSwitch);  // proposes the node id
    EXPECT_EQ(dialogs.requests[0].title, "Tedsmith - Save File");
    EXPECT_EQ(dialogs.requests[0].filter, "TEDS files(*.tds)|*.tds|All files|*.*");
    EXPECT_EQ(dialogs.requests[0].kind, platform::FileDialogKind::Save);
    EXPECT_FALSE(std::filesystem::exists(dir / (std::string(kSwitch) + ".tds")));
    EXPECT_EQ(folderSetting(), "");

    std::filesystem::create_directory(dir / "data");
    dialogs.choose(dir / "data" / "abc.old.tds");
    w->SaveTedsFile();
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "abc.old.tds"));
    EXPECT_EQ(w->FileName, "abc");
    EXPECT_EQ(folderSetting(), (dir / "data").string() + "/");

    // The next dialog starts there and proposes the last short name.
    dialogs.cancel();
    w->SaveTedsFile();
    EXPECT_EQ(dialogs.requests.back().initialDir, (dir / "data").string() + "/");
    EXPECT_EQ(dialogs.requests.back().fileName, "abc");
}

TEST_F(TedsFiles, JobIntakeStopsWhileADialogIsOpen)
{
    editor::TedsF* w = window(kSwitch);
    std::vector<bool> enabled;
    dialogs.onShow = [&](const platform::FileDialogRequest&) { enabled.push_back(shell::jobQueue().JobsEnabled()); };
    dialogs.cancel();
    w->SaveTedsFile();
    dialogs.fail("disk on fire");
    w->Open_file(*w, false);
    EXPECT_EQ(enabled, (std::vector<bool>{false, false}));
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    // Only the dialog's own failure is told; then the linked window's notice.
    ASSERT_GE(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Read TEDS error: disk on fire");
    EXPECT_EQ(box.shown[0].buttons, 4112);
}

TEST_F(TedsFiles, ReplacingAFileIsAsked)
{
    editor::TedsF* w = window(kSwitch);
    const auto path = dir / "old.tds";
    testing_support::TempDir other;
    (void)other;
    dir.write("old.tds", "keep me");
    dialogs.choose(path);
    box.queue(platform::MsgNo);
    w->SaveTedsFile();
    EXPECT_EQ(testing_support::readAll(path), "keep me");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_NE(box.shown[0].prompt.find("already exists"), std::string::npos);

    dialogs.choose(path);
    box.queue(platform::MsgYes);
    w->SaveTedsFile();
    EXPECT_EQ(fileLines(path)[0], "Memory Fileformat 1.2");
}

TEST_F(TedsFiles, CancelInALinkedWindowTellsAndKeepsTheNodeId)
{
    editor::TedsF* w = window(kSwitch);
    const auto before = w->doc.TedsBuf.Bytes;
    dialogs.cancel();
    EXPECT_FALSE(w->Open_file(*w, false));
    EXPECT_EQ(dialogs.requests.back().fileName, std::string(kSwitch) + ".tds");
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Node ID will be changed to actual Node ID.\r\n\r\n"
                                                      "To program device, click \"Write node\" in \"Node\" menu."});
    EXPECT_EQ(w->doc.NodeIdText, kSwitch);
    EXPECT_EQ(w->doc.TedsBuf.Bytes, before);
    EXPECT_FALSE(w->doc.TedsChanged);

    // The default window says nothing.
    box.clear();
    dialogs.cancel();
    EXPECT_FALSE(shared().Open_file(shared(), true));
    EXPECT_TRUE(box.prompts().empty());
    EXPECT_FALSE(core::coreState().TedsF_loaded);
}

TEST_F(TedsFiles, LoadedFileKeepsTheWindowsNode)
{
    editor::TedsF* w = window(k1k);  // a DS2431 holding a node list
    ASSERT_NE(w, nullptr);
    dialogs.choose(testing_support::dataDir() / "demo-bridge.tds");
    w->mnuFile_Click(0);  // "Read TEDS"
    EXPECT_EQ(w->doc.display, editor::Display::Grid);
    EXPECT_EQ(w->doc.TedsBuf.Size, 124);
    EXPECT_TRUE(w->doc.TedsChanged);
    EXPECT_TRUE(w->hasUnwrittenChanges());
    EXPECT_EQ(w->doc.NodeIdText, k1k);  // the node's id, written with "Write node"
    EXPECT_EQ(w->LbL_RS->text().toStdString(), k1k);
    EXPECT_EQ(box.prompts().size(), 1u);
}

TEST_F(TedsFiles, LockedApplicationRegisterKeepsTheBasicTeds)
{
    // The accelerometer's TEDS fits a DS2430A; a second file differs in its serial number.
    core::TedsBuf accel = window(k4k)->doc.TedsBuf;
    accel.Size = 39;
    ASSERT_TRUE(core::SaveMemoryFile(accel, dir / "accel.tds"));
    core::Val2Bits(12345, 40, 24, accel);
    ASSERT_TRUE(core::SaveMemoryFile(accel, dir / "accel2.tds"));
    net->clearNodes();
    shell::resetNodesState();
    shell::collectDeferred();
    load("node 14:000000000201\ntds accel.tds\nlocked\n", dir.path());
    scan();
    const std::string id = platform::sim::RomCode::make(0x14, 0x201).nodeId();
    editor::TedsF* w = window(id);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->AppRomLocked);
    ASSERT_TRUE(w->doc.TedsShown);
    std::vector<std::string> basic;
    for (int k = 0; k < 5; ++k)
        basic.push_back(w->doc.rows[static_cast<std::size_t>(k)].value);
    box.clear();

    dialogs.choose(dir / "accel2.tds");
    w->mnuFile_Click(0);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{
                                 "Basic TEDS data in application ROM can not be changed !\r\n"
                                 "Click OK, to change back to old application ROM data.\r\n"
                                 "Node ID will also be changed to actual Node ID.\r\n\r\n"
                                 "To program device, click \"Write node\" in \"Node\" menu."});
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, basic[static_cast<std::size_t>(k)]) << k;
        EXPECT_EQ(w->Col2[k]->text().toStdString(), basic[static_cast<std::size_t>(k)]) << k;
    }
    EXPECT_TRUE(w->doc.TedsChanged);
    EXPECT_EQ(w->doc.NodeIdText, id);
    // The next encoding pass puts the node's serial number back into the bits.
    w->doc.updatebuf();
    EXPECT_NE(core::Bits2Val(w->doc.TedsBuf, 40, 24).low64(), 12345u);
}

TEST_F(TedsFiles, RefusedFilesLeaveTheTedsAsItWas)
{
    editor::TedsF* w = window(kApp);  // a DS2430A with a TEDS of the older layout: 31 bytes
    ASSERT_NE(w, nullptr);
    const auto bytes = w->doc.TedsBuf.Bytes;
    const auto title = w->doc.Title;
    const int tmpl = w->ActualTemplate();
    const auto rows = w->doc.rows;
    auto unchanged = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(w->doc.TedsBuf.Bytes, bytes);
        EXPECT_EQ(w->doc.TedsBuf.id, kApp);
        EXPECT_EQ(w->doc.TedsBuf.Size, 31);
        EXPECT_EQ(w->doc.Title, title);
        EXPECT_EQ(w->ActualTemplate(), tmpl);
        EXPECT_EQ(w->TitleBox->text().toStdString(), title);
        for (int k = 0; k < editor::kRowCount; ++k)
            EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, rows[static_cast<std::size_t>(k)].value) << k;
        EXPECT_FALSE(w->doc.TedsChanged);
    };
    dir.write("garbage.tds", "Hello\r\n&H01\r\n");
    dialogs.choose(dir / "garbage.tds");
    EXPECT_FALSE(w->Open_file(*w, false));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Unknown fileformat"});
    unchanged("unknown format");

    // Manufacturer 0 and nothing else: no template has it.
    std::string zero = "Memory Fileformat 1.2\r\n0000000000000000\r\nIEEE 1451.4\r\n";
    for (int i = 0; i < 39; ++i)
        zero += "&H00\r\n";
    dir.write("zero.tds", zero);
    box.clear();
    dialogs.choose(dir / "zero.tds");
    EXPECT_FALSE(w->Open_file(*w, false));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Template unknown"});
    unchanged("unknown template");

    // The bridge sensor's TEDS needs more than the DS2430A's 31 bytes.
    box.clear();
    dialogs.choose(testing_support::dataDir() / "demo-bridge.tds");
    EXPECT_FALSE(w->Open_file(*w, false));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Requested TEDS too large for this node - no change made"});
    unchanged("too large");

    // A file larger than any memory file (60 MB, most of it a hole): refused unread.
    box.clear();
    const auto big = dir.write("big.tds", "Memory Fileformat 1.2\r\nID\r\nIEEE 1451.4\r\n");
    std::filesystem::resize_file(big, 60'000'000);
    dialogs.choose(big);
    EXPECT_FALSE(w->Open_file(*w, false));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{big.string() + " is no TEDS memory file: it holds more than "
                                                                      "16384 bytes. Nothing was loaded."});
    unchanged("larger than a memory file");
}

} // namespace

namespace {

// The report's lines (Windows-1252, or UTF-8), empty ones left out.
std::vector<std::string> reportLines(editor::TedsF& w, bool utf8 = false)
{
    w.BuildTedsReport();
    std::vector<std::string> out;
    const QString text = platform::fromCp1252(w.RichTextBox1.text());
    for (const QString& l : text.split("\r\n"))
        if (!l.trimmed().isEmpty())
            out.push_back(utf8 ? l.toStdString() : platform::toCp1252(l));
    w.RichTextBox1.clear();
    return out;
}

// Every line found in text, in order (blanks and tabs around and inside counted as one
// blank, as converters lay tabs out).
void expectInOrder(const std::string& text, const std::vector<std::string>& lines)
{
    auto squeeze = [](const std::string& s) {
        std::string out;
        for (char c : s) {
            const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
            if (blank) {
                if (!out.empty() && out.back() != ' ')
                    out += ' ';
            } else {
                out += c;
            }
        }
        return out;
    };
    const std::string all = squeeze(text);
    std::size_t at = 0;
    for (const auto& l : lines) {
        const std::string want = squeeze(l);
        const auto found = all.find(want, at);
        ASSERT_NE(found, std::string::npos) << "missing in order: " << want << "\n--- text ---\n" << all;
        at = found + want.size();
    }
}

} // namespace

namespace {

using namespace teds_test;

class TedsReportFiles : public TedsFiles {
protected:
    TedsReportFiles() { editor::setReportClock([] { return QDateTime(QDate(2026, 3, 7), QTime(9, 5, 3)); }); }
    ~TedsReportFiles() override { editor::setReportClock(nullptr); }
    testing_support::ScriptedPrinter printer;
};

TEST_F(TedsReportFiles, RtfDocumentOpensInAnRtfReader)
{
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    const auto lines = reportLines(*w);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "TEDS printed: Mar 7, 2026 09:05:03"), lines.end());

    dialogs.choose(dir / "report");  // the dialog adds ".rtf"
    w->mnuFile_Click(4);             // "Save TEDS as rtf document"
    const auto path = dir / (std::string("report.rtf"));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(dialogs.requests.back().title, "Tedsmith - Save TEDS as RTF document");
    EXPECT_EQ(dialogs.requests.back().fileName, kSwitch);
    EXPECT_EQ(w->FileName, "report");
    EXPECT_TRUE(w->RichTextBox1.text().empty());
    const std::string rtf = testing_support::readAll(path);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    // Every line ends in CR LF; the micro sign and the superscript two are escaped.
    for (std::size_t i = rtf.find('\n'); i != std::string::npos; i = rtf.find('\n', i + 1))
        ASSERT_EQ(rtf[i - 1], '\r') << i;
    EXPECT_NE(rtf.find("\\'b2"), std::string::npos);
    // The abstract's tab at 1 cm; the value columns follow the texts (reportpaper_test).
    EXPECT_NE(rtf.find("\\tx566"), std::string::npos);

    // unrtf writes the text in Windows-1252.
    const std::string text = testing_support::runCommand("unrtf --text '" + path.string() + "' 2>/dev/null");
    ASSERT_FALSE(text.empty()) << "unrtf gave nothing";
    expectInOrder(text, lines);

    // Cancel: no file, the box emptied, no message.
    box.clear();
    dialogs.cancel();
    w->SaveTedsRtf();
    EXPECT_TRUE(w->RichTextBox1.text().empty());
    EXPECT_TRUE(box.prompts().empty());
}

TEST_F(TedsReportFiles, PrintedPageHoldsTheReport)
{
    editor::TedsF* w = window(kSwitch);
    ASSERT_NE(w, nullptr);
    const auto lines = reportLines(*w, true);
    std::vector<bool> intake;
    printer.onShow = [&] { intake.push_back(shell::jobQueue().JobsEnabled()); };
    printer.printTo(dir / "report.pdf");
    w->mnuFile_Click(3);  // "Print TEDS"
    EXPECT_EQ(printer.titles, std::vector<std::string>{"Tedsmith - Print TEDS"});
    EXPECT_EQ(intake, std::vector<bool>{false});
    EXPECT_TRUE(shell::jobQueue().JobsEnabled());
    ASSERT_TRUE(std::filesystem::exists(dir / "report.pdf"));
    EXPECT_TRUE(w->RichTextBox1.text().empty());
    const std::string text = testing_support::pdfLayoutText(dir / "report.pdf");
    ASSERT_FALSE(text.empty()) << "pdftotext gave nothing";
    expectInOrder(text, lines);
    EXPECT_TRUE(box.prompts().empty());

    // Cancel says nothing and keeps the report in the box; a failure is told.
    printer.cancel();
    w->PrintTeds();
    EXPECT_TRUE(box.prompts().empty());
    EXPECT_FALSE(w->RichTextBox1.text().empty());
    printer.fail("no paper");
    w->PrintTeds();
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Print TEDS error: no paper"});
}

} // namespace
