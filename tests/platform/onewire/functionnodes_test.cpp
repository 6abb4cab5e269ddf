// DS2406 (12h) and the family-10h thermometer driven with their drivers' sequences.

#include "tmexjob.h"

#include "sim/onewire/simdualswitch.h"
#include "sim/onewire/simthermometer.h"

#include <cmath>

using namespace tmextest;
using platform::sim::SimDualSwitch;
using platform::sim::SimThermometer;

namespace {

class OneWireThermometer : public SimFixture {
protected:
    // Convert with a pull-up, read the scratchpad, apply the driver's formula.
    double readCelsius(int pullupMs, Bytes* scratch = nullptr)
    {
        Job job(state_);
        EXPECT_TRUE(job.select(id_));
        job.block({0x44});
        job.pullup(pullupMs);
        job.access();
        job.block({0xBE});
        const Bytes s = job.read(9);
        if (scratch)
            *scratch = s;
        int raw = s[0];
        if ((s[1] & 0x01) != 0)
            raw -= 256;
        double t = std::floor(raw / 2.0);
        if (s[7] != 0)
            t = t - 0.25 + static_cast<double>(s[7] - s[6]) / s[7];
        return t;
    }

    SimThermometer& node_ = add<SimThermometer>(0x10, 0x0000080C1A);
    std::string id_ = idOf(node_);
};

TEST_F(OneWireThermometer, Reads25Point0ThroughTheDriverFormula)
{
    node_.setTemperature(25.0);
    Bytes s;
    EXPECT_DOUBLE_EQ(readCelsius(512, &s), 25.0);
    EXPECT_EQ(s[0], 0x32);
    EXPECT_EQ(s[1], 0x00);
    EXPECT_EQ(s[6], 0x0C);
    EXPECT_EQ(s[7], 0x10);
    const std::vector<std::uint8_t> raw(s.begin(), s.begin() + 8);
    EXPECT_EQ(s[8], platform::sim::crc8(raw));
}

TEST_F(OneWireThermometer, TableOfTemperatures)
{
    struct Row {
        double set;
        double shown;
    } rows[] = {{-0.5, -0.5},   {-10.25, -10.25}, {0.0, 0.0},     {21.4375, 21.4375}, {85.0, 85.0},
                {-55.0, -55.0}, {125.0, 125.0},   {130.0, 125.0}, {-80.0, -55.0}};
    for (const auto& r : rows) {
        node_.setTemperature(r.set);
        EXPECT_DOUBLE_EQ(readCelsius(512), r.shown) << r.set;
    }
    // Not a number: the temperature stays as it was.
    node_.setTemperature(20.0);
    node_.setTemperature(std::nan(""));
    EXPECT_DOUBLE_EQ(readCelsius(512), 20.0);
}

TEST_F(OneWireThermometer, ShortPullupLeavesThePowerOnValue)
{
    node_.setTemperature(25.0);
    EXPECT_DOUBLE_EQ(readCelsius(100), 85.0);
    EXPECT_EQ(node_.conversions(), 0);
    node_.faults().copyNeverCompletes = true;
    EXPECT_DOUBLE_EQ(readCelsius(512), 85.0);
}

class OneWireDualSwitch : public SimFixture {
protected:
    struct Levels {
        bool a = false, b = false;
        int info = 0;
    };
    Levels readPio()
    {
        Job job(state_);
        EXPECT_TRUE(job.select(id_));
        Levels l;
        l.info = job.block({0xF5, 0xFC, 0xFF, 0xFF})[3];
        const int b = job.block({0xFF})[0];
        l.a = (b & 0x04) != 0;
        l.b = (b & 0x08) != 0;
        return l;
    }
    void setPio(bool a, bool b)
    {
        Job job(state_);
        ASSERT_TRUE(job.select(id_));
        job.block({0xF5, 0x1C, 0xFF, 0xFF});
        job.bit(a ? 1 : 0);
        job.bit(b ? 1 : 0);
    }
    Bytes readMemory()
    {
        Job job(state_);
        EXPECT_TRUE(job.select(id_));
        job.block({0xF0, 0x00, 0x00});
        return job.read(128);
    }
    Bytes status()
    {
        Job job(state_);
        EXPECT_TRUE(job.select(id_));
        job.block({0xAA, 0x00, 0x00});
        return job.read(8);
    }

    SimDualSwitch& node_ = add<SimDualSwitch>(0x12, 0x00000F00D5);
    std::string id_ = idOf(node_);
};

TEST_F(OneWireDualSwitch, ChannelOutputsAndSensedLevels)
{
    Levels l = readPio();
    EXPECT_TRUE(l.a);
    EXPECT_TRUE(l.b);
    EXPECT_EQ(l.info & 0x4F, 0x4F);  // two channels, flip-flops off, both sensed high

    setPio(true, false);
    EXPECT_TRUE(node_.flipFlopA());
    EXPECT_FALSE(node_.flipFlopB());
    l = readPio();
    EXPECT_TRUE(l.a);
    EXPECT_FALSE(l.b);
    EXPECT_EQ(l.info & 0x20, 0x20);  // B's activity latch saw the edge

    // An input pulled low from outside reads low with the output off.
    setPio(true, true);
    node_.setInputLevels(false, true);
    l = readPio();
    EXPECT_FALSE(l.a);
    EXPECT_TRUE(l.b);
}

TEST_F(OneWireDualSwitch, EpromProgrammingOnlyClearsBits)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    const int values[] = {0x12, 0x34, 0x0F};
    for (int i = 0; i < 3; ++i) {
        std::int16_t bits = 8;
        EXPECT_EQ(job.programByte(values[i], i, 0, bits, 0), 1);
        EXPECT_EQ(bits, 0);
    }
    std::int16_t bits = 8;
    EXPECT_EQ(job.programByte(0xF0, 2, 0, bits, 0), 3);  // 0Fh cannot become F0h
    EXPECT_EQ(bits, 4);
    job.end();
    const Bytes mem = readMemory();
    EXPECT_EQ(mem[0], 0x12);
    EXPECT_EQ(mem[1], 0x34);
    EXPECT_EQ(mem[2], 0x00);  // F0h AND 0Fh
    EXPECT_EQ(mem[3], 0xFF);
    EXPECT_EQ(node_.programPulses(), 4);
}

TEST_F(OneWireDualSwitch, ProgrammingNeedsThePulseAndTheRightCrc)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    // Write Memory by hand without the pulse: nothing is programmed.
    job.block({0x0F, 0x05, 0x00, 0x00});
    job.read(3);
    job.end();
    EXPECT_EQ(readMemory()[5], 0xFF);
    // A flipped bit in the CRC echo stops the programming call before the pulse.
    Job again(state_);
    ASSERT_TRUE(again.select(id_));
    again.sendHeld();
    // Access (F0h, 64 x 3 search slots, 55h, ROM), four command bytes, then the CRC.
    net_->flipBitAfter(8 + 192 + 8 + 64 + 32 + 3);
    std::int16_t bits = 8;
    EXPECT_EQ(again.programByte(0x00, 5, 0, bits, 0), 2);
    again.end();
    EXPECT_EQ(readMemory()[5], 0xFF);
}

TEST_F(OneWireDualSwitch, StatusMemoryPowerUpByteAndReadStatus)
{
    EXPECT_EQ(status(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x7F}));
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    std::int16_t bits = 8;
    // Byte 6 reads 00h: clearing bits 5 and 6 succeeds when only zeros are checked ...
    EXPECT_EQ(job.programByte(0x9F, 6, 1, bits, 1), 1);
    // ... but not when the whole byte is compared.
    bits = 8;
    EXPECT_EQ(job.programByte(0xFF, 6, 1, bits, 0), 3);
    EXPECT_EQ(bits, 8);
    // Write-protect page 3 in status byte 0, then data there cannot be programmed.
    bits = 8;
    EXPECT_EQ(job.programByte(0xF7, 0, 1, bits, 1), 1);
    bits = 8;
    EXPECT_EQ(job.programByte(0x00, 0x60, 0, bits, 0), 3);
    job.end();
    EXPECT_EQ(status()[0], 0xF7);
    EXPECT_EQ(readMemory()[0x60], 0xFF);
}

TEST_F(OneWireDualSwitch, StatusByteSevenIsRamWrittenWithAnFFByte)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0x55, 0x07, 0x00, 0x1F});  // both flip-flops on (conducting)
    job.read(2);                            // CRC16
    job.block({0xFF});
    EXPECT_EQ(job.read(1)[0], 0x1F);
    job.end();
    EXPECT_FALSE(node_.flipFlopA());
    EXPECT_FALSE(node_.flipFlopB());
    EXPECT_FALSE(readPio().a);
}

TEST_F(OneWireDualSwitch, ReadMemoryEndsWithCrc16)
{
    Job job(state_);
    ASSERT_TRUE(job.select(id_));
    job.block({0xF0, 0x7E, 0x00});
    const Bytes tail = job.read(4);
    std::vector<std::uint8_t> raw{0xF0, 0x7E, 0x00, 0xFF, 0xFF};
    const auto crc = static_cast<std::uint16_t>(~platform::sim::crc16(raw));
    EXPECT_EQ(tail[2] | (tail[3] << 8), crc);
}

} // namespace
