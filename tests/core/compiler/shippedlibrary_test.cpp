// The standard template library as shipped in data/: every template loads, is found
// again in an empty TEDS made from it, and the public bridge-sensor vector decodes
// through it as published.

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/singlefield.h"
#include "core/lists/listsstate.h"
#include "core/numeric/datevalue.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "core/teds/bitfields.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/tedsdocument.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <span>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// TEDS bytes of the memories a template may sit in: DS2430A, DS2431, DS2433.
constexpr int kTedsBytes[] = {39, 124, 496};
// The same memories in the older (IEEE P1451.4) layout.
constexpr int kDraftTedsBytes[] = {31, 116, 488};

std::uint64_t bits(const core::TedsBuf& tb, int pos, int n) { return core::Bits2Val(tb, pos, n).low64(); }

// The template the TEDS document finds for an image (its GetTemplate): the library index,
// -1 when nothing matches, -2 for a node list.
int documentTemplate(const core::TedsBuf& tb)
{
    editor::TedsDocument doc;
    doc.TedsBuf = tb;
    int index = 0;
    const bool found = doc.GetTemplate(index);
    if (!found)
        return -1;
    return doc.hasLibraryTemplate() ? index : -2;
}

class ShippedLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        core::resetCoreState();
        core::resetTdlState();
        core::resetListsState();
        core::coreState().ProgramFolder = testing_support::dataDir();
        platform::ScriptedMessageBox box;
        platform::ScopedMessageBox scoped{box};
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        messages = box.shown.size();
    }
    static void TearDownTestSuite()
    {
        core::resetTdlState();
        core::resetListsState();
        core::resetCoreState();
    }

    static const core::TemplateRecord& T(int i) { return core::tdlState().Templates.at(static_cast<std::size_t>(i)); }

    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    static inline std::size_t messages = 0;
};

TEST_F(ShippedLibraryTest, EveryTemplateLoadsWithoutAMessage)
{
    EXPECT_EQ(messages, 0u);
    const auto& lib = core::tdlState();
    // 8 + 8 paths of templates 25 and 27, 368 + 184 + 184 + 138 of 30 to 33, 10 of 34, one
    // each of 35, 36 and 38, 32 of 37, 92 of 39, four legacy templates and the Basic TEDS.
    ASSERT_EQ(core::TemplatesLoaded(), 1032);
    std::set<std::string> utids, names;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        SCOPED_TRACE(t.name);
        EXPECT_TRUE(t.validated);
        EXPECT_TRUE(utids.insert(t.UTID.text()).second) << "UTID twice: " << t.UTID.text();
        EXPECT_TRUE(names.insert(t.name).second) << "title twice";
        EXPECT_EQ(t.fields[0].typeKeyword, "MANUFACTURER");
        EXPECT_EQ(t.manufacturerField, 0);
        EXPECT_GE(t.abstractCount, 2);
        if (t.UTIDT == 2) {
            EXPECT_LE(t.lengthBits, 992);
            EXPECT_EQ(t.selectors[0].bitAddress, 64);
            EXPECT_EQ(t.selectors[0].match, 0);
        } else {
            EXPECT_EQ(t.UTIDT, 1);
            EXPECT_LE(t.lengthBits, 8 * kDraftTedsBytes[0]);
        }
    }
    EXPECT_EQ(T(lib.TemplateLast).name, "IEEE 1451.4 Basic TEDS");
}

TEST_F(ShippedLibraryTest, TemplatesOfOneStandardTemplateFormAGroupHeadedByTheFirst)
{
    const auto& lib = core::tdlState();
    std::map<std::string, int> heads;  // UGID -> first template of the group
    int groups = 0;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        auto [it, isNew] = heads.emplace(t.UGID.text(), i);
        if (isNew) {
            ++groups;
            EXPECT_EQ(t.UGID, t.UTID) << t.name;
        } else {
            // One group is one run of templates, all with the same template id.
            EXPECT_EQ(T(i - 1).UGID, t.UGID) << t.name;
            EXPECT_EQ(t.selectors[1].match, T(it->second).selectors[1].match) << t.name;
        }
    }
    EXPECT_EQ(groups, 12 + 4 + 1);
}

// An empty TEDS made from each template (selectors written, every other bit set) is found
// as that same template in every memory that holds it: no template shadows another.
TEST_F(ShippedLibraryTest, EveryTemplateMatchesItsOwnEmptyTeds)
{
    const auto& lib = core::tdlState();
    int checked = 0;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        const bool draft = t.UTIDT <= 1;
        for (int size : draft ? std::span<const int>(kDraftTedsBytes) : std::span<const int>(kTedsBytes)) {
            if (t.lengthBits > 8 * size)
                continue;
            core::TedsBuf tb;
            tb.dimension(size, 0xFF);
            core::BytesToBits(tb);
            tb.DraftLayout = draft;
            for (int k = 0; k <= t.selectorLast; ++k) {
                const auto& s = t.selectors[static_cast<std::size_t>(k)];
                core::Val2Bits(s.match, s.bitAddress, s.width, tb);
            }
            const int found = documentTemplate(tb);
            EXPECT_EQ(found, i) << t.name << " in " << size << " bytes found "
                                << (found >= 0 ? T(found).name : std::string("nothing"));
            ++checked;
        }
    }
    EXPECT_GT(checked, 2 * 1032);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ShippedLibraryTest, EveryPathFitsTheSmallestMemoryThatHoldsIt)
{
    // The user text fills the rest of the DS2430A, else of the DS2431, to the last whole character.
    const auto& lib = core::tdlState();
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        if (t.UTIDT != 2 || t.selectorLast < 3)
            continue;
        // The end selectors: 3, then the extended end selector 1.
        const auto& end = t.selectors[static_cast<std::size_t>(t.selectorLast)];
        EXPECT_EQ(end.width, 1);
        EXPECT_EQ(end.match, 1);
        EXPECT_EQ(t.selectors[t.selectorLast - 1].bitAddress, end.bitAddress - 2) << t.name;
        const int start = end.bitAddress + 1;
        const int memory = start <= 312 ? 312 : 992;
        const int user = (memory - start) / 7 * 7;
        EXPECT_EQ(t.lengthBits, start + user) << t.name;
        const auto& last = t.fields[static_cast<std::size_t>(t.fieldLast)];
        if (user > 0) {
            EXPECT_EQ(last.tagName, "USERDATA") << t.name;
            EXPECT_EQ(last.bitAddress, start) << t.name;
        } else {
            EXPECT_NE(last.tagName, "USERDATA") << t.name;
        }
    }
}

core::TedsBuf bridgeVector()
{
    std::istringstream in(testing_support::readAll(testing_support::fixturesDir() / "teds" / "bridge-ds2431.hex"));
    core::TedsBuf tb;
    tb.dimension(124);
    std::string line;
    int i = 1;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string hex;
        while (words >> hex)
            tb.Bytes.at(static_cast<std::size_t>(i++)) = static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16));
    }
    EXPECT_EQ(i, 125);
    core::BytesToBits(tb);
    return tb;
}

// The value of a field as a number, decoded by its type.
double decoded(const core::TedsBuf& tb, const core::TemplateField& f)
{
    const auto raw = bits(tb, f.bitAddress, f.bitCount);
    if (f.typeKeyword == "CONRES")
        return f.p1 + static_cast<double>(raw) * f.p2;
    if (f.typeKeyword == "CONRELRES")
        return core::ConRelResDecode(static_cast<std::int64_t>(raw), f.p1, f.p2);
    if (f.typeKeyword == "SINGLE")
        return core::SingleFromBits(static_cast<double>(raw));
    return static_cast<double>(raw);
}

TEST_F(ShippedLibraryTest, PublicBridgeVectorDecodesAsPublished)
{
    const auto tb = bridgeVector();
    const int found = documentTemplate(tb);
    ASSERT_GE(found, 0);
    const auto& t = T(found);
    EXPECT_EQ(t.name, "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range");
    EXPECT_EQ(t.abstractLines[0], "IEEE 1451.4 standard template 33");

    struct Row {
        const char* tag;
        int firstBit;
        int bitCount;
        double value;
        const char* unit;
    };
    const Row rows[] = {
        {"MANUFACTURER", 0, 14, 31, ""},       {"MODEL", 14, 15, 393, ""},
        {"VERSIONLETTER", 29, 5, 0, ""},       {"VERSIONNUMBER", 34, 6, 0, ""},
        {"SERIALNUMBER", 40, 24, 0, ""},       {"MINPHYSVAL", 80, 32, 0, "m/s\xB2"},
        {"MAXPHYSVAL", 112, 32, 0, "m/s\xB2"}, {"MINELECVAL", 146, 32, 0, "V/V"},
        {"MAXELECVAL", 178, 32, 0, "V/V"},     {"BRIDGETYPE", 210, 2, 1, ""},
        {"SENSORIMPED", 212, 18, 40, "Ohm"},   {"RESPTIME", 230, 6, 1e-6, "s"},
        {"EXCITEAMPLNOM", 236, 9, 2.5000000000000004, "V"},
        {"EXCITEAMPLMIN", 245, 9, 1, "V"},     {"EXCITEAMPLMAX", 254, 9, 6, "V"},
        {"CALDATE", 263, 16, 37254, ""},       {"CALINITIALS", 279, 15, 0, ""},
        {"CALPERIOD", 294, 12, 0, ""},         {"MEASID", 306, 11, 0, ""},
        {"USERDATA", 320, 672, 0, ""},
    };
    ASSERT_EQ(t.fieldLast + 1, static_cast<int>(std::size(rows)));
    for (int k = 0; k <= t.fieldLast; ++k) {
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        const auto& r = rows[k];
        SCOPED_TRACE(r.tag);
        EXPECT_EQ(f.tagName, r.tag);
        EXPECT_EQ(f.bitAddress, r.firstBit);
        EXPECT_EQ(f.bitCount, r.bitCount);
        EXPECT_EQ(f.unit, r.unit);
        if (f.typeKeyword == "ASCII-7BIT")
            EXPECT_TRUE(core::Bits2Val(tb, f.bitAddress, f.bitCount).isZero());
        else
            EXPECT_EQ(decoded(tb, f), r.value);
    }
    // Texts: a blank version letter, three blank initials, the date 2099-12-31.
    EXPECT_EQ(core::Chr5ToChar(static_cast<int>(bits(tb, 29, 5))), " ");
    EXPECT_EQ(core::numeric::formatDate(core::numeric::dateFromSerial(35796 + 37254), "yyyy-mm-dd"), "2099-12-31");
    // The cases: measurand 7 (m/s2), precision 2 (Single), then the end selectors.
    ASSERT_EQ(t.selectorLast, 5);
    const int expected[][3] = {{64, 2, 0}, {66, 8, 33}, {74, 6, 7}, {144, 2, 2}, {317, 2, 3}, {319, 1, 1}};
    for (int k = 0; k <= t.selectorLast; ++k) {
        EXPECT_EQ(t.selectors[k].bitAddress, expected[k][0]);
        EXPECT_EQ(t.selectors[k].width, expected[k][1]);
        EXPECT_EQ(t.selectors[k].match, expected[k][2]);
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ShippedLibraryTest, UnknownStandardTemplateFallsBackToTheBasicTeds)
{
    auto tb = bridgeVector();
    core::Val2Bits(26, 66, 8, tb);  // a template id the library does not describe
    const int found = documentTemplate(tb);
    ASSERT_GE(found, 0);
    EXPECT_EQ(T(found).name, "IEEE 1451.4 Basic TEDS");
    // A node list (manufacturer 1) matches no template: it is left to the node-list display.
    core::Val2Bits(1, 0, 14, tb);
    EXPECT_EQ(documentTemplate(tb), -2);
}

} // namespace
