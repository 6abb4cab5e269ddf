#pragma once
// Jobs 0, 5 and 6 of the amplifier window: the TEDS of the transducer on the selected
// channel, read by a node scan through the amplifier's 1-Wire master, shown in the TEDS
// group and, in Plug && Play mode, its sensitivity written to the channel.

#include <string>

namespace amplifier {

class PeloxModel;

class AmplifierTedsRead {
public:
    explicit AmplifierTedsRead(PeloxModel& model) : m_(model) {}
    AmplifierTedsRead(const AmplifierTedsRead&) = delete;
    AmplifierTedsRead& operator=(const AmplifierTedsRead&) = delete;

    // Empties the node list and scans the selected channel's 1-Wire network until the
    // pass ends. False when no channel is selected.
    bool ReadTrTree();
    // Takes the TEDS found and, in Plug && Play mode, writes its sensitivity into the
    // channel.
    void PnP_AutoSetup();
    // Title and sensitivity of the one node with a TEDS; false when there is none or
    // more than one.
    bool GetTeds();
    // Shows the TEDS window of the (first) node with a TEDS.
    void ShowTheTEDS();

private:
    PeloxModel& m_;
};

// The amplifier unit for a TEDS unit, letter case aside: "V/(m/s\xB2)" "V/M/S2", "V/PA"
// "V/PA", "V/C" and "V/N" "V/UNIT", anything else "V/V".
std::string peloxUnitOf(const std::string& tedsUnit);
// A TEDS title as the window shows it: up to its first ",", else up to its first blank.
std::string shortTedsTitle(const std::string& title);

} // namespace amplifier
