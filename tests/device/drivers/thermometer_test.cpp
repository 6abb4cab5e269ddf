// The thermometer: the temperature of a scratchpad, its CRC, and the conversion on
// the simulated network.
#include "driverfixture.h"

#include "device/drivers/thermometer.h"
#include "sim/onewire/simthermometer.h"

using namespace drivertest;
using platform::sim::SimThermometer;

namespace {

// A scratchpad with its CRC.
device::Scratchpad pad(int lsb, int msb, int countRemain, int countPerDegree)
{
    device::Scratchpad s{static_cast<std::uint8_t>(lsb), static_cast<std::uint8_t>(msb), 0x4B, 0x46, 0xFF, 0xFF,
                         static_cast<std::uint8_t>(countRemain), static_cast<std::uint8_t>(countPerDegree), 0};
    s[8] = platform::sim::crc8(s.data(), 8);
    return s;
}

struct Row {
    const char* name;
    device::Scratchpad s;
    double celsius;
    double fahrenheit;
    const char* textC;
    const char* textF;
};

void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

class Temperature : public ::testing::TestWithParam<Row> {};

TEST_P(Temperature, ValueAndCaptions)
{
    const Row& r = GetParam();
    ASSERT_TRUE(device::scratchpadValid(r.s));
    const device::TemperatureReading t = device::temperatureFrom(r.s);
    EXPECT_TRUE(t.ok);
    EXPECT_DOUBLE_EQ(t.celsius, r.celsius);
    EXPECT_DOUBLE_EQ(t.fahrenheit, r.fahrenheit);
    EXPECT_EQ(device::temperatureCaption(t.celsius, 'C'), r.textC);
    EXPECT_EQ(device::temperatureCaption(t.fahrenheit, 'F'), r.textF);
}

INSTANTIATE_TEST_SUITE_P(
    Scratchpads, Temperature,
    ::testing::Values(Row{"TwentyFive", pad(0x32, 0x00, 0x0C, 0x10), 25.0, 77.0, "25.0\xB0" "C", "77.0\xB0" "F"},
                      Row{"CountPerDegreeZero", pad(0x33, 0x00, 0x0C, 0x00), 25.0, 77.0, "25.0\xB0" "C", "77.0\xB0" "F"},
                      Row{"Refined", pad(0x32, 0x00, 0x08, 0x10), 25.25, 77.45, "25.3\xB0" "C", "77.5\xB0" "F"},
                      Row{"MinusOneHalfDegree", pad(0xFF, 0xFF, 0x0C, 0x00), -1.0, 30.2, "-1.0\xB0" "C", "30.2\xB0" "F"},
                      Row{"MinusTwoHalves", pad(0xFE, 0x01, 0x0C, 0x10), -1.0, 30.2, "-1.0\xB0" "C", "30.2\xB0" "F"},
                      Row{"MinusTwentyFive", pad(0xCE, 0xFF, 0x0C, 0x10), -25.0, -13.0, "-25.0\xB0" "C", "-13.0\xB0" "F"},
                      Row{"Zero", pad(0x00, 0x00, 0x0C, 0x10), 0.0, 32.0, "0.0\xB0" "C", "32.0\xB0" "F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemperatureCrc, EveryFlippedBitOfTheScratchpadIsCaught)
{
    const device::Scratchpad good = pad(0x32, 0x00, 0x0C, 0x10);
    for (std::size_t i = 0; i < good.size(); ++i)
        for (int bit = 0; bit < 8; ++bit) {
            device::Scratchpad bad = good;
            bad[i] = static_cast<std::uint8_t>(bad[i] ^ (1 << bit));
            EXPECT_FALSE(device::scratchpadValid(bad)) << i << " " << bit;
        }
    device::Scratchpad none;
    none.fill(0xFF);  // nobody answered
    EXPECT_FALSE(device::scratchpadValid(none));
}

class Thermometer : public DriverFixture {
protected:
    SimThermometer& node = add<SimThermometer>(0x10);
};

TEST_F(Thermometer, ConvertsAndReads)
{
    for (double t : {25.0, -10.5, 85.0}) {
        node.setTemperature(t);
        const device::TemperatureReading r = device::Read_Temperature(node.rom().nodeId());
        ASSERT_TRUE(r.ok) << t;
        EXPECT_NEAR(r.celsius, t, 0.5) << t;
        EXPECT_DOUBLE_EQ(r.fahrenheit, r.celsius * 9 / 5 + 32);
        const auto s = node.scratchpad();
        EXPECT_TRUE(std::equal(s.begin(), s.end(), r.scratchpad.begin()));
    }
    EXPECT_EQ(node.conversions(), 3);
    EXPECT_EQ(events(platform::sim::BusEvent::StrongPullup), 3);
}

TEST_F(Thermometer, ADs18s20GetsItsWholeConversionTimeAndNeverShowsThePowerUpValue)
{
    node.setChip(SimThermometer::Chip::DS18S20);
    node.setTemperature(23.5);
    const device::TemperatureReading r = device::Read_Temperature(node.rom().nodeId());
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(r.celsius, 23.5, 0.1);
    EXPECT_EQ(node.conversions(), 1);
    EXPECT_EQ(node.typeName(), "DS18S20");
}

TEST_F(Thermometer, BadCrcOrAbsentNodeIsAFailedReading)
{
    node.setTemperature(25.0);
    ASSERT_TRUE(device::Read_Temperature(node.rom().nodeId()).ok);
    net->clearTranscript();
    ASSERT_TRUE(device::Read_Temperature(node.rom().nodeId()).ok);
    const long long b = slotAfter({0xBE, 0xFF}, 0, 3);
    ASSERT_GT(b, 0);

    net->flipBitAfter(b + 1);
    EXPECT_FALSE(device::Read_Temperature(node.rom().nodeId()).ok);

    const auto rom = node.rom();  // node goes with its removal
    net->removeNode(rom);
    EXPECT_FALSE(device::Read_Temperature(rom.nodeId()).ok);
    EXPECT_TRUE(box.shown.empty());
}

} // namespace
