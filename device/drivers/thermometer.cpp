#include "device/drivers/thermometer.h"

#include "core/numeric/numberformat.h"
#include "device/drivers/busblock.h"
#include "device/onewire/byteio.h"
#include "device/onewire/session.h"

#include <cmath>

namespace device {

namespace {

// Long enough for the slowest family 10h chip (DS18S20: 750 ms; DS1820: 500 ms): a
// conversion cut short leaves the old reading (85 C after power-up) in the scratchpad.
constexpr int ConversionPullupMs = 750;

} // namespace

bool scratchpadValid(const Scratchpad& s)
{
    const ByteArray bytes(s.begin(), s.end());
    return crc8(bytes, 0, 7) == s[8];
}

TemperatureReading temperatureFrom(const Scratchpad& s)
{
    TemperatureReading r;
    r.scratchpad = s;
    int raw = s[0];
    if ((s[1] & 0x01) != 0)
        raw -= 256;
    double t = std::floor(raw / 2.0);
    if (s[7] != 0)
        t = t - 0.25 + static_cast<double>(s[7] - s[6]) / s[7];
    r.celsius = t;
    r.fahrenheit = t * 9 / 5 + 32;
    r.ok = true;
    return r;
}

TemperatureReading Read_Temperature(const std::string& RomId)
{
    TemperatureReading failed;
    if (!openNode(RomId))
        return failed;
    Touch_Byte_Pullup(0x44, ConversionPullupMs);
    uLAN_Access();
    Touch_Byte(0xBE);
    MemImage buffer;
    buffer.Data.assign(9, 0);
    readData(buffer, 0, 8);
    // A shorted line reads nine 00h bytes, whose CRC is right: the node is asked again.
    bool ioError = ioFailed();
    if (!ioError && mayBeCut(buffer.Data, 0, 8) && !stillPresent())
        ioError = true;
    uLAN_End();

    Scratchpad s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = buffer.Data[i];
    failed.scratchpad = s;
    if (ioError || !scratchpadValid(s))
        return failed;
    return temperatureFrom(s);
}

std::string temperatureCaption(double value, char unit)
{
    return core::numeric::Format(value, "0.0") + "\xB0" + std::string(1, unit);
}

} // namespace device
