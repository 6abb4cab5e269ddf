#pragma once
// Family 10h thermometer (DS1820 / DS18S20): Convert T 44h, Read Scratchpad BEh.
// Parasite powered: the conversion needs the line held high for the conversion time
// (DS1820 500 ms, DS18S20 750 ms); cut short, the scratchpad keeps its old value
// (85 C after power-up).

#include "sim/onewire/simnode.h"

namespace platform::sim {

class SimThermometer final : public SimNode {
public:
    enum class Chip { DS1820, DS18S20 };
    static constexpr Micros kDs1820Conversion{500000};
    static constexpr Micros kDs18s20Conversion{750000};

    explicit SimThermometer(RomCode rom);
    std::string typeName() const override { return chip_ == Chip::DS18S20 ? "DS18S20" : "DS1820"; }
    // The chip, with its conversion time.
    void setChip(Chip c);
    Chip chip() const { return chip_; }

    // The temperature the next conversion measures (-55 .. +125 C; NaN is ignored).
    void setTemperature(double celsius);
    double temperature() const { return temperature_; }
    void setConversionTime(Micros t) { conversionTime_ = t; }
    Micros conversionTime() const { return conversionTime_; }
    // Scratchpad as it reads now: temperature LSB, MSB, TH, TL, 2 reserved, count remain,
    // count per degree, CRC8.
    std::array<std::uint8_t, 9> scratchpad() const { return scratchpad_; }
    int conversions() const { return conversions_; }

    // The scratchpad bytes a conversion at celsius gives (CRC included).
    static std::array<std::uint8_t, 9> scratchpadFor(double celsius, std::uint8_t th, std::uint8_t tl);

protected:
    void onByte(std::uint8_t b) override;
    void operationDone(int op) override;

private:
    double temperature_ = 25.0;
    Chip chip_ = Chip::DS1820;
    Micros conversionTime_{kDs1820Conversion};
    std::array<std::uint8_t, 9> scratchpad_{};
    int conversions_ = 0;
};

} // namespace platform::sim
