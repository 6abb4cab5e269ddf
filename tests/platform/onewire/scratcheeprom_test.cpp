// DS2433 (23h) and DS2431 (2Dh) driven with the memory drivers' command sequences.

#include "tmexjob.h"

#include "sim/onewire/simscratcheeprom.h"

using namespace tmextest;
using platform::sim::SimDs2431;
using platform::sim::SimDs2433;

namespace {

Bytes pageData(int page, int seed)
{
    Bytes d;
    for (int i = 0; i < 32; ++i)
        d.push_back((seed + page * 32 + i * 7) & 0xFF);
    return d;
}

// DS2433 page write: scratchpad, read back TA/E-S, copy, 6 ms pull-up, verify.
bool writeDs2433Page(platform::TmexStateBuffer& st, const std::string& id, int page, const Bytes& data,
                     int authTweak = 0)
{
    Job job(st);
    const int base = page * 32;
    const int ta1 = base & 0xFF, ta2 = base >> 8;
    if (!job.select(id))
        return false;
    job.block({0x0F, ta1, ta2});
    job.block(data);
    job.access();
    const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
    if (rs[3] != 0x1F)
        return false;
    job.access();
    job.block({0x55, rs[1], rs[2], rs[3] ^ authTweak});
    job.pullup(6);
    job.access();
    job.block({0xF0, ta1, ta2});
    return job.read(32) == data;
}

Bytes readAll(platform::TmexStateBuffer& st, const std::string& id, int size)
{
    Job job(st);
    if (!job.select(id))
        return {};
    job.block({0xF0, 0x00, 0x00});
    return job.read(size);
}

// DS2431 page write: four rows of scratchpad / read scratchpad / copy with 10 ms
// pull-up, then verify; on failure the page's protection byte is read.
struct PageOutcome {
    bool ok = false;
    int protection = -1;
    int esFailedRow = -1;
};

PageOutcome writeDs2431Page(platform::TmexStateBuffer& st, const std::string& id, int page, const Bytes& data)
{
    PageOutcome out;
    Job job(st);
    const int base = page * 32;
    if (!job.select(id))
        return out;
    for (int r = 0; r < 4; ++r) {
        const int a = base + 8 * r;
        const int ta1 = a & 0xFF, ta2 = a >> 8;
        job.access();
        job.block({0x0F, ta1, ta2});
        job.block(Bytes(data.begin() + 8 * r, data.begin() + 8 * r + 8));
        job.access();
        const Bytes rs = job.block({0xAA, ta1, ta2, 0x07});
        if (rs[3] != 0x07) {
            out.esFailedRow = r;
            return out;
        }
        job.access();
        const Bytes cp = job.block({0x55, rs[1], rs[2], rs[3]});
        job.pullup(10);
        if (cp[3] != 0x07)
            return out;
    }
    job.access();
    job.block({0xF0, base & 0xFF, 0x00});
    out.ok = job.read(32) == data;
    if (!out.ok) {
        job.access();
        job.block({0xF0, 0x80 + page, 0x00});
        out.protection = job.read(1)[0];
    }
    return out;
}

class OneWireDs2433 : public SimFixture {
protected:
    SimDs2433& node_ = add<SimDs2433>(0x23, 0x0000123456);
    std::string id_ = idOf(node_);
};

TEST_F(OneWireDs2433, WriteEveryPageThenReadBack)
{
    Bytes expected;
    for (int p = 0; p < 16; ++p) {
        const Bytes d = pageData(p, 3);
        ASSERT_TRUE(writeDs2433Page(state_, id_, p, d)) << "page " << p;
        expected.insert(expected.end(), d.begin(), d.end());
    }
    EXPECT_EQ(readAll(state_, id_, 512), expected);
    EXPECT_EQ(node_.copies(), 16);
}

TEST_F(OneWireDs2433, CopyWithWrongAuthorisationIsRefused)
{
    const Bytes before = readAll(state_, id_, 32);
    EXPECT_FALSE(writeDs2433Page(state_, id_, 0, pageData(0, 9), /*authTweak*/ 0x01));
    EXPECT_EQ(readAll(state_, id_, 32), before);
    EXPECT_EQ(node_.copies(), 0);
}

TEST_F(OneWireDs2433, ReadScratchpadShowsTargetAndFlags)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x0F, 0x26, 0x00, 0x11, 0x22});
    job.access();
    EXPECT_EQ(job.block({0xAA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), (Bytes{0xAA, 0x26, 0x00, 0x07, 0x11, 0x22}));
    // A partial byte before the reset sets PF; a copy is then refused.
    job.access();
    job.block({0x0F, 0x40, 0x00});
    job.bit(0);
    job.bit(1);
    job.access();
    const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(rs[3] & 0x20, 0x20);
    job.access();
    job.block({0x55, rs[1], rs[2], rs[3]});
    job.pullup(6);
    EXPECT_EQ(node_.copies(), 0);
}

TEST_F(OneWireDs2433, TargetAddressLosesTheBitsAboveTheMemory)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x0F, 0x26, 0xFE, 0x11});  // 0FE26h: the chip keeps 0026h
    job.access();
    const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(rs, (Bytes{0xAA, 0x26, 0x00, 0x06, 0x11}));
    job.access();
    job.block({0x55, rs[1], rs[2], rs[3]});
    job.pullup(6);
    job.end();
    EXPECT_EQ(readAll(state_, id_, 0x27)[0x26], 0x11);
}

TEST_F(OneWireDs2433, CopyInterruptedOrNeverCompletingLeavesTheMemory)
{
    // Too short a pull-up: the reset that follows cuts the copy off.
    {
        Job job(state_);
        ASSERT_TRUE(job.select(id_));
        job.block({0x0F, 0x00, 0x00});
        job.block(pageData(0, 1));
        job.access();
        const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
        job.access();
        job.block({0x55, rs[1], rs[2], rs[3]});
        job.pullup(2);
    }
    EXPECT_EQ(readAll(state_, id_, 32), Bytes(32, 0xFF));
    node_.faults().copyNeverCompletes = true;
    EXPECT_FALSE(writeDs2433Page(state_, id_, 0, pageData(0, 1)));
    EXPECT_EQ(readAll(state_, id_, 32), Bytes(32, 0xFF));
}

TEST_F(OneWireDs2433, CopyDoneReadsAlternatingBits)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x0F, 0x00, 0x00});
    job.block(pageData(0, 1));
    job.access();
    const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
    job.access();
    job.block({0x55, rs[1], rs[2], rs[3]});
    job.pullup(6);
    EXPECT_EQ(job.read(2), (Bytes{0xAA, 0xAA}));
}

TEST_F(OneWireDs2433, NodeVanishingMidReadFailsTheNextSelection)
{
    ASSERT_TRUE(writeDs2433Page(state_, id_, 1, Bytes(32, 0x00)));
    {
        Job job(state_);
        ASSERT_TRUE(job.select(id_));
        job.block({0xF0, 0x20, 0x00});
        node_.faults().vanishAfterSlots = 80;  // gone in the 11th byte
        const Bytes got = job.read(16);
        EXPECT_EQ(got[9], 0x00);
        EXPECT_EQ(got[15], 0xFF);  // the bus reads 1s once the node has gone
    }
    Job job(state_);
    EXPECT_FALSE(job.select(id_));
}

class OneWireDs2431 : public SimFixture {
protected:
    SimDs2431& node_ = add<SimDs2431>(0x2D, 0x00000ABCDE);
    std::string id_ = idOf(node_);
};

TEST_F(OneWireDs2431, WriteEveryPageThenReadBack)
{
    Bytes expected;
    for (int p = 0; p < 4; ++p) {
        const Bytes d = pageData(p, 5);
        ASSERT_TRUE(writeDs2431Page(state_, id_, p, d).ok) << "page " << p;
        expected.insert(expected.end(), d.begin(), d.end());
    }
    EXPECT_EQ(readAll(state_, id_, 128), expected);
    // Read memory runs on into the register row, then 1s.
    const Bytes all = readAll(state_, id_, 0x92);
    EXPECT_EQ(all[0x85], 0x55);
    EXPECT_EQ(all[0x90], 0xFF);
}

TEST_F(OneWireDs2431, WriteProtectedPageKeepsItsDataAndReportsTheProtection)
{
    ASSERT_TRUE(writeDs2431Page(state_, id_, 1, pageData(1, 1)).ok);
    node_.setProtection(1, SimDs2431::Protection::WriteProtected);
    const PageOutcome o = writeDs2431Page(state_, id_, 1, pageData(1, 2));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.protection, 0x55);
    const Bytes got = readAll(state_, id_, 64);
    EXPECT_EQ(Bytes(got.begin() + 32, got.end()), pageData(1, 1));
}

TEST_F(OneWireDs2431, EpromModePageOnlyClearsBits)
{
    node_.setProtection(2, SimDs2431::Protection::EpromMode);
    const Bytes first(32, 0x0F);
    ASSERT_TRUE(writeDs2431Page(state_, id_, 2, first).ok);
    const PageOutcome o = writeDs2431Page(state_, id_, 2, Bytes(32, 0xF3));
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.protection, 0xAA);
    const Bytes got = readAll(state_, id_, 96);
    EXPECT_EQ(Bytes(got.begin() + 64, got.end()), Bytes(32, 0x03));
}

TEST_F(OneWireDs2431, CopyWithWrongAuthorisationIsRefused)
{
    struct Row {
        const char* name;
        int ta1, ta2, es;  // added to what Read Scratchpad gave
    } rows[] = {{"ta1", 8, 0, 0}, {"ta2", 0, 1, 0}, {"es", 0, 0, -1}};
    for (const Row& r : rows) {
        Job job(state_);
        ASSERT_TRUE(job.select(id_));
        job.block({0x0F, 0x08, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
        job.access();
        const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
        ASSERT_EQ(rs[3], 0x07) << r.name;
        job.access();
        const Bytes cp = job.block({0x55, rs[1] + r.ta1, rs[2] + r.ta2, rs[3] + r.es});
        job.pullup(10);
        EXPECT_EQ(job.read(1)[0], 0xFF) << r.name;  // no copy: no alternating bits
        EXPECT_EQ(cp[3], rs[3] + r.es) << r.name;
        job.access();
        EXPECT_EQ(job.block({0xAA, 0xFF, 0xFF, 0xFF})[3] & 0x80, 0) << r.name;  // AA stays clear
    }
    EXPECT_EQ(node_.copies(), 0);
    EXPECT_EQ(readAll(state_, id_, 16), Bytes(16, 0xFF));
}

TEST_F(OneWireDs2431, AcceptedCopySetsTheAuthorisationFlag)
{
    ASSERT_TRUE(writeDs2431Page(state_, id_, 0, pageData(0, 4)).ok);
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    EXPECT_EQ(job.block({0xAA, 0xFF, 0xFF, 0xFF}), (Bytes{0xAA, 0x18, 0x00, 0x87}));
}

TEST_F(OneWireDs2431, RowNotStartedOnItsBoundaryCannotBeCopied)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x0F, 0x03, 0x00, 1, 2, 3, 4, 5});
    job.access();
    const Bytes rs = job.block({0xAA, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(rs[3], 0x27);  // PF set, ending offset 7
    job.access();
    job.block({0x55, rs[1], rs[2], rs[3]});
    job.pullup(10);
    EXPECT_EQ(node_.copies(), 0);
}

TEST_F(OneWireDs2431, WriteScratchpadEndsWithItsCrc)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    const Bytes cmd = {0x0F, 0x20, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    job.block(cmd);
    const Bytes crc = job.read(2);
    std::vector<std::uint8_t> raw(cmd.begin(), cmd.end());
    const auto expected = static_cast<std::uint16_t>(~platform::sim::crc16(raw));
    EXPECT_EQ(crc[0] | (crc[1] << 8), expected);
    EXPECT_EQ(job.read(1)[0], 0xFF);
}

} // namespace
