// A request that meets a shorted bus behind a real adapter backend (the DS2480B against
// its emulator): answered with that error, not as an empty network.

#include "serverfixture.h"

#include "sim/adapters/emulatedadapter.h"
#include "sim/onewire/simnode.h"

#include <algorithm>

namespace {

using namespace server_test;
using platform::sim::RomCode;

const std::string k4k = RomCode::make(0x23, 0x104).nodeId();

class BusShortRequest : public ServerTest {
protected:
    void SetUp() override
    {
        load("node 23:000000000104\ntds demo-bridge.tds\n");
        adapter = platform::emu::serveEmulated(platform::emu::AdapterKind::Ds2480b, net, 5, 1);
        startServer();
    }
    void TearDown() override
    {
        EXPECT_EQ(adapter.protocolErrors(), std::vector<std::string>{});
        ServerTest::TearDown();
    }
    bool logged(const std::string& text, std::size_t from) const
    {
        const auto lines = logLines(from);
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }

    platform::emu::EmulatedAdapter adapter;
};

TEST_F(BusShortRequest, IsAnsweredWithTheShortNotAsAnEmptyNetwork)
{
    adapter.serialEmu->setShorted(true);
    const std::string told = "Error: 1-Wire bus short circuit on DS2480B serial adapter on Com1";
    for (const auto& lines : {std::vector<std::string>{"NODEID " + k4k, "READTEDS"},
                              std::vector<std::string>{"ADDNODES", "LISTNODELIST"}}) {
        SCOPED_TRACE(lines[0]);
        const std::size_t from = logLines().size();
        ASSERT_TRUE(request(lines));
        EXPECT_TRUE(logged(told, from));
        EXPECT_FALSE(logged("specified node not found", from));
        EXPECT_FALSE(logged("Nodelist empty", from));
        EXPECT_TRUE(logged("failed", from));
        const auto response = client.responseLines();
        EXPECT_NE(std::find(response.begin(), response.end(), told), response.end());
    }
    // The short gone, the same request finds the node.
    adapter.serialEmu->setShorted(false);
    const std::size_t from = logLines().size();
    ASSERT_TRUE(request({"NODEID " + k4k, "READTEDS"}));
    EXPECT_FALSE(logged("short circuit", from));
    EXPECT_FALSE(logged("specified node not found", from));
}

} // namespace
