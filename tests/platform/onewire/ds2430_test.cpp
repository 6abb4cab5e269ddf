// DS2430A (14h) driven with the memory driver's command sequences.

#include "tmexjob.h"

#include "sim/onewire/simds2430.h"

using namespace tmextest;
using platform::sim::SimDs2430;

namespace {

class OneWireDs2430 : public SimFixture {
protected:
    int status(Job& job) { return job.block({0x66, 0x00, 0xFF})[2]; }

    // 32-byte write: status, scratchpad, copy with A5h and a 128 ms pull-up.
    bool writeShort(const Bytes& data, int key = 0xA5)
    {
        Job job(state_);
        if (!job.select(id_))
            return false;
        job.block({0x66, 0x00});
        const bool locked = job.block({0xFF})[0] == 0xFC;
        job.access();
        job.block({0x0F, 0x00});
        job.block(data);
        job.access();
        job.block({0x55, key});
        job.pullup(128);
        return !locked;
    }

    // 40-byte write: register, scratchpad, copy, then copy & lock.
    void writeFull(const Bytes& reg, const Bytes& data)
    {
        {
            Job job(state_);
            ASSERT_TRUE(job.select(id_));
            job.block({0x66, 0x00});
            job.block({0xFF});
            job.access();
            job.block({0x99, 0x00});
            job.block(reg);
            job.access();
            job.block({0x0F, 0x00});
            job.block(data);
            job.access();
            job.block({0x55, 0xA5});
            job.pullup(128);
        }
        Job job(state_);
        ASSERT_TRUE(job.select(id_));
        if (status(job) != 0xFC) {
            job.access();
            job.block({0x5A, 0xA5});
        }
    }

    struct Image {
        int status = 0;
        Bytes reg;
        Bytes data;
    };
    Image read(bool full)
    {
        Image im;
        Job job(state_);
        if (!job.select(id_))
            return im;
        im.status = status(job);
        if (full || im.status == 0xFC) {
            job.access();
            job.block({0xC3, 0x00});
            im.reg = job.read(8);
        }
        job.access();
        job.block({0xF0, 0x00});
        im.data = job.read(32);
        return im;
    }

    SimDs2430& node_ = add<SimDs2430>(0x14, 0x0000017A98B);
    std::string id_ = idOf(node_);
};

Bytes ramp(int start, int n)
{
    Bytes b;
    for (int i = 0; i < n; ++i)
        b.push_back((start + i * 3) & 0xFF);
    return b;
}

TEST_F(OneWireDs2430, ShortImageWriteAndReadBack)
{
    ASSERT_TRUE(writeShort(ramp(1, 32)));
    const Image im = read(false);
    EXPECT_EQ(im.status, 0xFF);
    EXPECT_TRUE(im.reg.empty());
    EXPECT_EQ(im.data, ramp(1, 32));
}

TEST_F(OneWireDs2430, CopyWithWrongKeyIsRefused)
{
    ASSERT_TRUE(writeShort(ramp(1, 32)));
    writeShort(ramp(100, 32), 0xA4);
    EXPECT_EQ(read(false).data, ramp(1, 32));
}

TEST_F(OneWireDs2430, RegisterLockHoldsTheRegisterForGood)
{
    writeFull(ramp(7, 8), ramp(50, 32));
    clock_.advance(std::chrono::milliseconds(10));  // the line stays high after the job
    const Image im = read(true);
    EXPECT_EQ(im.status, 0xFC);
    EXPECT_EQ(im.reg, ramp(7, 8));
    EXPECT_EQ(im.data, ramp(50, 32));
    EXPECT_TRUE(node_.locked());

    // Writing the register again is lost; a second lock does nothing.
    writeFull(ramp(200, 8), ramp(50, 32));
    clock_.advance(std::chrono::milliseconds(10));
    EXPECT_EQ(read(true).reg, ramp(7, 8));
}

TEST_F(OneWireDs2430, UnlockedRegisterReadsItsScratchpad)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x99, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    job.access();
    EXPECT_EQ(job.block({0xC3, 0x06, 0xFF, 0xFF, 0xFF})[2], 7);
    // A reset straight after Copy & Lock cuts the lock off.
    job.access();
    job.block({0x5A, 0xA5});
    job.access();
    EXPECT_EQ(status(job), 0xFF);
    EXPECT_FALSE(node_.locked());
}

TEST_F(OneWireDs2430, ReadMemoryLoadsTheScratchpadAndWraps)
{
    ASSERT_TRUE(writeShort(ramp(1, 32)));
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0xF0, 0x1E});
    EXPECT_EQ(job.read(3), (Bytes{ramp(1, 32)[30], ramp(1, 32)[31], ramp(1, 32)[0]}));
    job.access();
    job.block({0xAA, 0x00});
    EXPECT_EQ(job.read(32), ramp(1, 32));
}

} // namespace
