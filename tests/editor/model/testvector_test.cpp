// The public bridge-sensor TEDS (DS2431, template 33), unpacked from its pages as a node
// read leaves it, matched and shown row by row; a pass without edits keeps every byte,
// and an edit reaches the page image and the memory file.

#include "core/teds/memoryfile.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "tests/editor/model/doctestenv.h"

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

// The node's pages as a read leaves them in the image.
device::MemImage vectorPages()
{
    device::MemImage mi;
    mi.Pages = 4;
    mi.PageSize = 32;
    mi.dimension(0);
    const auto bytes = testing_support::readHexBytes(testing_support::fixturesDir() / "teds" / "bridge-ds2431-pages.hex");
    EXPECT_EQ(bytes.size(), 128u);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        mi.Data.at(i + 1) = bytes[i];
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
    EXPECT_EQ(doc.ActualTemplate(), templateNamed(doctest::kBridgeTemplate));
    EXPECT_EQ(doc.TedsManufacturerId, 31);
    EXPECT_EQ(doc.display, editor::Display::Grid);
    EXPECT_TRUE(doc.TedsShown);
    EXPECT_EQ(doc.Title, doctest::kBridgeTemplate);
    EXPECT_EQ(doc.NodeIdText, "190000005CA6572D");
    EXPECT_EQ(doc.CrcCaption, "OK");

    // Reference value -> the text the grid shows for it. The measurand (code 7, m/s^2)
    // and the precision case (2, single values) are selectors of the template: no rows.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Manufacturer ID", "HBM (Hottinger Baldwin Messtechnik)"},  // 31
        {"Model number", "393"},
        {"Version letter", " "},  // CHR5 blank
        {"Version number", "0"},
        {"Serial number", "0"},
        {"Minimum physical value", "0m/s\xB2"},
        {"Maximum physical value", "0m/s\xB2"},
        {"Minimum electrical output", "0V/V"},
        {"Maximum electrical output", "0V/V"},
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
    const int user = rowOf("User data");
    for (int k = 0; k <= doc.fieldLast(); ++k)
        doc.rows[static_cast<std::size_t>(k)].hasDecoded = k == user;
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, before);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(TestVector, TypedValuesGiveTheReferenceCodes)
{
    // 2.5 V is code 24, not 23; 40 ohm code 390; 1 V and 6 V codes 9 and 59.
    doc.commitRow(rowOf("Excitation level, nominal"), "2.5V");
    doc.commitRow(rowOf("Bridge element impedance"), "40");
    doc.commitRow(rowOf("Excitation level, minimum"), "1");
    doc.commitRow(rowOf("Excitation level, maximum"), "6.0 V");
    EXPECT_EQ(field(236, 9), 24u);
    EXPECT_EQ(field(212, 18), 390u);
    EXPECT_EQ(field(245, 9), 9u);
    EXPECT_EQ(field(254, 9), 59u);
    EXPECT_EQ(doc.rows[static_cast<std::size_t>(rowOf("Excitation level, maximum"))].value, "6.0V");
}

TEST_F(TestVector, AnEditReachesThePageImageAndTheMemoryFile)
{
    doc.commitRow(rowOf("Calibration period (days)"), "365");
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

// What a number field's text depends on: type, width, parameters, display format, unit,
// and the charge-amplifier title rule. The library repeats each such field in many
// templates; one of them stands for all.
using FieldShape = std::tuple<std::string, int, double, double, std::string, std::string, bool>;

struct ShapeSample {
    int templateIndex;
    int field;
};

// One template and field per distinct shape of the types given, in library order.
std::map<FieldShape, ShapeSample> distinctFields(const std::set<std::string>& types)
{
    std::map<FieldShape, ShapeSample> out;
    const auto& st = core::tdlState();
    for (int t = 0; t <= st.TemplateLast; ++t) {
        const auto& rec = st.Templates[static_cast<std::size_t>(t)];
        for (int k = 0; k <= rec.fieldLast; ++k) {
            const auto& f = rec.fields[static_cast<std::size_t>(k)];
            if (types.count(f.typeKeyword) == 0)
                continue;
            const FieldShape shape{f.typeKeyword, f.bitCount, f.p1, f.p2, f.format, f.unit,
                                   rec.name.find("Charge amplifier") != std::string::npos};
            out.emplace(shape, ShapeSample{t, k});
        }
    }
    return out;
}

class LibraryRetype : public doctest::DocTest {
protected:
    // Shows field k of template t holding code, types the shown text again and returns
    // the code the pass stores; shown gets the text.
    std::uint64_t retype(int t, int k, std::uint64_t code, std::string& shown)
    {
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        const auto& f = rec.fields[static_cast<std::size_t>(k)];
        doc = editor::TedsDocument{};
        doc.TedsBuf.dimension((rec.lengthBits + 7) / 8);  // the image the template just fits
        core::Val2Bits(static_cast<double>(code), f.bitAddress, f.bitCount, doc.TedsBuf);
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = 31;
        doc.ShowForm();
        shown = doc.rows[static_cast<std::size_t>(k)].value;
        doc.rows[static_cast<std::size_t>(k)].hasDecoded = false;  // typed again
        doc.updatebuf();
        return core::Bits2Val(doc.TedsBuf, f.bitAddress, f.bitCount).low64();
    }
};

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
    for (const auto& [shape, at] : distinctFields({"CONRES", "CONRELRES"})) {
        const auto& rec = st.Templates[static_cast<std::size_t>(at.templateIndex)];
        const auto& f = rec.fields[static_cast<std::size_t>(at.field)];
        const bool relative = f.typeKeyword == "CONRELRES";
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
            std::string shown;
            const auto back = retype(at.templateIndex, at.field, code, shown);
            if (back != code) {
                ++bad;
                ADD_FAILURE() << "'" << shown << "' code " << code << " typed back as " << back;
            }
        }
    }
    EXPECT_GT(fields, 40);
    EXPECT_TRUE(box.shown.empty());
}

// Every single-precision field of the shipped library (general form, its unit after the
// number): the shown text of a normal single typed back gives the same pattern.
TEST_F(LibraryRetype, ShownSinglesTypeBack)
{
    loadLibrary();
    const auto& st = core::tdlState();
    const std::uint32_t patterns[] = {
        0x00000000u, 0x3F800000u, 0x3DCCCCCDu, 0xBEAAAAABu, 0x3B801132u, 0x00800000u, 0x7F7FFFFFu,
        0xFF7FFFFFu, 0x4B800001u, 0x15AE43FDu, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
    };
    int fields = 0;
    for (const auto& [shape, at] : distinctFields({"SINGLE"})) {
        const auto& rec = st.Templates[static_cast<std::size_t>(at.templateIndex)];
        SCOPED_TRACE(rec.name + " / " + rec.fields[static_cast<std::size_t>(at.field)].title);
        ++fields;
        for (const std::uint32_t p : patterns) {
            std::string shown;
            EXPECT_EQ(retype(at.templateIndex, at.field, p, shown), p) << "'" << shown << "'";
        }
    }
    EXPECT_GT(fields, 40);
    EXPECT_TRUE(box.shown.empty());
}
