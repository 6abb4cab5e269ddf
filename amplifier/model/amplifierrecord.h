#pragma once
// What the amplifiers of the chain reported, one record per amplifier, and the
// module-level values of the amplifier window that later windows read (the template
// download takes the file names and the 16-channel flag). The selection itself
// (SelectedAmplifier, SelectedChannel, AmplifierCount, AmpAddressing) lives in
// device::deviceState(), where the transport reads it.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace amplifier {

constexpr int kMaxChannels = 16;

struct AmplifierChannelRecord {
    std::string Description;
    std::string Unit;       // as the amplifier reports it, or "n/a"
    std::string InputCode;  // the first configuration item up to its first blank
    std::string ConfItem2, ConfItem3, ConfItem4;
    double SensValue = 0;
};

struct AmplifierRecord {
    std::string SerialNumber;
    std::int16_t ConfValue1 = 0, ConfValue2 = 0, ConfValue3 = 0;
    std::int16_t FirmwareMajor = 0, FirmwareMinor = 0, FirmwareBuild = 0;
    std::int16_t ChannelCount = 0;  // 0 .. kMaxChannels
    std::string TypeText;
    // Index 1 .. kMaxChannels; entry 0 is never used.
    std::array<AmplifierChannelRecord, kMaxChannels + 1> Channels{};

    AmplifierChannelRecord* channel(int ch) { return ch >= 1 && ch <= kMaxChannels ? &Channels[ch] : nullptr; }
};

struct AmplifierState {
    // Entry n = amplifier n; entry 0 is never filled.
    std::vector<AmplifierRecord> Amplifiers = std::vector<AmplifierRecord>(1);
    bool Model6188 = false;
    std::string UtidFileName = "Pelox_UTID.txt";
    std::string DefaultUtidFileName = "Default_Pelox_UTID.txt";
    std::string TemplatesFileName = "Pelox_Templates.txt";
    // The terminal, once loaded (PeloxTestOpen), shows the selected amplifier and channel.
    std::function<void(int amplifier, int channel)> showTerminalSelection;

    // Amplifier n, or nullptr when there is no entry n (or n is 0).
    AmplifierRecord* amplifier(int n)
    {
        return n >= 1 && n < static_cast<int>(Amplifiers.size()) ? &Amplifiers[static_cast<std::size_t>(n)] : nullptr;
    }
};

AmplifierState& amplifierState();
void resetAmplifierState();
// The amplifier state after every state of the layers below (shell, device, core, platform).
void resetAmplifierLayer();

// The type text of the 16-channel model: it contains "6188".
bool is6188(const std::string& typeText);
// "Type 6180" to "Type 6183", exactly.
bool is618x(const std::string& typeText);
// "ZQ6188A" to "ZQ6188D", exactly.
bool is6188Variant(const std::string& typeText);

// The display description of an input code: "CC1"/"CC1_L" "Coravex", "P1" "Microphone
// preamp.", "P1_L" "Microphone preamp. low noise", "C1" "Charge", "I1" "Intensity",
// any other code itself.
std::string inputDescription(const std::string& inputCode);

} // namespace amplifier
