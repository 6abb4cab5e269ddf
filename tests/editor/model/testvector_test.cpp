// The public bridge-sensor TEDS (DS2431, template 33), unpacked from its pages as a node
// read leaves it, matched and shown row by row; a pass without edits keeps every byte,
// and an edit reaches the page image and the memory file.

#include "core/teds/memoryfile.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "tests/editor/model/doctestenv.h"

#include <cmath>
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

namespace {

// Decimals a fixed number pattern shows ("0.00" 2, "0" 0); -1 for other patterns.
int fixedDecimals(const std::string& format)
{
    if (format.empty() || format.find_first_not_of("0.") != std::string::npos)
        return -1;
    const auto dot = format.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(format.size() - dot - 1);
}

using LibraryRetype = doctest::DocTest;

} // namespace

// Every code of every coded number field of the shipped library whose display is at
// least as fine as the field's step ("r" patterns take their decimals from it): the
// shown text typed back gives the same code. Units that begin with a prefix letter
// ("mm\xB2", "m/s\xB2") are the case this guards.
TEST_F(LibraryRetype, ShownCodesTypeBack)
{
    loadLibrary();
    const auto& st = core::tdlState();
    int fields = 0;
    for (int t = 0; t <= st.TemplateLast; ++t) {
        const auto& rec = st.Templates[static_cast<std::size_t>(t)];
        for (int k = 0; k <= rec.fieldLast; ++k) {
            const auto& f = rec.fields[static_cast<std::size_t>(k)];
            const bool relative = f.typeKeyword == "CONRELRES";
            if (!relative && f.typeKeyword != "CONRES")
                continue;
            const int decimals = fixedDecimals(f.format);
            const bool fineEnough = (!f.format.empty() && f.format[0] == 'r') ||
                                    (!relative && decimals >= 0 && std::pow(10.0, -decimals) <= f.p2 * (1 + 1e-9));
            if (!fineEnough)
                continue;
            ++fields;
            SCOPED_TRACE(rec.name + " / " + f.title);
            const std::uint64_t last = (std::uint64_t{1} << f.bitCount) - 2;
            const std::uint64_t stride = std::max<std::uint64_t>(1, last / 1024);
            int bad = 0;
            for (std::uint64_t code = 0; code <= last && bad < 3; code += stride) {
                doc = editor::TedsDocument{};
                doc.TedsBuf.dimension(496);
                core::Val2Bits(static_cast<double>(code), f.bitAddress, f.bitCount, doc.TedsBuf);
                doc.setActualTemplate(t);
                doc.TedsManufacturerId = 31;
                doc.ShowForm();
                const std::string shown = doc.rows[static_cast<std::size_t>(k)].value;
                doc.rows[static_cast<std::size_t>(k)].hasDecoded = false;  // typed again
                doc.updatebuf();
                const auto back = core::Bits2Val(doc.TedsBuf, f.bitAddress, f.bitCount).low64();
                if (back != code) {
                    ++bad;
                    ADD_FAILURE() << "'" << shown << "' code " << code << " typed back as " << back;
                }
            }
        }
    }
    EXPECT_GT(fields, 0);
    EXPECT_TRUE(box.shown.empty());
}
