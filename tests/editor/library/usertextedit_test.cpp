// The user text of an empty TEDS created on each chip, edited as the TEDS window edits
// it (a value box that loses the focus), written to a simulated node and read back,
// saved to a memory file and loaded again, and carried over by a remap.

#include "core/teds/memoryfile.h"
#include "device/drivers/memorynode.h"
#include "sim/onewire/simnode.h"
#include "tests/editor/library/attackfixture.h"
#include "tests/support/simadapter.h"

#include <map>

namespace library_attack {
namespace {

namespace sim = platform::sim;

class UserTextEdit : public LibraryTest {
protected:
    void SetUp() override
    {
        auto& ls = core::listsState();
        ls.Manufacturers.setListIndex(std::min(5, ls.Manufacturers.ListCount() - 1));
    }

    // The first standard template (IEEE_Templates.tdl, not a "follows" one) of a
    // template id that fits the chip; -1 when none does.
    static int standardTemplate(int id, int family, int skip = 0)
    {
        for (int i = 0; i <= templateLast(); ++i) {
            const auto& t = tmpl(i);
            if (t.file != "IEEE_Templates.tdl" || contains(t.name, "follows") || t.selectorLast < 1) continue;
            if (t.selectors[1].bitAddress != 66 || t.selectors[1].match != id || t.UTIDT < 2) continue;
            if (t.lengthBits > chipBits(family)) continue;
            if (skip-- > 0) continue;
            return i;
        }
        return -1;
    }
    static int userField(const core::TemplateRecord& t) { return fieldOf(t, "USERDATA"); }

    // An empty TEDS of template t for a node of that family.
    static void create(editor::TedsDocument& doc, int t, int family)
    {
        doc.TedsBuf = core::TedsBuf{};
        doc.TedsBuf.Family = family;
        doc.TedsBuf.id = nodeId(family);
        doc.ActualNodeID = doc.TedsBuf.id;
        doc.LinkedToNode = true;
        ASSERT_TRUE(doc.GetNewTemplate(t)) << tmpl(t).name;
    }
    static std::string nodeId(int family)
    {
        return sim::RomCode::make(static_cast<std::uint8_t>(family), 0x0000A1B2C3D4ULL).nodeId();
    }
    // Room for user text of doc's template, in characters.
    static int room(editor::TedsDocument& doc)
    {
        const auto& t = tmpl(doc.ActualTemplate());
        const int k = userField(t);
        return (8 * doc.TedsBuf.Size - t.fields[k].bitAddress) / 7;
    }

    // The node of that family on a simulated network behind the adapter.
    std::shared_ptr<sim::SimNetwork> network(int family)
    {
        auto net = std::make_shared<sim::SimNetwork>();
        net->addNode(sim::makeNode(*sim::RomCode::fromNodeId(nodeId(family))));
        testing_support::selectAdapterPort();
        // Programming a DS2406 EPROM takes the 12 V of the USB adapter.
        device::deviceState().PortType = family == device::FamilyDS2406 ? 6 : 5;
        platform::useSimulatedNetwork(net, device::deviceState().PortType, 1);
        return net;
    }
    // Writes doc's TEDS to its node and reads it into a new document.
    void writeAndReadBack(editor::TedsDocument& doc, editor::TedsDocument& back)
    {
        bool confirmed = true;
        ASSERT_TRUE(device::Write_Node(doc.TedsBuf, confirmed)) << vs.box.prompts().size();
        core::TedsBuf tb;
        tb.id = doc.TedsBuf.id;
        tb.Family = doc.TedsBuf.Family;
        device::Read_Node(tb, true);
        ASSERT_EQ(tb.Status, core::TedsStatusReadOk);
        back.TedsBuf = tb;
        back.ActualNodeID = tb.id;
        int index = 0;
        ASSERT_TRUE(back.GetTemplate(index));
        back.setActualTemplate(index);
        back.ShowForm();
    }
    static std::string userText(editor::TedsDocument& doc)
    {
        const auto listed = listedFields(editor::appendFullTEDS(doc, false));
        if (listed.empty() || tagBase(listed.back().tag) != "USERDATA") return "<no user text>";
        return listed.back().value;
    }
};

std::string lettersOf(int n, const std::string& seed = "Sensor mounted at the gearbox, channel ")
{
    std::string s;
    for (int i = 0; i < n; ++i) s += seed[static_cast<std::size_t>(i) % seed.size()];
    if (!s.empty() && s.back() == ' ') s.back() = '.';
    return s;
}

// Every standard template id, on every chip it fits: the empty TEDS shows an empty user
// text (no control characters), matches its own template again, and a text of the
// whole room is written to the node and read back whole.
TEST_F(UserTextEdit, EmptyTedsOfEveryTemplateIdTakesAFullLengthTextOnEveryChip)
{
    int written = 0;
    for (int id : {25, 27, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39}) {
        for (const auto& chip : chips()) {
            const int t = standardTemplate(id, chip.family);
            if (t < 0) continue;
            const std::string where = tmpl(t).name + " on " + chip.name;
            auto net = network(chip.family);
            editor::TedsDocument doc;
            create(doc, t, chip.family);
            const int k = userField(tmpl(t));
            ASSERT_GE(k, 0) << where;
            EXPECT_EQ(doc.rows[k].value, "") << where << ": empty TEDS";
            EXPECT_EQ(userText(doc), "") << where << ": empty TEDS";
            const int n = room(doc);
            EXPECT_EQ(n, (chipBits(chip.family) - tmpl(t).fields[k].bitAddress) / 7) << where;
            const std::string text = lettersOf(n);
            doc.commitRow(k, text);
            EXPECT_EQ(doc.rows[k].value, text) << where;
            editor::TedsDocument back;
            writeAndReadBack(doc, back);
            EXPECT_EQ(back.ActualTemplate(), t) << where << ": read back as " << tmpl(back.ActualTemplate()).name;
            EXPECT_EQ(userText(back), text) << where;
            ++written;
        }
    }
    EXPECT_GE(written, 40);
}

// The empty TEDS itself, written and read back, is still its template with no text.
TEST_F(UserTextEdit, AnEmptyTedsReadsBackAsItsTemplateWithAnEmptyText)
{
    for (const auto& chip : chips()) {
        for (int id : {25, 33, 36}) {
            const int t = standardTemplate(id, chip.family);
            if (t < 0) continue;
            auto net = network(chip.family);
            editor::TedsDocument doc, back;
            create(doc, t, chip.family);
            writeAndReadBack(doc, back);
            EXPECT_EQ(back.ActualTemplate(), t) << tmpl(t).name << " on " << chip.name;
            EXPECT_EQ(userText(back), "") << tmpl(t).name << " on " << chip.name;
        }
    }
}

// A text longer than the room: the window keeps what fits (the row then shows it).
TEST_F(UserTextEdit, OneCharacterOverTheRoomKeepsWhatFits)
{
    for (const auto& chip : chips()) {
        const int t = standardTemplate(25, chip.family);
        ASSERT_GE(t, 0);
        auto net = network(chip.family);
        editor::TedsDocument doc;
        create(doc, t, chip.family);
        const int k = userField(tmpl(t));
        const int n = room(doc);
        const std::string text = lettersOf(n + 1, "0123456789");
        doc.commitRow(k, text);
        EXPECT_EQ(doc.rows[k].value, text.substr(0, static_cast<std::size_t>(n))) << chip.name;
        editor::TedsDocument back;
        writeAndReadBack(doc, back);
        EXPECT_EQ(userText(back), text.substr(0, static_cast<std::size_t>(n))) << chip.name;
    }
}

// 7-bit text: every printable ASCII character goes through, written and read back.
TEST_F(UserTextEdit, EveryPrintableSevenBitCharacterGoesThrough)
{
    const int t = standardTemplate(33, device::FamilyDS2431);
    ASSERT_GE(t, 0);
    auto net = network(device::FamilyDS2431);
    editor::TedsDocument doc;
    create(doc, t, device::FamilyDS2431);
    const int k = userField(tmpl(t));
    std::string printable;
    for (int c = 33; c < 127; ++c) printable += static_cast<char>(c);
    printable = printable.substr(0, static_cast<std::size_t>(room(doc)));
    doc.commitRow(k, printable);
    EXPECT_EQ(doc.rows[k].value, printable);
    editor::TedsDocument back;
    writeAndReadBack(doc, back);
    EXPECT_EQ(userText(back), printable);
}

// A memory file holds 496 bytes whatever the node: a TEDS of a DS2431 saved and loaded
// shows the same user text, also when the text fills the node's memory.
TEST_F(UserTextEdit, MemoryFileKeepsTheUserText)
{
    testing_support::TempDir dir;
    for (const auto& chip : chips()) {
        for (int id : {25, 33, 36}) {
            const int t = standardTemplate(id, chip.family);
            if (t < 0) continue;
            const std::string where = tmpl(t).name + " on " + chip.name;
            for (int fill : {0, 1, 2}) {
                editor::TedsDocument doc;
                create(doc, t, chip.family);
                const int k = userField(tmpl(t));
                const int n = room(doc);
                const std::string text =
                    fill == 0 ? "" : fill == 1 ? lettersOf(n / 2, "0123456789") : lettersOf(n, "0123456789");
                doc.commitRow(k, text);
                ASSERT_EQ(userText(doc), text) << where;
                const auto path = dir / "teds.tds";
                ASSERT_TRUE(core::SaveMemoryFile(doc.TedsBuf, path)) << where;
                editor::TedsDocument loaded;
                core::TedsBuf tb;
                ASSERT_TRUE(core::LoadMemoryFile(tb, path)) << where;
                loaded.TedsBuf = tb;
                int index = 0;
                ASSERT_TRUE(loaded.GetTemplate(index)) << where;
                loaded.setActualTemplate(index);
                loaded.ShowForm();
                EXPECT_EQ(index, t) << where << ": loaded as " << tmpl(index).name;
                EXPECT_EQ(userText(loaded), text) << where << ", " << text.size() << " characters";
            }
        }
    }
}

// Remapping carries the user text to a template that has one, whole when it fits; when
// the target has less room, what does not fit is named in the remap's report.
TEST_F(UserTextEdit, RemapCarriesTheUserText)
{
    const int family = device::FamilyDS2431;
    const int shortPath = standardTemplate(25, family);  // the text starts early
    const int longPath = standardTemplate(33, family, 2);
    ASSERT_GE(shortPath, 0);
    ASSERT_GE(longPath, 0);
    editor::TedsDocument doc;
    create(doc, longPath, family);
    const int n = room(doc);
    const std::string text = lettersOf(n);
    doc.commitRow(userField(tmpl(longPath)), text);
    int to = shortPath;
    vs.box.clear();
    doc.Remap_Template(to);
    ASSERT_EQ(doc.ActualTemplate(), shortPath);
    EXPECT_EQ(userText(doc), text) << "to the longer room";

    // And back: the longer text does not fit the shorter room.
    const int m = room(doc);
    const std::string longer = lettersOf(m, "0123456789");
    doc.commitRow(userField(tmpl(shortPath)), longer);
    ASSERT_EQ(userText(doc), longer);
    int back = longPath;
    vs.box.clear();
    doc.Remap_Template(back);
    ASSERT_EQ(doc.ActualTemplate(), longPath);
    const std::string kept = userText(doc);
    EXPECT_EQ(kept, longer.substr(0, static_cast<std::size_t>(n)));
    bool named = false;
    for (const auto& p : vs.box.prompts())
        if (contains(p, longer.substr(static_cast<std::size_t>(n))) || contains(upper(p), "USERDATA")) named = true;
    EXPECT_TRUE(named) << "the part of the user text that did not fit is lost without a word";

    // To a template without user text (the Basic TEDS): the text is listed as not remapped.
    int basic = templateLast();
    ASSERT_TRUE(contains(tmpl(basic).name, "Basic TEDS"));
    vs.box.clear();
    doc.Remap_Template(basic);
    bool listed = false;
    for (const auto& p : vs.box.prompts())
        if (contains(p, "Fields not remapped") && contains(p, kept.substr(0, 20))) listed = true;
    EXPECT_TRUE(listed);
}

} // namespace
} // namespace library_attack
