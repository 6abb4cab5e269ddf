// The public bridge-sensor TEDS (DS2431, template 33), unpacked from its pages as a node
// read leaves it, matched and shown row by row; a pass without edits keeps every byte,
// and an edit reaches the page image and the memory file.

#include "core/teds/memoryfile.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "tests/editor/model/doctestenv.h"

#include <sstream>

namespace {

// The node's pages as a read leaves them in the image.
device::MemImage vectorPages()
{
    device::MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.dimension(0);
    std::istringstream in(testing_support::readAll(testing_support::fixturesDir() / "teds" / "bridge-ds2431-pages.hex"));
    std::string line;
    int a = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string hex;
        while (words >> hex)
            mi.Data.at(static_cast<std::size_t>(++a)) = static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16));
    }
    EXPECT_EQ(a, 128);
    mi.ReadOK = true;
    return mi;
}

class TestVector : public doctest::DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        loadLibrary();
        auto mi = vectorPages();
        doc.TedsBuf.Family = device::FamilyDS2431;
        doc.TedsBuf.id = "190000005CA6572D";
        device::Check_And_Decode(mi, doc.TedsBuf);
        ASSERT_EQ(doc.TedsBuf.Status, core::TedsStatusReadOk);
        int t = doc.ActualTemplate();
        ASSERT_TRUE(doc.GetTemplate(t));
        doc.ShowForm();
    }
};

} // namespace

TEST_F(TestVector, MatchesTheBridgeTemplateAndShowsEveryRow)
{
    EXPECT_EQ(doc.ActualTemplate(), templateNamed("IEEE 1451.4 Bridge sensor"));
    EXPECT_EQ(doc.TedsManufacturerId, 31);
    EXPECT_EQ(doc.display, editor::Display::Grid);
    EXPECT_TRUE(doc.TedsShown);
    EXPECT_EQ(doc.Title, "IEEE 1451.4 Bridge sensor");
    EXPECT_EQ(doc.NodeIdText, "190000005CA6572D");
    EXPECT_EQ(doc.CrcCaption, "OK");

    // Reference value -> the text the grid shows for it.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Manufacturer ID", "HBM (Hottinger Baldwin Messtechnik)"},  // 31
        {"Model number", "393"},
        {"Version letter", " "},  // CHR5 blank
        {"Version number", "0"},
        {"Serial number", "0"},
        {"Physical measurand (unit code)", "7"},  // m/s^2
        {"Minimum physical value", "0.000"},
        {"Maximum physical value", "0.000"},
        {"Minimum electrical output", "0.000000V/V"},
        {"Maximum electrical output", "0.000000V/V"},
        {"Bridge type (0 quarter, 1 half, 2 full)", "1"},
        {"Bridge element impedance", "40.0Ohm"},  // 40 ohm
        {"Response time", "1.0\xB5s"},             // 1E-6 s
        {"Excitation level, nominal", "2.5V"},    // 2.5000000000000004
        {"Excitation level, minimum", "1.0V"},
        {"Excitation level, maximum", "6.0V"},
        {"Calibration date", "December 31, 2099"},  // day 37254
        {"Calibration initials", " "},              // three blanks
        {"Calibration period (days)", "0"},
        {"Measurement location ID", "0"},
        {"User data", ""},  // 96 characters of code 0: no text
    };
    ASSERT_EQ(doc.fieldLast() + 1, static_cast<int>(expected.size()));
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(doc.rows[k].caption, expected[k].first) << k;
        EXPECT_EQ(doc.rows[k].value, expected[k].second) << k;
        EXPECT_TRUE(doc.rows[k].visible) << k;
    }
    EXPECT_FALSE(doc.rows[expected.size()].visible);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(TestVector, PassWithoutEditKeepsEveryByte)
{
    const auto before = doc.TedsBuf.Bytes;
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, before);
    // Even typing every shown text again gives the same bytes, but for the user data:
    // its code-0 characters show as no text, and a typed empty text is blanks.
    for (int k = 0; k < 20; ++k)
        doc.rows[static_cast<std::size_t>(k)].hasDecoded = false;
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, before);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(TestVector, TypedValuesGiveTheReferenceCodes)
{
    // 2.5 V is code 24, not 23; 40 ohm code 390; 1 V and 6 V codes 9 and 59.
    doc.commitRow(13, "2.5V");
    doc.commitRow(11, "40");
    doc.commitRow(14, "1");
    doc.commitRow(15, "6.0 V");
    EXPECT_EQ(field(236, 9), 24u);
    EXPECT_EQ(field(212, 18), 390u);
    EXPECT_EQ(field(245, 9), 9u);
    EXPECT_EQ(field(254, 9), 59u);
    EXPECT_EQ(doc.rows[15].value, "6.0V");
}

TEST_F(TestVector, AnEditReachesThePageImageAndTheMemoryFile)
{
    doc.commitRow(18, "365");  // calibration period
    EXPECT_EQ(field(294, 12), 365u);

    device::MemImage mi;
    device::Build_MemImage(doc.TedsBuf, mi);
    core::TedsBuf back;
    back.Family = device::FamilyDS2431;
    mi.ReadOK = true;
    device::Check_And_Decode(mi, back);
    EXPECT_EQ(back.Status, core::TedsStatusReadOk);
    EXPECT_EQ(core::Bits2Val(back, 294, 12).low64(), 365u);

    const auto path = dir / "bridge.tds";
    ASSERT_TRUE(core::SaveMemoryFile(doc.TedsBuf, path));
    core::TedsBuf loaded;
    ASSERT_TRUE(core::LoadMemoryFile(loaded, path));
    EXPECT_EQ(core::Bits2Val(loaded, 294, 12).low64(), 365u);
}
