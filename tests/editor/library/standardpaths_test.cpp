// TEDS of a spread of standard case paths, encoded bit by bit from the public template
// tables (publicteds.h), decoded by the program's library: every field, its unit and the
// user text after it, on every chip the path fits.

#include "core/teds/bitfields.h"
#include "tests/editor/library/attackfixture.h"

#include <functional>

namespace library_attack {
namespace {

struct PathCase {
    std::string label;
    std::function<void(TedsWriter&)> write;
    // The library's short unit text for a measurand unit of Table M, where it differs.
    int measurand = -1;
};

std::vector<PathCase> spread()
{
    std::vector<PathCase> c;
    for (int type = 0; type < 2; ++type)
        for (int ext = 0; ext < 2; ++ext)
            for (int tf = 0; tf < 2; ++tf)
                c.push_back({"T25 type " + std::to_string(type) + " ext " + std::to_string(ext) + " tf " + std::to_string(tf),
                             [=](TedsWriter& w) { t25(w, type, ext, tf); }});
    c.push_back({"T27 0 0 0", [](TedsWriter& w) { t27(w, 0, 0, 0); }});
    c.push_back({"T27 1 1 1", [](TedsWriter& w) { t27(w, 1, 1, 1); }});
    c.push_back({"T27 0 1 0", [](TedsWriter& w) { t27(w, 0, 1, 0); }});
    c.push_back({"T30 m7 p2 x1", [](TedsWriter& w) { t30(w, 7, 2, 1); }});
    c.push_back({"T30 m12 p3 x0", [](TedsWriter& w) { t30(w, 12, 3, 0); }});
    c.push_back({"T30 m0 p0 x0", [](TedsWriter& w) { t30(w, 0, 0, 0); }});
    c.push_back({"T30 m45 p1 x1", [](TedsWriter& w) { t30(w, 45, 1, 1); }});
    c.push_back({"T31 m4 p1 ext", [](TedsWriter& w) { t31(w, 4, 1, 1); }});
    c.push_back({"T31 m39 p0 loop", [](TedsWriter& w) { t31(w, 39, 0, 0); }});
    for (int p = 0; p < 4; ++p) c.push_back({"T32 m1 p" + std::to_string(p), [=](TedsWriter& w) { t32(w, 1, p); }});
    for (int p = 0; p < 3; ++p) c.push_back({"T33 m8 p" + std::to_string(p), [=](TedsWriter& w) { t33(w, 8, p); }});
    c.push_back({"T33 m15 p2", [](TedsWriter& w) { t33(w, 15, 2); }});
    c.push_back({"T34 mm p0", [](TedsWriter& w) { t34(w, 1, 0); }});
    c.push_back({"T34 deg p1", [](TedsWriter& w) { t34(w, 4, 1); }});
    c.push_back({"T35", [](TedsWriter& w) { t35(w); }});
    c.push_back({"T36", [](TedsWriter& w) { t36(w); }});
    c.push_back({"T37 r3 c6", [](TedsWriter& w) { t37(w, 3, 6); }});
    c.push_back({"T37 r0 c7", [](TedsWriter& w) { t37(w, 0, 7); }});
    c.push_back({"T37 r1 c0", [](TedsWriter& w) { t37(w, 1, 0); }});
    c.push_back({"T37 r3 c7", [](TedsWriter& w) { t37(w, 3, 7); }});
    c.push_back({"T38", [](TedsWriter& w) { t38(w); }});
    c.push_back({"T39 m26 p0", [](TedsWriter& w) { t39(w, 26, 0); }});
    c.push_back({"T39 m5 p1", [](TedsWriter& w) { t39(w, 5, 1); }});
    return c;
}

class StandardPaths : public LibraryTest {};

TEST_F(StandardPaths, EveryFieldOfEachPathDecodesOnEveryChipItFits)
{
    int decoded = 0;
    for (const auto& pc : spread()) {
        for (const auto& chip : chips()) {
            TedsWriter w(chipBits(chip.family), 77);
            basicTeds(w, listedManufacturerId());
            pc.write(w);
            const int textStart = w.pos() + 3;
            if (textStart > chipBits(chip.family)) continue;  // the path does not fit this chip
            const int room = (chipBits(chip.family) - textStart) / 7;
            std::string text = "Mounted on flange B, bay 3; cal. lab Z-9 (ref #4711) - see sheet";
            text = text.substr(0, std::min<std::size_t>(text.size(), static_cast<std::size_t>(room)));
            while (!text.empty() && text.back() == ' ') text.pop_back();  // trailing blanks are not text
            endSection(w, text);
            w.put(127, 7);  // the stop code after the text
            editor::TedsDocument doc;
            const std::string where = pc.label + " on " + chip.name;
            const int t = show(doc, w.bits(), chip.family);
            ASSERT_GE(t, 0) << where << ": no template";
            EXPECT_EQ(tmpl(t).file, "IEEE_Templates.tdl") << where << ": " << tmpl(t).name;
            EXPECT_FALSE(contains(tmpl(t).name, "follows")) << where << ": " << tmpl(t).name;
            expectListing(doc, w, &text, where);
            ++decoded;
        }
    }
    EXPECT_GT(decoded, 80);
}

} // namespace
} // namespace library_attack
