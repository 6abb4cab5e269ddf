// Grouping through the real TEDS windows on a simulated network: a DS2433 whose node list
// names 61 nodes, listed nodes arriving after the holder, one leaving for good and coming
// back, and a new list written by the node-list generator while the group stands.

#include "tedsfixture.h"

#include "core/teds/nodelistimage.h"
#include "editor/nodelist/nodelistmodel.h"

#include <cstdio>
#include <set>

namespace {

using namespace teds_test;
using platform::sim::RomCode;

std::string tdsText(const std::vector<std::uint8_t>& image)
{
    std::string s = "Memory Fileformat 1.2\r\n0000000000000000\r\nIEEE 1451.4\r\n";
    for (std::size_t i = 1; i < image.size(); ++i)
        s += "&H" + core::ByteToHex2(image[i]) + "\r\n";
    return s;
}

class GroupingNetwork : public TedsWindowTest {
protected:
    // Listed node i: thermometers and ROM-only chips whose ids share all but the high bits.
    static RomCode listed(int i) { return RomCode::make(i % 2 ? 0x10 : 0x01, 0x5A5A00ull | (std::uint64_t(i) << 36)); }
    static std::string serial(const RomCode& r)
    {
        std::string id = r.nodeId();  // CRC first, family last
        char buf[40];
        std::snprintf(buf, sizeof buf, "%02X:", r.family());
        std::string s = buf;
        for (int b = 6; b >= 1; --b) {
            std::snprintf(buf, sizeof buf, "%02X", r.bytes[static_cast<std::size_t>(b)]);
            s += buf;
        }
        return s;
    }
    std::string holderId() const { return RomCode::make(0x23, 0x401).nodeId(); }
    void build(int count, const std::vector<int>& absent = {})
    {
        std::vector<std::string> ids;
        for (int i = 1; i <= count; ++i)
            ids.push_back(listed(i).nodeId());
        std::vector<std::uint8_t> image;
        ASSERT_TRUE(core::encodeNodeList(ids, 496, image));
        dir.write("list.tds", tdsText(image));
        std::string d = "node 23:000000000401\ntds list.tds\nnode 2D:000000000777\n";
        for (int i = 1; i <= count; ++i)
            if (std::find(absent.begin(), absent.end(), i) == absent.end())
                d += "node " + serial(listed(i)) + "\n";
        load(d, dir.path());
    }
    // The ids under each top-level node.
    std::vector<std::vector<std::string>> groups() const
    {
        const auto& t = shell::nodesState().tree;
        std::vector<std::vector<std::string>> out;
        for (auto top : t.roots()) {
            out.emplace_back();
            for (auto idn : t.children(top))
                out.back().push_back(t.node(idn).key.substr(2));
        }
        return out;
    }
    // The group the holder heads, empty when it heads none.
    std::vector<std::string> holderGroup() const
    {
        for (const auto& g : groups())
            if (!g.empty() && g.front() == holderId())
                return g;
        return {};
    }
    std::size_t largestGroup() const
    {
        std::size_t n = 0;
        for (const auto& g : groups())
            n = std::max(n, g.size());
        return n;
    }
    void consistent()
    {
        const auto& t = shell::nodesState().tree;
        std::map<int, int> seen;
        for (auto top : t.roots()) {
            EXPECT_FALSE(t.children(top).empty());
            for (auto idn : t.children(top))
                for (auto rn : t.children(idn))
                    ++seen[shell::tagValue(t.node(rn).tag)];
        }
        for (int i = 0; i <= shell::TrLast(); ++i)
            EXPECT_EQ(seen[i], 1) << "record " << i;
        std::set<std::string> ids;
        for (const auto& g : groups())
            for (const auto& id : g)
                EXPECT_TRUE(ids.insert(id).second) << "twice in the tree: " << id;
    }
    testing_support::TempDir dir;
};

TEST_F(GroupingNetwork, SixtyOneListedNodesGroupLeaveAndComeBack)
{
    build(61);
    for (int i = 0; i < 3; ++i)
        scan();
    consistent();
    ASSERT_EQ(largestGroup(), 62u);
    EXPECT_EQ(groups().size(), 2u);  // the group and the unlisted DS2431
    EXPECT_EQ(holderGroup().size(), 62u);

    // One listed node leaves: after its third missed pass the group goes, the others
    // come back as single nodes and stay single while it is away.
    auto gone = net->removeNode(listed(17));
    for (int i = 0; i < 6; ++i) {
        scan();
        consistent();
    }
    EXPECT_EQ(largestGroup(), 1u);
    EXPECT_EQ(groups().size(), 62u);
    // Back: grouped again.
    net->addNode(gone);
    for (int i = 0; i < 3; ++i)
        scan();
    consistent();
    EXPECT_EQ(largestGroup(), 62u);
    EXPECT_EQ(groups().size(), 2u);
}

TEST_F(GroupingNetwork, ANewListWrittenWhileTheGroupStands)
{
    build(8);
    for (int i = 0; i < 3; ++i)
        scan();
    ASSERT_EQ(largestGroup(), 9u);
    editor::NodeListModel generator;
    generator.Form_Load();
    generator.ieee_version_Click(1);
    for (int i : {2, 4})
        generator.addNode(listed(i).nodeId());
    generator.addNode(RomCode::make(0x2D, 0x777).nodeId());
    ASSERT_TRUE(generator.DO_PrgDevice(holderId())) << (box.shown.empty() ? "" : box.shown.back().prompt);
    for (int i = 0; i < 3; ++i) {
        scan();
        consistent();
    }
    // The holder with its three nodes; the rest single.
    EXPECT_EQ(largestGroup(), 4u);
    EXPECT_EQ(groups().size(), 1u + 6u);
    EXPECT_EQ(holderGroup(), (std::vector<std::string>{holderId(), listed(2).nodeId(), listed(4).nodeId(),
                                                       RomCode::make(0x2D, 0x777).nodeId()}));
}

} // namespace
