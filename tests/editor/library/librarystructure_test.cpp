// The library as start-up reads it: every file loads without a message, every template
// has its own UTID (the request server and the amplifier find templates by it), each
// standard case path has its "calibration template follows" twin and its three fixed
// calibration forms, the groups of the create dialog each have a head, the measurand
// units are those of Table M and distinct, and every template created empty on a chip
// it fits reads back as itself.

#include "tests/editor/library/attackfixture.h"

#include <map>
#include <set>

namespace library_attack {
namespace {

using U128 = unsigned __int128;

U128 computedUtid(const core::TemplateRecord& t)
{
    U128 sum = static_cast<U128>(t.UTIDT);
    int shift = 4;
    for (int k = 0; k <= t.selectorLast; ++k) {
        sum += static_cast<U128>(static_cast<std::uint32_t>(t.selectors[k].match)) << shift;
        shift += t.selectors[k].width;
    }
    return sum;
}
std::string text128(U128 v)
{
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v);
    return s;
}

// The selectors of a template as a key.
std::string selectorKey(const core::TemplateRecord& t, int last)
{
    std::string k;
    for (int s = 0; s <= last; ++s)
        k += std::to_string(t.selectors[s].bitAddress) + "," + std::to_string(t.selectors[s].width) + "=" +
             std::to_string(t.selectors[s].match) + ";";
    return k;
}

class LibraryStructure : public LibraryTest {};

TEST_F(LibraryStructure, EveryFileLoadsWithoutAMessageAndValidated)
{
    EXPECT_TRUE(loadMessages_.empty()) << loadMessages_.front();
    EXPECT_GT(templateLast(), 5000);
    for (int i = 0; i <= templateLast(); ++i) ASSERT_TRUE(tmpl(i).validated) << tmpl(i).file << ": " << tmpl(i).name;
}

TEST_F(LibraryStructure, EveryTemplateHasItsOwnExactUtid)
{
    std::map<std::string, int> seen;
    for (int i = 0; i <= templateLast(); ++i) {
        const auto& t = tmpl(i);
        const std::string exact = text128(computedUtid(t));
        EXPECT_EQ(t.UTID.text(), exact) << t.name;
        auto [it, fresh] = seen.emplace(exact, i);
        EXPECT_TRUE(fresh) << t.name << " has the UTID of " << tmpl(it->second).name;
    }
}

TEST_F(LibraryStructure, EachStandardPathHasItsFollowsTemplateAndThreeForms)
{
    std::map<std::string, int> standard;  // transducer selectors -> standard template
    std::map<std::string, int> follows;
    std::map<std::string, std::map<std::string, int>> forms;  // file -> transducer selectors -> template
    for (int i = 0; i <= templateLast(); ++i) {
        const auto& t = tmpl(i);
        if (t.UTIDT < 2 || t.selectorLast < 1 || t.selectors[1].bitAddress != 66) continue;
        const int id = t.selectors[1].match;
        if (id < 25 || id > 39) continue;
        if (t.file == "IEEE_Templates.tdl" && contains(t.name, "calibration template follows")) {
            follows[selectorKey(t, t.selectorLast)] = i;
        } else if (t.file == "IEEE_Templates.tdl") {
            // The last two selectors are the end section (3, then 1).
            ASSERT_GE(t.selectorLast, 3) << t.name;
            EXPECT_EQ(t.selectors[t.selectorLast - 1].match, 3) << t.name;
            EXPECT_EQ(t.selectors[t.selectorLast].match, 1) << t.name;
            standard[selectorKey(t, t.selectorLast - 2)] = i;
        } else {
            // Transducer selectors, then 0 and the calibration template id.
            int k = t.selectorLast;
            while (k > 0 && !(t.selectors[k].width == 8 && t.selectors[k].match >= 40 && t.selectors[k].match <= 42)) --k;
            ASSERT_GT(k, 1) << t.name;
            EXPECT_EQ(t.selectors[k - 1].match, 0) << t.name;
            forms[t.file][selectorKey(t, k - 2)] = i;
        }
    }
    EXPECT_EQ(standard.size(), 1027u);
    EXPECT_EQ(follows.size(), standard.size());
    EXPECT_EQ(forms.size(), 3u);
    for (const auto& [key, s] : standard) {
        const auto f = follows.find(key);
        ASSERT_NE(f, follows.end()) << tmpl(s).name << ": no follows template";
        // The same transducer fields, without the user text.
        const auto& a = tmpl(s);
        const auto& b = tmpl(f->second);
        ASSERT_EQ(b.fieldLast, a.fieldLast - 1) << b.name;
        for (int k = 0; k <= b.fieldLast; ++k) {
            EXPECT_EQ(b.fields[k].tagName, a.fields[k].tagName) << b.name;
            EXPECT_EQ(b.fields[k].bitAddress, a.fields[k].bitAddress) << b.name;
            EXPECT_EQ(b.fields[k].bitCount, a.fields[k].bitCount) << b.name;
        }
        EXPECT_LT(s, f->second) << a.name << ": the standard template comes first";
        for (const auto& [file, byKey] : forms) {
            const auto g = byKey.find(key);
            ASSERT_NE(g, byKey.end()) << a.name << ": no form in " << file;
            EXPECT_LT(g->second, s) << tmpl(g->second).name << " comes after its standard template";
        }
    }
}

TEST_F(LibraryStructure, EveryGroupHasAHead)
{
    std::set<std::int64_t> heads;
    for (int i = 0; i <= templateLast(); ++i)
        if (tmpl(i).UTID.scaled() > 0 && tmpl(i).UTID == tmpl(i).UGID) heads.insert(tmpl(i).UGID.scaled());
    for (int i = 0; i <= templateLast(); ++i)
        EXPECT_TRUE(heads.count(tmpl(i).UGID.scaled())) << tmpl(i).name << ": UGID " << tmpl(i).UGID.text()
                                                        << " has no head, so no group lists it";
    // A short list of groups to choose from, each of one kind: one file, one template id.
    EXPECT_LT(heads.size(), 200u);
    std::map<std::int64_t, int> headOf;
    for (int i = 0; i <= templateLast(); ++i)
        if (tmpl(i).UTID == tmpl(i).UGID) headOf.emplace(tmpl(i).UGID.scaled(), i);
    auto idOf = [](const core::TemplateRecord& t) {
        for (int k = 0; k <= t.selectorLast; ++k)
            if (t.selectors[k].width == 8) return t.selectors[k].match;
        return -1;
    };
    for (int i = 0; i <= templateLast(); ++i) {
        const auto h = headOf.find(tmpl(i).UGID.scaled());
        if (h == headOf.end()) continue;
        const auto& head = tmpl(h->second);
        EXPECT_EQ(tmpl(i).file, head.file) << tmpl(i).name << " in the group of " << head.name;
        EXPECT_EQ(idOf(tmpl(i)), idOf(head)) << tmpl(i).name << " in the group of " << head.name;
        EXPECT_EQ(contains(tmpl(i).name, "follows"), contains(head.name, "follows")) << tmpl(i).name;
    }
}

TEST_F(LibraryStructure, MeasurandUnitsAreTableMsAndDistinct)
{
    std::map<int, std::set<std::string>> byCode;
    for (int i = 0; i <= templateLast(); ++i) {
        const auto& t = tmpl(i);
        if (t.UTIDT < 2 || t.selectorLast < 2 || t.selectors[1].bitAddress != 66) continue;
        const int id = t.selectors[1].match;
        if (id != 30 && id != 31 && id != 32 && id != 33 && id != 39) continue;
        ASSERT_EQ(t.selectors[2].bitAddress, 74) << t.name;
        ASSERT_EQ(t.selectors[2].width, 6) << t.name;
        for (int f = 0; f <= t.fieldLast; ++f)
            if (t.fields[f].tagName == "MINPHYSVAL" || t.fields[f].tagName == "MAXPHYSVAL")
                byCode[t.selectors[2].match].insert(t.fields[f].unit);
    }
    ASSERT_EQ(byCode.size(), 46u);
    std::set<std::string> all;
    for (const auto& [code, units] : byCode) {
        ASSERT_EQ(units.size(), 1u) << "measurand " << code << " has several unit texts";
        EXPECT_EQ(*units.begin(), measurandShort()[static_cast<std::size_t>(code)])
            << "measurand " << code << " (printed '" << measurandUnits()[static_cast<std::size_t>(code)] << "')";
        all.insert(*units.begin());
    }
    EXPECT_EQ(all.size(), 46u) << "two measurands share a unit text";
}

// Every template, created empty on each chip it fits (and in a memory file's 496 bytes
// when it fits none), is found again by the matching: the first template that matches
// is itself.
TEST_F(LibraryStructure, EveryTemplateCreatedEmptyMatchesItself)
{
    auto& ls = core::listsState();
    ls.Manufacturers.setListIndex(std::min(5, ls.Manufacturers.ListCount() - 1));
    int created = 0;
    for (int i = 0; i <= templateLast(); ++i) {
        const auto& t = tmpl(i);
        for (int family : {device::FamilyDS2430A, device::FamilyDS2431, device::FamilyDS2433}) {
            if (t.lengthBits > chipBits(family)) continue;
            if (t.UTIDT < 2 && family != device::FamilyDS2433) continue;
            editor::TedsDocument doc;
            doc.TedsBuf.Family = family;
            doc.TedsBuf.id = "5A0000000012342D";
            doc.LinkedToNode = true;
            ASSERT_TRUE(doc.GetNewTemplate(i)) << t.name;
            editor::TedsDocument again;
            again.TedsBuf = doc.TedsBuf;
            int index = 0;
            ASSERT_TRUE(again.GetTemplate(index)) << t.name;
            EXPECT_EQ(index, i) << t.name << " reads as " << tmpl(index).name;
            ++created;
            break;  // the smallest chip that holds it
        }
    }
    EXPECT_GT(created, 5000);
}

} // namespace
} // namespace library_attack
