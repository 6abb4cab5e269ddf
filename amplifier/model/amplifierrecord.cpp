#include "amplifier/model/amplifierrecord.h"

#include "shell/state/shelllayer.h"

namespace amplifier {

namespace {
AmplifierState state_;

struct CodeRow {
    const char* code;
    const char* description;
};
constexpr CodeRow kCodes[] = {
    {"CC1", "Coravex"},
    {"CC1_L", "Coravex"},
    {"P1", "Microphone preamp."},
    {"P1_L", "Microphone preamp. low noise"},
    {"C1", "Charge"},
    {"I1", "Intensity"},
};
} // namespace

AmplifierState& amplifierState() { return state_; }
void resetAmplifierState() { state_ = AmplifierState{}; }

void resetAmplifierLayer()
{
    shell::resetShellLayer();
    resetAmplifierState();
}

bool is6188(const std::string& typeText) { return typeText.find("6188") != std::string::npos; }

bool is618x(const std::string& t)
{
    return t == "Type 6180" || t == "Type 6181" || t == "Type 6182" || t == "Type 6183";
}

bool is6188Variant(const std::string& t) { return t == "ZQ6188A" || t == "ZQ6188B" || t == "ZQ6188C" || t == "ZQ6188D"; }

std::string inputDescription(const std::string& inputCode)
{
    for (const auto& r : kCodes)
        if (inputCode == r.code)
            return r.description;
    return inputCode;
}

} // namespace amplifier
