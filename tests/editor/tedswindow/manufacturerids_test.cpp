// The manufacturer id of a node's TEDS decides its display and the node's selector: every
// 14-bit id from 17 to 16381 is a TEDS grid without a word; 0 to 16 and the two ids above the
// range behave as before, without a crash.

#include "tests/editor/tedswindow/tedsfixture.h"

#include "core/teds/memoryfile.h"

namespace {

namespace fs = std::filesystem;

class ManufacturerIds : public teds_test::TedsWindowTest {
protected:
    // The shipped bridge sensor TEDS with manufacturer id m, on a DS2431.
    void nodeWithManufacturer(int m)
    {
        core::TedsBuf tb;
        ASSERT_TRUE(core::LoadMemoryFile(tb, testing_support::dataDir() / "demo-bridge.tds"));
        tb.Bytes[1] = static_cast<std::uint8_t>(m & 0xFF);
        tb.Bytes[2] = static_cast<std::uint8_t>((tb.Bytes[2] & 0xC0) | ((m >> 8) & 0x3F));
        tb.Size = 124;
        tb.Bytes.resize(125);
        core::BytesToBits(tb);
        const fs::path file = dir / ("m" + std::to_string(m) + ".tds");
        ASSERT_TRUE(core::SaveMemoryFile(tb, file));
        // A node of its own for each id (a listed node is not read again).
        char serial[16];
        std::snprintf(serial, sizeof serial, "%012X", 0x5CA600 + ++nodes_);
        net->clearNodes();
        load("node 2D:" + std::string(serial) + "\ntds " + file.filename().string() + "\n", dir.path());
        id = net->nodes().front()->rom().nodeId();
        scan();
        box.clear();
    }
    std::vector<std::string> selectorMessages() const
    {
        std::vector<std::string> out;
        for (const auto& p : box.prompts())
            if (p.find("selector type not known") != std::string::npos)
                out.push_back(p);
        return out;
    }

    testing_support::TempDir dir;
    std::string id;
    int nodes_ = 0;
};

TEST_F(ManufacturerIds, EveryFourteenBitIdShowsTheGridWithoutAWord)
{
    for (int m : {17, 31, 4095, 4096, 4097, 8191, 12345, 16380, 16381}) {
        SCOPED_TRACE(m);
        nodeWithManufacturer(m);
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        std::int32_t state = -7;
        w->Inititiate(index(id), state);
        EXPECT_TRUE(selectorMessages().empty()) << selectorMessages().front();
        EXPECT_EQ(w->doc.display, editor::Display::Grid);
        EXPECT_TRUE(w->doc.TedsShown);
        EXPECT_EQ(state, 3);
        EXPECT_EQ(shell::record(index(id))->selector, m);
        box.clear();
    }
}

TEST_F(ManufacturerIds, IdsOutsideTheRangeBehaveSanely)
{
    // 0 and 1 match no template with selectors (the raw view, no word); 16382 and 16383 are no
    // manufacturer: no grid and the message, once.
    for (int m : {0, 1, 16382, 16383}) {
        SCOPED_TRACE(m);
        nodeWithManufacturer(m);
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        std::int32_t state = -7;
        w->Inititiate(index(id), state);
        EXPECT_NE(w->doc.display, editor::Display::Grid);
        EXPECT_EQ(selectorMessages().size(), m > 1 ? 1u : 0u);
        box.clear();
    }
    // 2 to 16: the fixed texts, as for the older ids.
    for (int m : {2, 15, 16}) {
        SCOPED_TRACE(m);
        nodeWithManufacturer(m);
        editor::TedsF* w = window(id);
        ASSERT_NE(w, nullptr);
        w->Inititiate(index(id));
        EXPECT_NE(w->doc.display, editor::Display::Grid);
        EXPECT_FALSE(w->doc.TedsShown);
        box.clear();
    }
}

} // namespace
