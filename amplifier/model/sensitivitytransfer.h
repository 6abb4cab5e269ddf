#pragma once
// Jobs 1 and 2 of the amplifier window: a sensitivity and unit written into the selected
// channel and read back, and the transducer sensitivity (from the TEDS or handed in)
// that job 2 writes.

#include <string>

namespace amplifier {

class PeloxModel;

class SensitivityTransfer {
public:
    explicit SensitivityTransfer(PeloxModel& model) : m_(model) {}
    SensitivityTransfer(const SensitivityTransfer&) = delete;
    SensitivityTransfer& operator=(const SensitivityTransfer&) = delete;

    // A transducer sensitivity handed in (the switch window's gain positions).
    void setTsens(double sens, const std::string& unit);
    // Posts job 2 with the transducer sensitivity; without force only in Plug && Play
    // mode.
    void TsensToPelox(bool force);
    // Selects the amplifier unit for a TEDS unit.
    void TedsUnit2Pelox(const std::string& unit);
    // Writes value and unit into the selected channel and shows what the amplifier reads
    // back; refused while no channel is selected.
    void UpdateSens2Pelox(double value, const std::string& unit);

private:
    PeloxModel& m_;
};

// The text with every "," turned into ".".
std::string Comma2Point(std::string text);
// A sensitivity as the window shows it: the number with its SI prefix, then the unit.
std::string sensitivityText(double value, const std::string& unit);

} // namespace amplifier
