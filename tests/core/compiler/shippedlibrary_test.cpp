// The standard template library as shipped in data/: every template loads, is found
// again in an empty TEDS made from it, its user text runs to the end of the memory, and
// the public bridge-sensor vector decodes through it as published.

#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/singlefield.h"
#include "core/numeric/datevalue.h"
#include "editor/model/manufacturerlevels.h"
#include "tests/core/bridgevector.h"
#include "tests/core/compiler/shippedlibrary.h"

#include <map>
#include <set>
#include <span>

namespace fs = std::filesystem;

namespace {

using namespace shipped_test;

TEST_F(ShippedLibraryTest, EveryTemplateLoadsWithoutAMessage)
{
    EXPECT_EQ(messages, 0u);
    const auto& lib = core::tdlState();
    // IEEE_Templates: 8 + 8 paths of templates 25 and 27, 368 + 184 + 184 + 138 of 30 to 33,
    // 10 of 34, one each of 35, 36 and 38, 32 of 37, 92 of 39, each path twice (its
    // standard template and the one for whatever follows in place of the end section),
    // four legacy templates and the Basic TEDS. Each calibration file: one template per path.
    std::map<std::string, int> perFile;
    for (int i = 0; i <= lib.TemplateLast; ++i)
        ++perFile[T(i).file];
    const std::map<std::string, int> expected = {{"Accessory_Templates.tdl", 1},
                                                 {"IEEE_Calibration_Curve.tdl", 1027},
                                                 {"IEEE_Calibration_Response.tdl", 1027},
                                                 {"IEEE_Calibration_Table.tdl", 1027},
                                                 {"IEEE_Templates.tdl", 2 * 1027 + 4 + 1}};
    EXPECT_EQ(perFile, expected);
    ASSERT_EQ(core::TemplatesLoaded(), 1 + 3 * 1027 + 2 * 1027 + 5);
    std::set<std::string> utids, names;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        SCOPED_TRACE(t.name);
        EXPECT_TRUE(t.validated);
        EXPECT_TRUE(utids.insert(t.UTID.text()).second) << "UTID twice: " << t.UTID.text();
        EXPECT_TRUE(names.insert(t.name).second) << "title twice";
        if (!isIeee(t))
            continue;
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
        if (!isIeee(t))
            continue;
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
    // Per standard template: its standard paths, each calibration form, whatever follows.
    EXPECT_EQ(groups, 12 * 5 + 4 + 1);
}

// An empty TEDS made from each template (selectors written, every other bit set) is found
// as that same template in every memory that holds it: no template shadows another. A
// template that ends without the end section is followed by another template there: the
// selector after it holds 0.
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
            if (!draft && !hasEndSection(t) && t.lengthBits + 2 <= 8 * size)
                core::Val2Bits(0, t.lengthBits, 2, tb);
            const int found = documentTemplate(tb);
            EXPECT_EQ(found, i) << t.name << " in " << size << " bytes found "
                                << (found >= 0 ? T(found).name : std::string("nothing"));
            ++checked;
        }
    }
    EXPECT_GT(checked, 2 * 5141);
    EXPECT_TRUE(box.shown.empty());
}

// The user text follows the end selectors and runs to the end of the memory: a field of
// no bits of its own, the template's last, and every standard path has one.
TEST_F(ShippedLibraryTest, UserTextRunsToTheEndOfTheMemory)
{
    const auto& lib = core::tdlState();
    int standard = 0;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        if (!isIeee(t) || t.UTIDT != 2)
            continue;
        SCOPED_TRACE(t.name);
        const auto& last = t.fields[static_cast<std::size_t>(t.fieldLast)];
        if (!hasEndSection(t)) {
            EXPECT_NE(last.tagName, "USERDATA");
            continue;
        }
        const int start = t.selectors[static_cast<std::size_t>(t.selectorLast)].bitAddress + 1;
        EXPECT_EQ(t.lengthBits, start);
        EXPECT_EQ(last.tagName, "USERDATA");
        EXPECT_EQ(last.typeKeyword, "ASCII-7BIT");
        EXPECT_EQ(last.bitAddress, start);
        EXPECT_EQ(last.bitCount, 0);
        if (t.file == "IEEE_Templates.tdl")
            ++standard;
    }
    // Every standard path, those that left no room in a DS2430A among them.
    EXPECT_EQ(standard, 1027);
    for (const char* name : {"IEEE 1451.4 Current loop output sensor, force N, Single range, externally powered",
                             "IEEE 1451.4 Strain gage"}) {
        const int t = named(name);
        ASSERT_GE(t, 0) << name;
        EXPECT_EQ(T(t).fields[static_cast<std::size_t>(T(t).fieldLast)].tagName, "USERDATA") << name;
    }
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
    const auto tb = testing_support::bridgeVector();
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
        {"USERDATA", 320, 0, 0, ""},
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
            EXPECT_TRUE(core::Bits2Val(tb, f.bitAddress, 8 * tb.Size - f.bitAddress).isZero());
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
    auto tb = testing_support::bridgeVector();
    core::Val2Bits(26, 66, 8, tb);  // a template id the library does not describe
    const int found = documentTemplate(tb);
    ASSERT_GE(found, 0);
    EXPECT_EQ(T(found).name, "IEEE 1451.4 Basic TEDS");
    // A node list (manufacturer 1) matches no template: it is left to the node-list display.
    core::Val2Bits(1, 0, 14, tb);
    EXPECT_EQ(documentTemplate(tb), -2);
}

// The unit of the physical values by measurand code (the 6-bit case of templates 30 to 33
// and 39), against the published table: as printed where it is a unit symbol, else the
// symbol it stands for. Every code has a unit of its own, in every template of the code.
TEST_F(ShippedLibraryTest, MeasurandUnitsFollowThePublishedTable)
{
    struct Unit {
        const char* printed;  // the published text
        const char* unit;     // the library's unit text (Windows-1252)
    };
    const Unit table[46] = {
        {"K", "K"},                 {"\xB0" "C", "\xB0" "C"},   {"strain", "strain"},     {"microstrain", "microstrain"},
        {"N", "N"},                 {"lb", "lbf"},              {"kgf", "kgf"},           {"m/s2", "m/s\xB2"},
        {"ga", "gn"},               {"Nm/radian", "Nm/rad"},    {"Nm", "Nm"},             {"oz-in", "oz-in"},
        {"Pa", "Pa"},               {"psi", "psi"},             {"Kg", "kg"},             {"G", "g"},
        {"m", "m"},                 {"mm", "mm"},               {"in", "in"},             {"m/s", "m/s"},
        {"mph", "mph"},             {"fps", "fps"},             {"radians", "rad"},       {"degrees", "\xB0"},
        {"radian/s", "rad/s"},      {"rpm", "rpm"},             {"Hz", "Hz"},             {"g/l", "g/l"},
        {"kg/m3", "kg/m\xB3"},      {"mole/m3", "mol/m\xB3"},   {"mole/l", "mol/l"},      {"m3/m3", "m\xB3/m\xB3"},
        {"l/l", "l/l"},             {"kg/s", "kg/s"},           {"m3/s", "m\xB3/s"},      {"m3/hr", "m\xB3/h"},
        {"gpm", "gpm"},             {"cfm", "cfm"},             {"l/min", "l/min"},       {"RH", "%RH"},
        {"%", "%"},                 {"Volts", "V"},             {"Volts rms", "V rms"},   {"Amperes", "A"},
        {"Amperes rms", "A rms"},   {"Watts", "W"},
    };
    std::set<std::string> distinct;
    for (const auto& u : table)
        distinct.insert(u.unit);
    EXPECT_EQ(distinct.size(), 46u);

    const auto& lib = core::tdlState();
    std::map<int, int> seen;  // code -> templates checked
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        const int id = t.selectorLast >= 2 ? t.selectors[1].match : 0;
        if (!isIeee(t) || t.UTIDT != 2 || (id != 30 && id != 31 && id != 32 && id != 33 && id != 39))
            continue;
        ASSERT_EQ(t.selectors[2].bitAddress, 74) << t.name;
        ASSERT_EQ(t.selectors[2].width, 6) << t.name;
        const int code = t.selectors[2].match;
        ASSERT_LT(code, 46) << t.name;
        SCOPED_TRACE(t.name);
        EXPECT_EQ(t.fields[5].tagName, "MINPHYSVAL");
        EXPECT_EQ(t.fields[6].tagName, "MAXPHYSVAL");
        EXPECT_EQ(t.fields[5].unit, table[code].unit);
        EXPECT_EQ(t.fields[6].unit, table[code].unit);
        // The path's abstract line names the unit.
        EXPECT_NE(t.abstractLines[2].find(" in " + std::string(table[code].unit) + ";"), std::string::npos)
            << t.abstractLines[2];
        ++seen[code];
    }
    ASSERT_EQ(seen.size(), 46u);
    // 4 x 2 + 2 x 2 + 4 + 3 + 2 paths of templates 30 to 33 and 39, each path in five templates.
    for (const auto& [code, n] : seen)
        EXPECT_EQ(n, (8 + 4 + 4 + 3 + 2) * 5) << code;

    // Template 34's own 3-bit case: m, mm, in, rad, deg.
    const char* lvdt[] = {"m", "mm", "in", "rad", "\xB0"};
    int checked = 0;
    for (int i = 0; i <= lib.TemplateLast; ++i) {
        const auto& t = T(i);
        if (!isIeee(t) || t.UTIDT != 2 || t.selectorLast < 2 || t.selectors[1].match != 34)
            continue;
        ASSERT_EQ(t.selectors[2].width, 3) << t.name;
        EXPECT_EQ(t.fields[5].unit, lvdt[t.selectors[2].match]) << t.name;
        ++checked;
    }
    EXPECT_EQ(checked, 10 * 5);
}

} // namespace
