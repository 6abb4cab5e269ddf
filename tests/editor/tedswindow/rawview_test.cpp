// The raw memory view: its header per device and layout, the dump it shows, and where
// it takes the TEDS from.

#include "tedsfixture.h"

#include "editor/tedswindow/memorytexts.h"

namespace {

using namespace teds_test;

TEST(RawViewHeader, PerDeviceAndLayout)
{
    struct Row { int family; bool older; bool locked; const char* first; const char* last; int bits; bool rom; };
    const Row rows[] = {
        {0x14, true, false, "TEDS Device = DS2430 (Application ROM not used)",
         "Next 248 bit data shown (256 bit including the 8 bit Crc):", 248, false},
        {0x14, false, true, " TEDS Device = DS2430 (Application ROM locked)",
         "All 312 bit data shown (320 bit including the 8 bit Crc):", 312, true},
        {0x14, false, false, " TEDS Device = DS2430 (Application ROM locked)",
         "All 312 bit data shown (320 bit including the 8 bit Crc):", 312, false},
        {0x12, false, false, "TEDS Device = DS2406 (Dual Addressable Switch + 1kbit ROM)",
         "First 312 bit data shown (320 bit including the 8 bit Crc):", 312, false},
        {0x23, false, false, "TEDS Device = DS2433 (4kbit memory)",
         "First 312 bit data shown (320 bit including the 8 bit Crc):", 312, false},
        {0x2D, true, false, "TEDS Device = DS2431 (1kbit memory)", "Next 248 bit data shown (256 bit including the 8 bit Crc):",
         248, false},
        {0x99, false, false, "TEDS Device = Unknown", "First 312 bit data shown (320 bit including the 8 bit Crc):", 312, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.first);
        const auto h = editor::rawViewHeader(r.family, r.older, r.locked);
        EXPECT_EQ(h.text.rfind(r.first, 0), 0u) << h.text;
        EXPECT_EQ(h.text.substr(h.text.size() - std::string(r.last).size()), r.last);
        EXPECT_NE(h.text.find("\r\n\r\n\r\n"), std::string::npos);
        EXPECT_EQ(h.bitCount, r.bits);
        EXPECT_EQ(h.withRom, r.rom);
    }
    // The older layout of any other device skips the first 64 bits.
    EXPECT_NE(editor::rawViewHeader(0x23, true, false).text.find("First 64 bit skipped (they are all high).\r\n"),
              std::string::npos);
}

TEST(MemoryTexts, StatesSizesAndNames)
{
    EXPECT_EQ(editor::bufferStateText(3), "Read ok");
    EXPECT_EQ(editor::bufferStateText(4), "CRC error");
    EXPECT_EQ(editor::bufferStateText(7), "unknown state value:7");
    EXPECT_EQ(editor::bufferStateTraceLine(3), "");
    EXPECT_EQ(editor::bufferStateTraceLine(5), "Buffer state: virgin");
    EXPECT_EQ(editor::ByteSize(35, true), 488);
    EXPECT_EQ(editor::ByteSize(16, false), 0);
    EXPECT_EQ(editor::ByteSize(0x14, false), 39);
    EXPECT_EQ(editor::GetFamilyName(0x2D), "DS2431");
    EXPECT_EQ(editor::GetFamilyName(0x10), "Unknown");
    // The window's short names are not the chip names of the family table (DS2430A).
    const std::pair<int, const char*> names[] = {
        {0x12, "DS2406"}, {0x14, "DS2430"}, {0x23, "DS2433"}, {0x09, "Unknown"}, {0x81, "Unknown"}, {0x89, "Unknown"}};
    for (const auto& [family, name] : names)
        EXPECT_EQ(editor::GetFamilyName(family), name) << family;
}

TEST_F(TedsWindowTest, ShowMemoryDataDumpsTheWindowsTedsAndTracesIt)
{
    loadDemo();
    scan();
    editor::TedsF* w = window(k4k);
    ASSERT_NE(w, nullptr);
    box.clear();
    trace.lines.clear();
    w->ShowMemData_Click();
    ASSERT_EQ(box.shown.size(), 1u);
    const std::string& text = box.shown[0].prompt;
    EXPECT_EQ(text.rfind("TEDS Device = DS2433 (4kbit memory)\r\n\r\n\r\nFirst 312 bit data shown", 0), 0u);
    EXPECT_NE(text.find("Memory data (LSB first):"), std::string::npos);
    // Byte 1 of the accelerometer TEDS is 2Bh: 11010100 least significant bit first.
    EXPECT_NE(text.find("11010100"), std::string::npos);
    EXPECT_FALSE(trace.lines.empty());
}

TEST_F(TedsWindowTest, AWindowThatNeverHeldATedsShowsTheLastUnknownOne)
{
    loadDemo();
    scan();
    // The demo DS2430A's TEDS matched no template: it is the last unknown one.
    ASSERT_EQ(editor::editorState().LastTedsBuf.id, kApp);
    editor::TedsF& shared = factory.shared();
    ASSERT_EQ(shared.doc.TedsBuf.Size, 0);
    box.clear();
    shared.ShowUnknownTemplate();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt.rfind("TEDS Device = DS2430 (Application ROM not used)", 0), 0u);
}

} // namespace
