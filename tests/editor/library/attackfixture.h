#pragma once
// What the library tests share: the shipped library loaded once, a TEDS document over
// an image written by the public encoder, the listing's field lines, and the check of
// one listed value against the public field it came from. Header only.

#include "core/teds/tedsbuf.h"
#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"
#include "editor/model/fulltedslisting.h"
#include "editor/model/tedsdocument.h"
#include "tests/editor/library/publicteds.h"
#include "tests/editor/library/shippedtemplates.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace library_attack {

// The chips a TEDS lives on.
struct Chip {
    const char* name;
    int family;
};
inline const std::vector<Chip>& chips()
{
    static const std::vector<Chip> c = {{"DS2430A", device::FamilyDS2430A},
                                        {"DS2406", device::FamilyDS2406},
                                        {"DS2431", device::FamilyDS2431},
                                        {"DS2433", device::FamilyDS2433}};
    return c;
}
inline int chipBits(int family) { return 8 * device::Get_Usable_Bytes(family, false); }

// One field line of the listing: %TAG[SUFFIX], "title", "value".
struct ListedField {
    std::string tag;
    std::string title;
    std::string value;
};
inline std::vector<ListedField> listedFields(const std::vector<std::string>& lines)
{
    std::vector<ListedField> out;
    for (const auto& l : lines) {
        if (l.empty() || l[0] != '%') continue;
        ListedField f;
        auto a = l.find(", \"");
        auto b = l.find("\", \"", a == std::string::npos ? 0 : a + 3);
        if (a == std::string::npos || b == std::string::npos || l.back() != '"') {
            ADD_FAILURE() << "listing line not in its form: " << l;
            continue;
        }
        f.tag = l.substr(1, a - 1);
        f.title = l.substr(a + 3, b - a - 3);
        f.value = l.substr(b + 4, l.size() - b - 5);
        out.push_back(f);
    }
    return out;
}
inline std::string tagBase(const std::string& tag) { return upper(tag.substr(0, tag.find('['))); }

// The library is read once per test program.
class LibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static testing_support::VirtualServices* loadServices = nullptr;
        if (loaded_) return;
        loadServices = new testing_support::VirtualServices(false);
        loadShippedLibrary();
        loadMessages_ = loadServices->box.prompts();
        delete loadServices;
        loaded_ = true;
    }
    testing_support::VirtualServices vs{false};

    static inline bool loaded_ = false;
    static inline std::vector<std::string> loadMessages_;

    // The document holds bits as a node's TEDS of that family; the template is matched
    // and the TEDS shown. Returns the matched template index (-1: none).
    static int show(editor::TedsDocument& doc, const std::vector<bool>& bits, int family)
    {
        auto& tb = doc.TedsBuf;
        tb = core::TedsBuf{};
        const int size = static_cast<int>(bits.size() / 8);
        tb.dimension(size);
        for (int i = 0; i < size * 8; ++i) tb.Bits[i] = bits[i];
        core::BitsToBytes(tb);
        tb.Family = family;
        tb.id = "5A000000001234" + std::string(family == device::FamilyDS2431   ? "2D"
                                                 : family == device::FamilyDS2433 ? "23"
                                                 : family == device::FamilyDS2406 ? "12"
                                                                                  : "14");
        tb.Status = core::TedsStatusReadOk;
        doc.ActualNodeID = tb.id;
        int index = 0;
        const bool found = doc.GetTemplate(index);
        doc.setActualTemplate(index);
        if (!found) return -1;
        doc.ShowForm();
        return index;
    }
    static const core::TemplateRecord& tmpl(int i) { return templates()[i]; }

    // The field of a template with that tag (first), or -1.
    static int fieldOf(const core::TemplateRecord& t, const std::string& tag)
    {
        for (int f = 0; f <= t.fieldLast; ++f)
            if (t.fields[f].tagName == tag) return f;
        return -1;
    }
};

inline std::string englishDate(int dayCount)
{
    using namespace std::chrono;
    static const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
    year_month_day d{sys_days{year{1998} / January / 1} + days{dayCount}};
    std::ostringstream s;
    s << months[static_cast<unsigned>(d.month()) - 1] << ' ' << static_cast<unsigned>(d.day()) << ", "
      << static_cast<int>(d.year());
    return s.str();
}

// Why a listed value (prefix off) does not stand for the public field; "" when it does.
inline std::string mismatch(const PublicField& f, const std::string& value, const std::string& unitShown)
{
    std::ostringstream why;
    auto numberAndUnit = [&](double expected, double tolerance) {
        const char* s = value.c_str();
        char* end = nullptr;
        double got = std::strtod(s, &end);
        if (end == s) {
            why << "no number in '" << value << "'";
            return;
        }
        if (!(std::fabs(got - expected) <= tolerance * std::max(1.0, std::fabs(expected)))) {
            why << "value " << got << " for " << expected << " in '" << value << "'";
            return;
        }
        std::string rest(end);
        std::string want = unitShown.empty() ? "" : " " + unitShown;
        if (rest != want && !(unitShown.empty() && rest == " ")) why << "unit part '" << rest << "' for '" << want << "'";
    };
    switch (f.kind) {
    case Kind::ConRes:
        if (std::isnan(f.p1) || std::isnan(f.p2)) return "";  // parameters not public: width only
        numberAndUnit(f.value(), 1e-12);
        break;
    case Kind::ConRelRes: numberAndUnit(f.value(), 1e-12); break;
    case Kind::Single: numberAndUnit(f.value(), 1e-6); break;
    case Kind::Uint:
        if (value != std::to_string(f.code)) why << "'" << value << "' for " << f.code;
        break;
    case Kind::Chr5:
        if (value != f.text) why << "'" << value << "' for '" << f.text << "'";
        break;
    case Kind::Date:
        if (value != englishDate(static_cast<int>(f.code))) why << "'" << value << "' for day " << f.code;
        break;
    case Kind::Sign:
        if (value != (f.code ? "-1" : "+1")) why << "'" << value << "' for sign code " << f.code;
        break;
    case Kind::Direction: {
        static const char* d[] = {"X", "Y", "Z", "n/a"};
        if (value != d[f.code]) why << "'" << value << "' for direction " << f.code;
        break;
    }
    case Kind::Manufacturer: break;  // checked by the caller against the list
    }
    return why.str();
}

// The unit texts the library writes for the public ones (Windows-1252; "Ohm" for the sign
// the code page lacks, "°" for degrees).
inline std::string shownUnit(const std::string& publicUnit)
{
    if (publicUnit == "degrees") return "\xB0";
    if (publicUnit == "1/C") return "1/\xB0" "C";  // printed "1/C"
    return publicUnit;
}

// Table M's units as the library writes them (Windows-1252), code by code.
inline const std::vector<std::string>& measurandShort()
{
    static const std::vector<std::string> u = {
        "K", "\xB0" "C", "strain", "microstrain", "N", "lbf", "kgf", "m/s\xB2", "gn", "Nm/rad", "Nm", "oz-in",
        "Pa", "psi", "kg", "g", "m", "mm", "in", "m/s", "mph", "fps", "rad", "\xB0", "rad/s", "rpm", "Hz", "g/l",
        "kg/m\xB3", "mol/m\xB3", "mol/l", "m\xB3/m\xB3", "l/l", "kg/s", "m\xB3/s", "m\xB3/h", "gpm", "cfm", "l/min",
        "%RH", "%", "V", "V rms", "A", "A rms", "W"};
    return u;
}

inline std::string libraryUnit(const PublicField& f)
{
    static const std::vector<std::pair<std::string, std::string>> lvdt = {{"deg", "\xB0"}};
    if ((f.tag == "MINPHYSVAL" || f.tag == "MAXPHYSVAL") && f.kind == Kind::Single) {
        const auto& pub = measurandUnits();
        for (std::size_t k = 0; k < pub.size(); ++k)
            if (pub[k] == f.unit) return measurandShort()[k];
        for (const auto& [p, s] : lvdt)
            if (p == f.unit) return s;
    }
    return f.unit;
}

// The manufacturer the basic TEDS names: an id of the list (not its first entry).
inline int listedManufacturerId(std::string* name = nullptr)
{
    const auto& ls = core::listsState();
    const int pos = std::min(5, ls.Manufacturers.ListCount() - 1);
    if (name) *name = ls.Manufacturers.List(pos);
    return ls.ManufacturerIds[static_cast<std::size_t>(pos)];
}

// Listing of doc checked against the writer's fields and user text; returns failures.
// userText nullptr: the template shows no user text.
inline void expectListing(editor::TedsDocument& doc, const TedsWriter& w, const std::string* userText,
                          const std::string& where)
{
    std::string manufacturer;
    listedManufacturerId(&manufacturer);
    const auto listed = listedFields(editor::appendFullTEDS(doc, false));
    const auto& fields = w.fields();
    ASSERT_EQ(listed.size(), fields.size() + (userText ? 1 : 0)) << where << ": fields listed";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        const auto& l = listed[i];
        if (i >= 5) EXPECT_EQ(tagBase(l.tag), f.tag) << where << ": field " << i;
        EXPECT_FALSE(l.title.empty()) << where << ": field " << i;
        if (f.kind == Kind::Manufacturer) {
            EXPECT_EQ(l.value, manufacturer) << where;
            continue;
        }
        const std::string why = mismatch(f, l.value, shownUnit(libraryUnit(f)));
        EXPECT_EQ(why, "") << where << ": " << l.tag << " \"" << l.title << "\"";
    }
    if (userText) EXPECT_EQ(listed.back().value, *userText) << where << ": user text";
}

} // namespace library_attack
