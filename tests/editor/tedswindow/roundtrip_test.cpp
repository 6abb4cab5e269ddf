// The main road: a TEDS node's window shows its fields, a row is edited and committed
// when its box loses the focus, the node is written and read again, and the new value is
// in the node's memory. Once per memory family and layout, each node alone on the
// network (a DS2406 is programmed only then).

#include "tedsfixture.h"

#include "core/teds/memoryfile.h"
#include "device/drivers/memorynode.h"
#include "device/memimage/tedspacking.h"

#include <QLineEdit>

#include <cstdio>

namespace {

using namespace teds_test;

// A memory file of these TEDS bytes.
std::string tdsText(const std::string& id, const std::vector<std::uint8_t>& bytes, bool olderLayout)
{
    std::string s = "Memory Fileformat 1.2\r\n" + id + "\r\n" + (olderLayout ? "IEEE P1451.4" : "IEEE 1451.4") + "\r\n";
    for (std::uint8_t b : bytes)
        s += "&H" + core::ByteToHex2(b) + "\r\n";
    return s;
}

// Bits of field f of the image set to v (least significant bit first).
void setField(core::TedsBuf& tb, const core::TemplateField& f, std::uint64_t v)
{
    for (int j = 0; j < f.bitCount; ++j) {
        const int bit = f.bitAddress + j;
        auto& byte = tb.Bytes[static_cast<std::size_t>(bit / 8 + 1)];
        const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
        byte = ((v >> j) & 1u) ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
    }
    core::BytesToBits(tb);
}

// A value of field f that an EPROM holding tb can take: a write only turns 1 bits into 0,
// in the field and in the page checksums alike.
std::uint64_t epromValue(const core::TedsBuf& tb, const core::TemplateField& f)
{
    core::TedsBuf now = tb;
    device::MemImage before;
    device::Build_MemImage(now, before);
    for (std::uint64_t v = 1; v < (1u << std::min(f.bitCount, 16)) - 1; ++v) {
        core::TedsBuf next = tb;
        setField(next, f, v);
        device::MemImage after;
        device::Build_MemImage(next, after);
        bool fits = true;
        for (std::size_t i = 1; i < after.Data.size() && i < before.Data.size(); ++i)
            fits = fits && (after.Data[i] & ~before.Data[i]) == 0;
        if (fits)
            return v;
    }
    return 0;
}

// The field of template t with that title.
const core::TemplateField& fieldOf(int t, const std::string& title)
{
    for (const auto& f : core::tdlState().Templates.at(static_cast<std::size_t>(t)).fields)
        if (f.title == title)
            return f;
    throw std::runtime_error("no field " + title);
}

int rowOf(const editor::TedsF& w, const std::string& caption)
{
    for (int k = 0; k < editor::kRowCount; ++k)
        if (w.doc.rows[static_cast<std::size_t>(k)].visible && w.doc.rows[static_cast<std::size_t>(k)].caption == caption)
            return k;
    return -1;
}

class RoundTrip : public TedsWindowTest {
protected:
    void SetUp() override
    {
        // The accelerometer TEDS of the demo network fits a DS2430A.
        loadDemo();
        scan();
        const editor::TedsF* w = window(k4k);
        ASSERT_NE(w, nullptr);
        accelerometer.assign(w->doc.TedsBuf.Bytes.begin() + 1, w->doc.TedsBuf.Bytes.begin() + 40);
        ASSERT_NE(window(kSwitch), nullptr);
        const int bridgeTemplate = window(kSwitch)->ActualTemplate();
        const std::string bridge = testing_support::readAll(testing_support::dataDir() / "demo-bridge.tds");
        dir.write("bridge.tds", bridge);
        dir.write("accelerometer.tds", tdsText("0000000000000000", accelerometer, false));
        std::vector<std::uint8_t> basic(31, 0xFF);
        basic[0] = 0x2B;  // manufacturer 43
        basic[1] = 0x00;
        for (int i = 2; i < 8; ++i)
            basic[static_cast<std::size_t>(i)] = 0;
        basic[8] = 7;     // user number 7
        basic[9] = 0;
        dir.write("older.tds", tdsText("0000000000000000", basic, true));
        // A DS2406 EPROM can only clear bits: its bridge TEDS starts with the location all ones.
        core::TedsBuf eprom;
        ASSERT_TRUE(core::LoadMemoryFile(eprom, dir / "bridge.tds"));
        eprom.Family = 0x12;
        eprom.dimension(124);
        core::BytesToBits(eprom);
        const auto& location = fieldOf(bridgeTemplate, "Measurement location ID");
        setField(eprom, location, (1u << location.bitCount) - 1);
        const std::vector<std::uint8_t> epromBytes(eprom.Bytes.begin() + 1, eprom.Bytes.end());
        dir.write("bridge-eprom.tds", tdsText("0000000000000000", epromBytes, false));
        epromLocation = std::to_string(epromValue(eprom, location));
        ASSERT_NE(epromLocation, "0");
        addOlderLayoutTemplate(43);
        shell::resetNodesState();
        shell::collectDeferred();
        net->clearNodes();
    }

    testing_support::TempDir dir;
    std::vector<std::uint8_t> accelerometer;
    std::string epromLocation;
};

TEST_F(RoundTrip, EditWriteReadAgainOnEveryFamily)
{
    struct Row { const char* name; int family; const char* file; const char* caption; std::string value; };
    const Row rows[] = {
        {"DS2406 bridge", 0x12, "bridge-eprom.tds", "Measurement location ID", epromLocation},
        {"DS2430A accelerometer", 0x14, "accelerometer.tds", "Measurement location ID", "9"},
        {"DS2430A older layout", 0x14, "older.tds", "User number", "1234"},
        {"DS2433 accelerometer", 0x23, "accelerometer.tds", "Measurement location ID", "77"},
        {"DS2431 bridge", 0x2D, "bridge.tds", "Measurement location ID", "42"},
    };
    int serial = 0x300;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string id = platform::sim::RomCode::make(static_cast<std::uint8_t>(r.family), ++serial).nodeId();
        char head[64];
        std::snprintf(head, sizeof head, "node %02X:%012X\ntds %s\n", r.family, serial, r.file);
        net->clearNodes();
        shell::resetNodesState();
        shell::collectDeferred();
        load(head, dir.path());
        scan();
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(w->doc.TedsShown) << w->doc.Title;
        const int k = rowOf(*w, r.caption);
        ASSERT_GE(k, 0);
        ASSERT_FALSE(w->doc.rows[static_cast<std::size_t>(k)].locked);
        EXPECT_FALSE(w->Col2[k]->isReadOnly());

        // Typed, then the box loses the focus.
        w->Col2[k]->setText(QString::fromStdString(r.value));
        w->Col2_LostFocus(k);
        EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, r.value);
        EXPECT_TRUE(w->hasUnwrittenChanges());

        box.clear();
        w->mnuNode_Click(editor::NodeWrite);
        shell::jobQueue().tick();
        for (const auto& p : box.prompts())
            EXPECT_EQ(p.rfind("Are you sure you will program", 0), 0u) << p;
        // Written and verified: the node is dropped until the next scan finds it anew.
        EXPECT_FALSE(listed(id));
        scan();
        editor::TedsF* again = window(id);
        ASSERT_NE(again, nullptr);
        EXPECT_NE(again, w);
        ASSERT_EQ(again->doc.TedsBuf.Status, core::TedsStatusReadOk);
        EXPECT_EQ(again->doc.rows[static_cast<std::size_t>(k)].value, r.value);
        EXPECT_FALSE(again->hasUnwrittenChanges());
        // "Read node" on the new window finds the same.
        again->mnuNode_Click(editor::NodeRead);
        shell::jobQueue().tick();
        EXPECT_EQ(again->doc.rows[static_cast<std::size_t>(k)].value, r.value);
    }
}

} // namespace
