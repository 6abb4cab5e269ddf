#pragma once
// A template definition as an amplifier reads it from a "TRA:TE" command:
//   DQUOTE utid "," n2 "," ... "," n12 [ "," n13 "," n14 ] DQUOTE "," p1 "," p2 "," unit
// 12 integers (14 with the serial-number field of the 16-channel model), two numbers
// with "." as decimal point, and a unit code: V/M/S2, V/PA, V/UNIT or V/V.

#include <optional>
#include <string>
#include <vector>

namespace platform::sim {

struct TemplateDefinition {
    std::vector<long long> integers;  // the quoted list; [0] is the UTID
    double p1 = 0, p2 = 0;
    std::string unit;
    std::string utidText() const { return integers.empty() ? "" : std::to_string(integers[0]); }
};

// nullopt when args break the grammar.
std::optional<TemplateDefinition> parseTemplateDefinition(const std::string& args);

} // namespace platform::sim
