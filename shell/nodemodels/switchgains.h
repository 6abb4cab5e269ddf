#pragma once
// The switch window's reading of a switched-gain transducer's TEDS: user data, whether
// a multiplexer sits behind the switch, the default gain, and the captions and
// sensitivities of the four switch positions built from the low and high gain fields.

#include <array>
#include <optional>
#include <string>

namespace shell {

class TedsFields;

struct SwitchTedsInfo {
    bool hasUserData = false;
    std::string userData;
    bool hasInfo = false;        // "Supports multiplexer" or "Default gain" found
    bool multiplexer = false;
    bool gainsFound = false;     // both "Low Gain" and "High Gain" found
    // New captions of SW_select(0 .. 3); nullopt keeps the caption shown.
    std::array<std::optional<std::string>, 4> captions{};
    std::array<double, 4> sensitivity{};  // only positions 1 and 2 are filled
    std::string unit;
};

// Design captions of the four positions.
const std::array<std::string, 4>& designPositionCaptions();

// Reads the fields through f (the template library gives titles, units and formats).
SwitchTedsInfo readSwitchTedsInfo(TedsFields& f);

} // namespace shell
