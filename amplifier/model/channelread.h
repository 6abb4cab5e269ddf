#pragma once
// The channels of an identified amplifier read over the line: the input code and items
// of each channel from the rest of its "conf?" answer, the 6188's transducer search
// (its other inputs off while it looks), and each channel's description, sensitivity and
// unit ("t_s?"). The amplifier must be the one addressed.

#include "amplifier/model/amplifierrecord.h"

#include <string>
#include <vector>

namespace amplifier {

class ChannelRead {
public:
    // reply: what is left of the "conf?" answer after the channel count. Every unit read
    // is added to units unless it is there already.
    static void readChannels(AmplifierRecord& amp, std::string& reply, std::vector<std::string>& units);

private:
    static void readConfItems(AmplifierRecord& amp, std::string& reply);
    static void setUpChannels6188(const AmplifierRecord& amp);
    static void readSensitivities(AmplifierRecord& amp, std::vector<std::string>& units);
};

} // namespace amplifier
