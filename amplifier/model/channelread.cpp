#include "amplifier/model/channelread.h"

#include "amplifier/model/confitems.h"
#include "core/base/message.h"
#include "device/amplink/peloxtransport.h"

namespace amplifier {

namespace {
constexpr int kReplyMs = 10000;
}

void ChannelRead::readChannels(AmplifierRecord& amp, std::string& reply, std::vector<std::string>& units)
{
    readConfItems(amp, reply);
    if (is6188Variant(amp.TypeText))
        setUpChannels6188(amp);
    readSensitivities(amp, units);
}

void ChannelRead::readConfItems(AmplifierRecord& amp, std::string& reply)
{
    const bool fourItems = is618x(amp.TypeText);
    for (int ch = 1; ch <= amp.ChannelCount; ++ch) {
        auto& c = *amp.channel(ch);
        const std::string item = GetStr(reply);
        c.InputCode = item.substr(0, item.find(' '));
        c.ConfItem2 = GetStr(reply);
        if (fourItems) {
            c.ConfItem3 = GetStr(reply);
            c.ConfItem4 = GetStr(reply);
        }
    }
}

void ChannelRead::setUpChannels6188(const AmplifierRecord& amp)
{
    // Inputs other than the transducer inputs are switched off while the amplifier
    // looks for its transducers.
    auto pass = [&](const char* command) {
        for (int ch = 1; ch <= amp.ChannelCount; ++ch) {
            const auto& code = amp.Channels[static_cast<std::size_t>(ch)].InputCode;
            if (code == "CC1" || code == "CC1_L" || code == "P1" || code == "P1_L")
                continue;
            device::Pelox_Send("I_C_" + std::to_string(ch) + command);
            device::Pelox_Receive(kReplyMs);
        }
    };
    pass(":di");
    device::Pelox_Send("A_I_C:t_i");
    device::Pelox_Receive(kReplyMs);
    pass(":en");
}

void ChannelRead::readSensitivities(AmplifierRecord& amp, std::vector<std::string>& units)
{
    for (int ch = 1; ch <= amp.ChannelCount; ++ch) {
        auto& c = *amp.channel(ch);
        c.Description = inputDescription(c.InputCode);
        device::Pelox_Send("I_C_" + std::to_string(ch) + ":t_s?");
        std::string reply = device::Pelox_Receive(kReplyMs);
        c.SensValue = leadingValue(GetStr(reply));
        c.Unit = reply.empty() ? "n/a" : reply;
        core::AddItemIfMissing(units, c.Unit);
    }
}

} // namespace amplifier
