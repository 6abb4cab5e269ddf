// Sessions, setup, versions and the choice of backend.

#include "tmexjob.h"

#include "platform/onewire/scopedbackend.h"
#include "sim/onewire/simthermometer.h"
#include "tests/support/testsupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace tmextest;
using platform::sim::SimRomOnlyNode;

namespace {

class OneWireSessions : public SimFixture {};

TEST(OneWireNoBackend, SessionStartFailsCleanlyAndNothingIsSimulated)
{
    platform::resetTmex();
    EXPECT_EQ(platform::TMExtendedStartSession(1, 5, 0), platform::TMEX_HS_NOT_FOUND);
    EXPECT_FALSE(platform::isSimulated(5, 1));
    EXPECT_EQ(platform::backendDescription(5, 1), "");
    platform::TmexVersionBuffer buf{};
    EXPECT_EQ(platform::TMGetTypeVersion(5, buf), platform::TMEX_HS_NOT_FOUND);
    EXPECT_EQ(platform::versionText(buf), "");
    EXPECT_EQ(platform::Get_Version(buf), 1);
    EXPECT_FALSE(platform::versionText(buf).empty());
}

TEST_F(OneWireSessions, EndAndCloseAcceptAnyHandle)
{
    for (std::int32_t h : {0, -1, -200, 12345}) {
        EXPECT_EQ(platform::TMEndSession(h), 0);
        EXPECT_EQ(platform::TMClose(h), 0);
        EXPECT_EQ(platform::TMValidSession(h), 0);
    }
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    ASSERT_GT(s, 0);
    EXPECT_EQ(platform::TMValidSession(s), 1);
    EXPECT_EQ(platform::TMEndSession(s), 1);
    EXPECT_EQ(platform::TMEndSession(s), 0);  // twice does no harm
    EXPECT_EQ(platform::TMValidSession(s), 0);
    EXPECT_EQ(platform::TMTouchByte(s, 0xFF), platform::TMEX_INVALID_SESSION);
}

TEST_F(OneWireSessions, NewStartSupersedesAnUnendedSessionAndHandlesAreNotReused)
{
    const auto first = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    const auto second = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(platform::TMValidSession(first), 0);
    EXPECT_EQ(platform::TMValidSession(second), 1);
    // Ending the stale handle leaves the new session alone.
    EXPECT_EQ(platform::TMEndSession(first), 0);
    EXPECT_EQ(platform::TMValidSession(second), 1);
}

TEST_F(OneWireSessions, RefusedStartsGiveTheCodeThenRecover)
{
    net_->faults().failSessionStarts = 2;
    EXPECT_EQ(platform::TMExtendedStartSession(kPortNum, kPortType, 0), 0);
    net_->faults().sessionStartCode = platform::TMEX_INVALID_SESSION;
    EXPECT_EQ(platform::TMExtendedStartSession(kPortNum, kPortType, 0), platform::TMEX_INVALID_SESSION);
    EXPECT_GT(platform::TMExtendedStartSession(kPortNum, kPortType, 0), 0);
}

TEST_F(OneWireSessions, SetupCloseAndUnregister)
{
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    EXPECT_EQ(platform::TMSetup(s), 1);
    EXPECT_EQ(platform::TMSetup(-5), 0);
    EXPECT_EQ(platform::TMClose(s), 1);
    EXPECT_EQ(platform::TMValidSession(s), 0);

    const auto t = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    ASSERT_GT(t, 0);
    platform::unregisterBackend(kPortType, kPortNum);
    EXPECT_EQ(platform::TMValidSession(t), 0);
    EXPECT_EQ(platform::TMExtendedStartSession(kPortNum, kPortType, 0), platform::TMEX_HS_NOT_FOUND);
}

TEST_F(OneWireSessions, ScopedBackendServesWhileHeldThenPutsBackTheEntryBefore)
{
    const auto before = platform::backendFor(kPortType, kPortNum);
    ASSERT_TRUE(before);
    auto other = std::make_shared<platform::sim::SimNetwork>();
    other->addNode(std::make_shared<SimRomOnlyNode>(platform::sim::RomCode::make(0x01, 7)));
    const auto t = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    ASSERT_GT(t, 0);
    {
        std::vector<platform::ScopedBackend> held;
        held.emplace_back(kPortType, kPortNum, std::make_shared<platform::SimBackend>(other));
        held.emplace_back(platform::PortBackend{kPortType, 2, std::make_shared<platform::SimBackend>(other)});
        EXPECT_EQ(platform::backendFor(kPortType, kPortNum), held[0].backend());
        EXPECT_EQ(platform::backendFor(kPortType, 2), held[1].backend());
        // The replaced entry's open session ended with it.
        EXPECT_EQ(platform::TMValidSession(t), 0);
        EXPECT_EQ(platform::simulatedNetwork(kPortType, kPortNum), other);
    }
    EXPECT_EQ(platform::backendFor(kPortType, kPortNum), before);
    EXPECT_FALSE(platform::registeredBackend(kPortType, 2));
    EXPECT_FALSE(platform::backendFor(kPortType, 2));

    // An entry replaced meanwhile is left as it is.
    auto third = std::make_shared<platform::SimBackend>(other);
    {
        const platform::ScopedBackend held(kPortType, 3, std::make_shared<platform::SimBackend>(other));
        platform::registerBackend(kPortType, 3, third);
    }
    EXPECT_EQ(platform::backendFor(kPortType, 3), third);
}

TEST_F(OneWireSessions, ThePortShowsItIsSimulated)
{
    EXPECT_TRUE(platform::isSimulated(kPortType, kPortNum));
    EXPECT_FALSE(platform::isSimulated(kPortType, 2));  // another port has no backend
    EXPECT_EQ(platform::backendDescription(kPortType, kPortNum), "Simulated microLAN");
    platform::TmexVersionBuffer buf{};
    EXPECT_GT(platform::TMGetTypeVersion(kPortType, buf), 0);
    EXPECT_NE(platform::versionText(buf).find("Simulated microLAN"), std::string::npos);
}

TEST_F(OneWireSessions, SpeedAndLevel)
{
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    EXPECT_EQ(platform::TMOneWireCom(s, 1, 0), platform::TMEX_SPEED_NORMAL);
    EXPECT_EQ(platform::TMOneWireCom(s, 0, platform::TMEX_SPEED_RELAXED), platform::TMEX_SPEED_RELAXED);
    EXPECT_EQ(platform::TMOneWireCom(s, 1, 0), platform::TMEX_SPEED_RELAXED);
    EXPECT_EQ(platform::TMOneWireCom(s, 0, 7), platform::TMEX_NO_SUCH_FUNCTION);
    EXPECT_EQ(platform::TMOneWireCom(-1, 1, 0), platform::TMEX_INVALID_SESSION);

    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 1, 0), 1);
    EXPECT_EQ(platform::TMOneWireLevel(s, 1, 0, 0), 1);
    clock_.advance(std::chrono::milliseconds(20));
    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 0, 0), 0);
    EXPECT_EQ(platform::TMOneWireLevel(s, 1, 0, 0), 0);
    EXPECT_EQ(net_->busTime(), std::chrono::milliseconds(20));
    EXPECT_EQ(platform::TMOneWireLevel(s, 0, 1, 2), platform::TMEX_NO_SUCH_FUNCTION);
}

TEST_F(OneWireSessions, ByteAndBitResultsComeFromTheBus)
{
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    // An empty bus reads 1s.
    EXPECT_EQ(platform::TMTouchByte(s, 0xFF), 0xFF);
    EXPECT_EQ(platform::TMTouchByte(s, 0x3C), 0x3C);
    EXPECT_EQ(platform::TMTouchBit(s, 1), 1);
    EXPECT_EQ(platform::TMTouchBit(s, 0), 0);
}

TEST_F(OneWireSessions, AccessFailsForAMissingNodeAndSucceedsForAPresentOne)
{
    const std::string a = idOf(add<SimRomOnlyNode>(0x01, 0x111111));
    add<SimRomOnlyNode>(0x01, 0x222222);
    Job job(state_);
    EXPECT_TRUE(job.select(a));
    job.end();
    EXPECT_FALSE(job.select(platform::sim::RomCode::make(0x01, 0x333333).nodeId()));
    EXPECT_EQ(platform::TMAccess(-3, state_), platform::TMEX_INVALID_SESSION);
    net_->clearNodes();
    EXPECT_FALSE(job.select(a));  // no presence at all
}

TEST_F(OneWireSessions, MatchAccessOnlyAddressesTheNodeAndProvesNothing)
{
    add<SimRomOnlyNode>(0x01, 0x222222);
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    ASSERT_GT(s, 0);
    const auto absent = platform::sim::RomCode::make(0x01, 0x333333);
    platform::TmexRom rom{};
    for (std::size_t i = 0; i < 8; ++i)
        rom[i] = absent.bytes[i];
    platform::TMRom(s, state_, rom);
    net_->clearTranscript();
    // Reset and Match ROM: another node's presence is all it sees.
    EXPECT_EQ(platform::TMMatchAccess(s, state_), 1);
    ASSERT_EQ(net_->transcript().size(), 10u);
    EXPECT_EQ(net_->transcript()[0].kind, platform::sim::BusEvent::Reset);
    EXPECT_EQ(net_->transcript()[1].written, 0x55);
    EXPECT_EQ(platform::TMAccess(s, state_), 0);  // the search finds it missing
    net_->clearNodes();
    EXPECT_EQ(platform::TMMatchAccess(s, state_), 0);
    EXPECT_EQ(platform::TMMatchAccess(-3, state_), platform::TMEX_INVALID_SESSION);
    platform::TMEndSession(s);
}

TEST_F(OneWireSessions, RomReadBackIsTheLoadedRom)
{
    const auto s = platform::TMExtendedStartSession(kPortNum, kPortType, 0);
    platform::TmexRom rom{0x10, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xA7, 0};
    platform::TMRom(s, state_, rom);
    platform::TmexRom back{};
    platform::TMRom(s, state_, back);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(back[i], rom[i]) << i;
}

TEST(OneWireEnvironment, VariableNamesTheNetworkForEveryPort)
{
    platform::resetTmex();
    testing_support::TempDir dir;
    const auto file = dir.write("net.txt", "node 10:000000000001\ntemperature 20\n");
    ::setenv(platform::kSimNetworkVariable, file.string().c_str(), 1);
    const auto setup = platform::configureSimulatedNetworkFromEnvironment();
    EXPECT_TRUE(setup.requested);
    EXPECT_TRUE(setup.loaded);
    EXPECT_EQ(setup.message, "Simulated microLAN: net.txt");
    // Loading registers nothing; the owner (the program) serves every port with it.
    EXPECT_FALSE(platform::isSimulated(1, 3));
    ASSERT_TRUE(setup.backend);
    const platform::ScopedBackend served(-1, -1, setup.backend);
    EXPECT_TRUE(platform::isSimulated(1, 3));
    EXPECT_TRUE(platform::isSimulated(6, 1));
    ASSERT_TRUE(platform::simulatedNetwork(1, 3));
    EXPECT_EQ(platform::simulatedNetwork(1, 3)->nodes().size(), 1u);

    platform::resetTmex();
    ::setenv(platform::kSimNetworkVariable, (dir / "missing.txt").string().c_str(), 1);
    const auto bad = platform::configureSimulatedNetworkFromEnvironment();
    EXPECT_TRUE(bad.requested);
    EXPECT_FALSE(bad.loaded);
    EXPECT_FALSE(bad.backend);
    EXPECT_NE(bad.message.find("cannot read"), std::string::npos);
    EXPECT_FALSE(platform::isSimulated(1, 1));

    ::unsetenv(platform::kSimNetworkVariable);
    EXPECT_FALSE(platform::configureSimulatedNetworkFromEnvironment().requested);
    platform::resetTmex();
}

TEST(OneWireEnvironment, ReloadPlugsAndUnplugsNodesOfTheFile)
{
    platform::resetTmex();
    testing_support::TempDir dir;
    const auto file = dir.write("net.txt", "node 10:000000000001\nnode 01:000000000002\n");
    std::string error;
    ASSERT_TRUE(platform::useSimulatedNetwork(file, -1, -1, error)) << error;
    auto net = platform::simulatedNetwork(1, 1);
    auto* thermo = dynamic_cast<platform::sim::SimThermometer*>(net->nodes()[0].get());
    ASSERT_TRUE(thermo);
    thermo->setTemperature(30.0);  // state that survives the reload
    dir.write("net.txt", "node 10:000000000001\nnode 01:000000000003\n");
    ASSERT_TRUE(platform::reloadSimulatedNetworks(error)) << error;
    ASSERT_EQ(net->nodes().size(), 2u);
    EXPECT_EQ(net->nodes()[0].get(), thermo);
    EXPECT_EQ(thermo->temperature(), 30.0);
    EXPECT_EQ(net->nodes()[1]->rom(), platform::sim::RomCode::make(0x01, 3));
    platform::resetTmex();
}

TEST(OneWireEnvironment, EditedFileIsReadAgainAtTheNextSessionStart)
{
    namespace fs = std::filesystem;
    platform::resetTmex();
    testing_support::TempDir dir;
    const auto file = dir.write("net.txt", "node 23:000000000001\n");
    std::string error;
    ASSERT_TRUE(platform::useSimulatedNetwork(file, -1, -1, error)) << error;
    auto* backend = dynamic_cast<platform::SimBackend*>(platform::backendFor(kPortType, kPortNum).get());
    ASSERT_TRUE(backend);
    platform::TmexStateBuffer state;
    const std::string a = platform::sim::RomCode::make(0x23, 1).nodeId();
    const std::string b = platform::sim::RomCode::make(0x10, 2).nodeId();
    EXPECT_EQ(searchPass(state), std::vector<std::string>{a});

    auto stamp = fs::last_write_time(file);
    auto edit = [&](const std::string& text) {
        dir.write("net.txt", text);
        stamp += std::chrono::seconds(2);
        fs::last_write_time(file, stamp);
    };
    // A node plugged in through the file, then the first one unplugged.
    edit("node 23:000000000001\nnode 10:000000000002\n");
    auto pass = searchPass(state);
    std::sort(pass.begin(), pass.end());
    auto both = std::vector<std::string>{a, b};
    std::sort(both.begin(), both.end());
    EXPECT_EQ(pass, both);
    edit("node 10:000000000002\n");
    EXPECT_EQ(searchPass(state), std::vector<std::string>{b});

    // A broken edit keeps the network and says why; the next good edit clears that.
    edit("node 10:000000000002\nnode 10:000000000002\n");
    EXPECT_EQ(searchPass(state), std::vector<std::string>{b});
    EXPECT_EQ(backend->reloadError().rfind("net.txt, line 2: node ", 0), 0u) << backend->reloadError();
    EXPECT_EQ(searchPass(state), std::vector<std::string>{b});
    EXPECT_NE(backend->reloadError(), "");  // still the file's state
    // The window shows the description: it tells the user the edit was not taken.
    EXPECT_NE(backend->description().find("(edited file not loaded: net.txt, line 2"), std::string::npos) << backend->description();
    edit("node 23:000000000001\n");
    EXPECT_EQ(searchPass(state), std::vector<std::string>{a});
    EXPECT_EQ(backend->reloadError(), "");
    EXPECT_EQ(backend->description(), "Simulated microLAN: net.txt");
    platform::resetTmex();
}

} // namespace
