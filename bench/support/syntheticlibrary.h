#pragma once
// A synthetic template library for the parse benchmarks: 1000 templates of the shipped
// library's kind (Basic TEDS, cases, 20 fields, tail, user text). Header only.

#include "core/base/textfile.h"
#include "core/tdl/templateparser.h"

#include <iterator>
#include <string>
#include <vector>

namespace bench_support {

inline std::string syntheticLibrary(int templates = 1000)
{
    std::vector<std::string> lines{core::kDescriptionLanguageVersion};
    const char* body[] = {
        "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER", "%Model,\"Model number\",ID,15,UNINT,\"0\"",
        "%VersionLetter,\"Version letter\",ID,5,CHR5", "%VersionNumber,\"Version number\",ID,6,UNINT,\"0\"",
        "%SerialNumber,\"Serial number\",ID,24,UNINT,\"0\"", "SPACING", "SELECTOR 2,0"};
    for (int n = 0; n < templates; ++n) {
        lines.push_back("TEMPLATE Synthetic template " + std::to_string(n));
        lines.push_back("UTIDT 2");
        lines.push_back("ABSTRACT Synthetic template");
        lines.push_back("ABSTRACT Number " + std::to_string(n));
        lines.insert(lines.end(), std::begin(body), std::end(body));
        lines.push_back("SELECTOR 8," + std::to_string(n % 250));
        lines.push_back("SELECTOR 6," + std::to_string(n / 250));
        for (int f = 0; f < 5; ++f) {
            lines.push_back("%MinPhysVal,\"Minimum physical value\",CAL,32,SINGLE,\"\",\"V\"");
            lines.push_back("%SensorImped,\"Impedance\",ID,18,CONRES,1,0.1,\"rp\",\"Ohm\"");
            lines.push_back("%RespTime,\"Response time\",ID,6,CONRELRES,1E-6,0.15,\"rp\",\"s\"");
            lines.push_back("%BridgeType,\"Bridge type\",ID,2,UNINT,\"0\"");
        }
        lines.push_back("SPACING");
        lines.push_back("%CalDate,\"Calibration date\",CAL,16,DATE");
        lines.push_back("%CalInitials,\"Calibration initials\",CAL,15,CHR5");
        lines.push_back("SELECTOR 2,3");
        lines.push_back("SELECTOR 1,1");
        lines.push_back("%UserData,\"User data\",USR,70,ASCII-7BIT");
        lines.push_back("ENDTEMPLATE");
    }
    lines.push_back("END");
    return core::joinCrLf(lines);
}

} // namespace bench_support
