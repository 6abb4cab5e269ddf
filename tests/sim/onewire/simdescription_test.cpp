// The network description text and TEDS memory files as node contents.

#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simds2430.h"
#include "sim/onewire/simnetwork.h"
#include "sim/onewire/simscratcheeprom.h"
#include "sim/onewire/simtedsimage.h"
#include "sim/onewire/simthermometer.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sys/stat.h>
#include <set>

using namespace platform::sim;

namespace {

template <class T>
T* nodeAs(SimNetwork& net, std::size_t i)
{
    return dynamic_cast<T*>(net.nodes().at(i).get());
}

int pageSum(const std::vector<std::uint8_t>& m, std::size_t page, std::size_t size = 32)
{
    return std::accumulate(m.begin() + static_cast<std::ptrdiff_t>(page * size),
                           m.begin() + static_cast<std::ptrdiff_t>((page + 1) * size), 0) % 256;
}

TEST(SimDescription, EveryStatement)
{
    SimNetwork net;
    const std::string text =
        "# demo\n"
        "NODE 10:000000000001\r\n"
        "  temperature -12.5\n"
        "  conversion 200\n"
        "node 12:000000000002   # switch\n"
        "  inputs 0 1\n"
        "  flipflops 1 0\n"
        "  status 0 FE\n"
        "  powered\n"
        "  memory 10 AABB CC\n"
        "node 14:000000000003\n"
        "  register 0102030405060708\n"
        "  locked\n"
        "  memory 0 11 22\n"
        "node 2D:000000000004\n"
        "  protect 1 write\n"
        "  protect 2 eprom\n"
        "  memory 7E 01 02\n"
        "node 23:000000000005\n"
        "  memory 1FF 77\n"
        "node 01:000000000006\n";
    std::string error;
    ASSERT_TRUE(net.loadDescription(text, ".", error)) << error;
    ASSERT_EQ(net.nodes().size(), 6u);
    auto* t = nodeAs<SimThermometer>(net, 0);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->temperature(), -12.5);
    EXPECT_EQ(t->conversionTime(), std::chrono::milliseconds(200));
    auto* sw = nodeAs<SimDualSwitch>(net, 1);
    ASSERT_TRUE(sw);
    EXPECT_FALSE(sw->sensedA());
    EXPECT_FALSE(sw->sensedB());
    EXPECT_TRUE(sw->flipFlopA());
    EXPECT_EQ(sw->status()[0], 0xFE);
    EXPECT_EQ(sw->status()[7] & 0x80, 0x80);
    EXPECT_EQ(sw->memory()[0x12], 0xCC);
    auto* app = nodeAs<SimDs2430>(net, 2);
    ASSERT_TRUE(app);
    EXPECT_TRUE(app->locked());
    EXPECT_EQ(app->appRegister()[7], 0x08);
    EXPECT_EQ(app->memory()[1], 0x22);
    auto* d2431 = nodeAs<SimDs2431>(net, 3);
    ASSERT_TRUE(d2431);
    EXPECT_EQ(d2431->protection(1), SimDs2431::Protection::WriteProtected);
    EXPECT_EQ(d2431->protection(2), SimDs2431::Protection::EpromMode);
    EXPECT_EQ(d2431->memory()[0x7F], 0x02);
    EXPECT_EQ(nodeAs<SimDs2433>(net, 4)->memory()[0x1FF], 0x77);
    EXPECT_EQ(net.nodes()[5]->typeName(), "ROM only");
}

TEST(SimDescription, ErrorsNameTheLineAndChangeNothing)
{
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        {"memory 0 00\n", "line 1: 'memory' before the first node"},
        {"node 10:1\nfoo 1\n", "line 2: unknown keyword 'foo'"},
        {"node 10:1\nlocked\n", "line 2: 'locked' does not apply to a DS1820 node"},
        {"node 23:1\nmemory 1FF 00 00\n", "line 2: memory beyond the end of the node's memory"},
        {"node 23:1\nmemory 0 0\n", "line 2: expected: memory <hex address> <hex bytes>"},
        {"node 10:1\nnode 10:1\n", "line 2: node "},
        {"node 0000000000000010\n", "line 1: node id '0000000000000010' has a wrong CRC (the id would be "},
        {"node 123\n", "line 1: node id '123' is not 16 hex digits"},
        {"node 2D:1\nprotect 4 write\n", "line 2: expected: protect <page 0..3> open|write|eprom"},
        {"node 01:1\nmemory 0 00\n", "line 2: a ROM only node has no memory"},
        // Addresses so large that address + count wraps around.
        {"node 23:1\nmemory FFFFFFFFFFFFFFFF 00 00\n", "line 2: memory beyond the end of the node's memory"},
        {"node 12:1\nstatus FFFFFFFFFFFFFFFF 00\n", "line 2: status beyond address 7"},
        {"node 10:1\ntemperature nan\n", "line 2: expected: temperature <number>"},
        {"node 10:1\nconversion 1e300\n", "line 2: expected: conversion <number>"},
        {"node 10:1\nconversion -1\n", "line 2: expected: conversion <number>"},
    };
    for (const auto& r : rows) {
        SimNetwork net;
        net.addNode(makeNode(RomCode::make(0x01, 0x42)));
        std::string error;
        EXPECT_FALSE(net.loadDescription(r.text, ".", error)) << r.text;
        EXPECT_EQ(error.rfind(r.error, 0), 0u) << error;
        EXPECT_EQ(net.nodes().size(), 1u);
    }
}

TEST(SimDescription, ReloadKeepsStateOfNodesStillListed)
{
    testing_support::TempDir dir;
    const auto file = dir.write("n.txt", "node 23:1\nmemory 0 01\nnode 01:2\n");
    SimNetwork net;
    std::string error;
    ASSERT_TRUE(net.loadFile(file, error)) << error;
    auto* eeprom = nodeAs<SimDs2433>(net, 0);
    eeprom->memory()[5] = 0x55;  // written while the program ran
    dir.write("n.txt", "node 01:3\nnode 23:1\nmemory 0 02\n");
    ASSERT_TRUE(net.reload(error)) << error;
    ASSERT_EQ(net.nodes().size(), 2u);
    EXPECT_EQ(nodeAs<SimDs2433>(net, 1), eeprom);
    EXPECT_EQ(eeprom->memory()[0], 0x01);
    EXPECT_EQ(eeprom->memory()[5], 0x55);
    EXPECT_EQ(net.nodes()[0]->rom(), RomCode::make(0x01, 3));

    dir.write("n.txt", "garbage\n");
    EXPECT_FALSE(net.reload(error));
    EXPECT_EQ(error, "n.txt, line 1: 'garbage' before the first node");
    EXPECT_EQ(net.nodes().size(), 2u);
}

TEST(SimDescription, ReloadIfChangedFollowsTheFileWriteTime)
{
    namespace fs = std::filesystem;
    testing_support::TempDir dir;
    const auto file = dir.write("n.txt", "node 01:1\n");
    SimNetwork net;
    std::string error;
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Unchanged);  // no file yet
    ASSERT_TRUE(net.loadFile(file, error)) << error;
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Unchanged);

    // Each edit gets a later write time, whatever the file system's resolution.
    auto stamp = fs::last_write_time(file);
    auto edit = [&](const std::string& text) {
        dir.write("n.txt", text);
        stamp += std::chrono::seconds(2);
        fs::last_write_time(file, stamp);
    };
    edit("node 01:1\nnode 01:2\n");
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Reloaded);
    EXPECT_EQ(net.nodes().size(), 2u);
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Unchanged);

    edit("node 01:2\nbroken\n");
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Failed);
    EXPECT_EQ(error, "n.txt, line 2: unknown keyword 'broken'");
    EXPECT_EQ(net.nodes().size(), 2u);  // as it was
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Unchanged);  // tried once per change

    edit("node 01:2\n");
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Reloaded);
    ASSERT_EQ(net.nodes().size(), 1u);
    EXPECT_EQ(net.nodes()[0]->rom(), RomCode::make(0x01, 2));

    fs::remove(file);
    EXPECT_EQ(net.reloadIfChanged(error), SimNetwork::Reload::Failed);
    EXPECT_EQ(net.nodes().size(), 1u);
}

std::string tdsFile(const std::string& standard, int n, int first)
{
    std::string s = "Memory Fileformat 1.2\r\n0000000000000000\r\n" + standard + "\r\n";
    char buf[16];
    for (int i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "&H%02X\r\n", (first + i) & 0xFF);
        s += buf;
    }
    return s;
}

TEST(SimTedsFiles, PacksIntoCheckedPages)
{
    testing_support::TempDir dir;
    dir.write("a.tds", tdsFile("IEEE 1451.4", 124, 1));
    dir.write("b.tds", tdsFile("IEEE P1451.4", 116, 1));
    dir.write("c.tds", tdsFile("IEEE 1451.4", 39, 1));
    dir.write("d.tds", tdsFile("IEEE P1451.4", 31, 1));
    SimNetwork net;
    std::string error;
    ASSERT_TRUE(net.loadDescription("node 2D:1\ntds a.tds\nnode 12:2\ntds b.tds\nnode 14:3\ntds c.tds\n"
                                    "node 14:4\ntds d.tds\nnode 23:5\ntds a.tds\n",
                                    dir.path(), error))
        << error;
    const auto& a = nodeAs<SimDs2431>(net, 0)->memory();
    for (std::size_t p = 0; p < 4; ++p)
        EXPECT_EQ(pageSum(a, p), 0) << p;
    EXPECT_EQ(a[1], 1);     // TEDS byte 1 at page byte 2
    EXPECT_EQ(a[32 + 1], 32);
    EXPECT_EQ(a[127], 124);

    const auto& b = nodeAs<SimDualSwitch>(net, 1)->memory();
    std::vector<std::uint8_t> bv(b.begin(), b.end());
    for (std::size_t p = 0; p < 4; ++p)
        EXPECT_EQ(pageSum(bv, p), 0) << p;
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(bv[static_cast<std::size_t>(i)], 0xFF);
    EXPECT_EQ(bv[9], 1);      // page byte 10
    EXPECT_EQ(bv[127], 116);  // last byte of page 4

    auto* c = nodeAs<SimDs2430>(net, 2);
    EXPECT_TRUE(c->locked());
    EXPECT_EQ(c->appRegister()[7], 8);
    EXPECT_EQ(c->memory()[1], 9);
    int sum = 0;
    for (auto v : c->appRegister())
        sum += v;
    for (auto v : c->memory())
        sum += v;
    EXPECT_EQ(sum % 256, 0);

    auto* d = nodeAs<SimDs2430>(net, 3);
    EXPECT_FALSE(d->locked());
    std::vector<std::uint8_t> dv(d->memory().begin(), d->memory().end());
    EXPECT_EQ(pageSum(dv, 0), 0);
    EXPECT_EQ(dv[1], 1);

    const auto& e = nodeAs<SimDs2433>(net, 4)->memory();
    for (std::size_t p = 0; p < 16; ++p)
        EXPECT_EQ(pageSum(e, p), 0) << p;
    EXPECT_EQ(e[4 * 32], 0x1F);  // a page of FFh gets checksum 1Fh
}

TEST(SimTedsFiles, OlderFormatsAndErrors)
{
    TedsFileImage im;
    ASSERT_TRUE(readTedsFile("Memory Fileformat 1.1\r\nid\r\n1\r\n0\r\n&H0A\r\n11,12\r\n", im));
    EXPECT_FALSE(im.draftLayout);
    EXPECT_EQ(im.bytes.size(), 496u);
    EXPECT_EQ(im.bytes[0], 10);
    EXPECT_EQ(im.bytes[2], 12);
    EXPECT_EQ(im.bytes[3], 0xFF);
    ASSERT_TRUE(readTedsFile("Memory Fileformat 1.0\n0\n0\n&H01\n", im));
    EXPECT_TRUE(im.draftLayout);
    EXPECT_EQ(im.bytes[0], 1);
    ASSERT_TRUE(readTedsFile("&H7C\n&H02\n", im));  // header-less: first line skipped
    EXPECT_EQ(im.bytes[0], 2);
    EXPECT_FALSE(readTedsFile("Memory Fileformat 9\n", im));
    EXPECT_FALSE(readTedsFile("Memory Fileformat 1.2\nid\nIEEE 1451.4\n&H1FF\n", im));
    EXPECT_FALSE(packTeds(0x10, im.bytes, false));

    SimNetwork net;
    std::string error;
    EXPECT_FALSE(net.loadDescription("node 23:1\ntds nowhere.tds\n", ".", error));
    EXPECT_EQ(error.rfind("line 2: cannot read", 0), 0u) << error;
}

// Only regular files of a bounded size are read: no device, no pipe, no huge file.
TEST(SimTedsFiles, OnlySmallRegularFilesAreRead)
{
    testing_support::TempDir dir;
    const auto fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    dir.write("big.tds", std::string((1 << 20) + 1, '\n'));
    dir.write("small.tds", "Memory Fileformat 1.2\nid\nIEEE 1451.4\n&H01\n" + std::string((1 << 20) - 60, '\n'));
    struct Row {
        std::string file;
        const char* why;
    };
    const Row rows[] = {{"/dev/zero", "(not a regular file)"}, {"/dev/stdin", "(not a regular file)"},
                        {fifo.string(), "(not a regular file)"}, {"big.tds", "(larger than 1048576 bytes)"},
                        {dir.path().string(), "(not a regular file)"}};
    for (const Row& r : rows) {
        SimNetwork net;
        std::string error;
        EXPECT_FALSE(net.loadDescription("node 23:1\ntds " + r.file + "\n", dir.path(), error)) << r.file;
        EXPECT_EQ(error.rfind("line 2: cannot read ", 0), 0u) << error;
        EXPECT_NE(error.find(r.why), std::string::npos) << error;
        EXPECT_FALSE(net.loadFile(r.file[0] == '/' ? std::filesystem::path(r.file) : dir / r.file, error)) << r.file;
        EXPECT_NE(error.find(r.why), std::string::npos) << error;
    }
    SimNetwork net;
    std::string error;
    EXPECT_TRUE(net.loadDescription("node 23:1\ntds small.tds\n", dir.path(), error)) << error;
}

} // namespace

namespace {

TEST(SimDemoNetwork, ShippedFileHasEveryFamilyWithCheckedPages)
{
    SimNetwork net;
    std::string error;
    ASSERT_TRUE(net.loadFile(testing_support::dataDir() / "demo-network.txt", error)) << error;
    std::set<int> families;
    for (const auto& n : net.nodes()) {
        families.insert(n->rom().family());
        EXPECT_TRUE(n->rom().crcValid());
        std::vector<std::uint8_t> mem;
        if (auto* e = dynamic_cast<SimScratchEeprom*>(n.get()))
            mem.assign(e->memory().begin(), e->memory().begin() + (n->rom().family() == 0x23 ? 512 : 128));
        else if (auto* s = dynamic_cast<SimDualSwitch*>(n.get()))
            mem.assign(s->memory().begin(), s->memory().end());
        else if (auto* a = dynamic_cast<SimDs2430*>(n.get()))
            mem.assign(a->memory().begin(), a->memory().end());
        for (std::size_t p = 0; p < mem.size() / 32; ++p)
            EXPECT_EQ(pageSum(mem, p), 0) << n->typeName() << " page " << p;
    }
    EXPECT_EQ(families, (std::set<int>{0x01, 0x10, 0x12, 0x14, 0x23, 0x2D}));
}

} // namespace
