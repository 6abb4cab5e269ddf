// The user text after a standard template: every length from none to the last whole
// character of the memory on every chip, decoded from TEDS written by the public
// encoder, and what stands after a shorter text (the stop code, blanks, or the zeros of
// a memory nobody wrote there).

#include "tests/editor/library/attackfixture.h"

#include <functional>

namespace library_attack {
namespace {

struct ShortPath {
    const char* label;
    std::function<void(TedsWriter&)> write;
};
const std::vector<ShortPath>& paths()
{
    static const std::vector<ShortPath> p = {
        {"T25 accelerometer", [](TedsWriter& w) { t25(w, 0, 0, 0); }},
        {"T36 thermocouple", [](TedsWriter& w) { t36(w); }},
        {"T33 bridge Single", [](TedsWriter& w) { t33(w, 7, 2); }},
        {"T31 Single external", [](TedsWriter& w) { t31(w, 4, 1, 1); }},
        {"T35 strain gage", [](TedsWriter& w) { t35(w); }},
    };
    return p;
}

// A text of n printable 7-bit characters that does not end in a blank.
std::string textOf(int n)
{
    static const std::string alphabet = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,;:-_/#()[]{}+*=!?'\"<>@$%&|~^`\\";
    std::string s;
    for (int i = 0; i < n; ++i) s += alphabet[(static_cast<std::size_t>(i) * 7) % alphabet.size()];
    if (!s.empty() && s.back() == ' ') s.back() = 'x';
    return s;
}

enum class Tail { StopCode, Blanks, Zeros };

class UserTextLengths : public LibraryTest {
protected:
    // The user text the program shows for a TEDS of path p on the chip holding text.
    std::string shown(const ShortPath& p, int family, const std::string& text, Tail tail, int* room = nullptr)
    {
        TedsWriter w(chipBits(family), 5);
        basicTeds(w, 17);
        p.write(w);
        const int start = w.pos() + 3;
        if (room) *room = start > chipBits(family) ? -1 : (chipBits(family) - start) / 7;
        if (start > chipBits(family)) return "";
        endSection(w, text);
        const int left = (chipBits(family) - w.pos()) / 7;
        for (int i = 0; i < left; ++i) {
            if (tail == Tail::StopCode) w.put(i == 0 ? 127 : 0, 7);
            if (tail == Tail::Blanks) w.put(' ', 7);
        }
        editor::TedsDocument doc;
        const int t = show(doc, w.bits(), family);
        if (t < 0) return "<no template>";
        if (contains(tmpl(t).name, "follows")) return "<" + tmpl(t).name + ">";
        const auto listed = listedFields(editor::appendFullTEDS(doc, false));
        if (listed.empty() || tagBase(listed.back().tag) != "USERDATA") return "<no user text field>";
        // The grid shows the same text as the listing.
        const int k = tmpl(t).fieldLast;
        EXPECT_EQ(doc.rows[static_cast<std::size_t>(k)].value, listed.back().value);
        return listed.back().value;
    }
};

TEST_F(UserTextLengths, EveryLengthUpToTheEndOfTheMemoryOnEveryChip)
{
    for (std::size_t pi = 0; pi < paths().size(); ++pi) {
        const auto& p = paths()[pi];
        for (const auto& chip : chips()) {
            int room = 0;
            shown(p, chip.family, "", Tail::StopCode, &room);
            if (room < 0) continue;
            for (int n = 0; n <= room; ++n) {
                // Every length on the first three paths, the ends and a stride on the others.
                if (pi >= 3 && n > 2 && n < room - 2 && n % 17 != 0) continue;
                const std::string text = textOf(n);
                for (Tail tail : {Tail::StopCode, Tail::Blanks}) {
                    // Blanks alone keep one blank, as every character field does.
                    const std::string want = (n == 0 && room > 0 && tail == Tail::Blanks) ? " " : text;
                    ASSERT_EQ(shown(p, chip.family, text, tail), want)
                        << p.label << " on " << chip.name << ", " << n << " of " << room << " characters, tail "
                        << static_cast<int>(tail);
                }
            }
        }
    }
}

// A memory whose bits after the text were never written holds zeros: code 0 is no
// character of a user text, so the text ends there and shows no control characters.
TEST_F(UserTextLengths, ZerosAfterTheTextAreNoCharacters)
{
    for (const auto& p : paths()) {
        for (const auto& chip : chips()) {
            int room = 0;
            shown(p, chip.family, "", Tail::Zeros, &room);
            if (room < 0) continue;
            for (int n : {0, 1, room / 2, room - 1}) {
                if (n < 0 || n > room) continue;
                const std::string text = textOf(n);
                EXPECT_EQ(shown(p, chip.family, text, Tail::Zeros), text)
                    << p.label << " on " << chip.name << ", " << n << " of " << room << " characters";
            }
        }
    }
}

// The room the program gives the text is the whole rest of the memory (the 7-bit
// characters that fit from the first bit after the extended end selector).
TEST_F(UserTextLengths, TheRoomIsTheRestOfTheMemory)
{
    EXPECT_EQ(chipBits(device::FamilyDS2430A), 312);
    EXPECT_EQ(chipBits(device::FamilyDS2431), 992);
    EXPECT_EQ(chipBits(device::FamilyDS2433), 496 * 8);
    for (const auto& p : paths()) {
        for (const auto& chip : chips()) {
            int room = 0;
            shown(p, chip.family, "", Tail::StopCode, &room);
            if (room < 0) continue;
            TedsWriter w(chipBits(chip.family), 5);
            basicTeds(w, 17);
            p.write(w);
            endSection(w, "");
            editor::TedsDocument doc;
            const int t = show(doc, w.bits(), chip.family);
            ASSERT_GE(t, 0);
            const int k = tmpl(t).fieldLast;
            EXPECT_EQ(tmpl(t).fields[k].bitAddress, w.pos()) << p.label;
            EXPECT_EQ(doc.AllocateFieldSize(k, tmpl(t).fields[k].bitCount, 7), room) << p.label << " on " << chip.name;
        }
    }
}

} // namespace
} // namespace library_attack
