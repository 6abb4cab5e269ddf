// PeloxModel, jobs 1 and 2: writing a sensitivity and unit into the selected channel
// and reading it back.

#include "amplifier/model/confitems.h"
#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"

#include <algorithm>

namespace amplifier {

namespace {
constexpr int kReadBackMs = 10000;
}

std::string Comma2Point(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

void PeloxModel::UpdateSens2Pelox(double value, const std::string& unit)
{
    const auto& ds = device::deviceState();
    auto* amp = amplifierState().amplifier(ds.SelectedAmplifier);
    auto* c = amp ? amp->channel(ds.SelectedChannel) : nullptr;
    // Without a selected channel there is nothing to address ("I_C_0" is no input).
    if (!c) {
        core::logTracewindow("Sensitivity not written: no channel selected");
        return;
    }
    const std::string ch = std::to_string(ds.SelectedChannel);
    device::Pelox_Send("I_C_" + ch + ":T_S " + Comma2Point(core::numeric::generalNumber(value)) + unit);
    device::Pelox_Send("I_C_" + ch + ":T_S?");
    std::string reply = device::Pelox_Receive(kReadBackMs);
    if (reply.empty()) {
        core::MsgBox("Error reading Pelox empty line received");
        return;
    }
    c->SensValue = leadingValue(GetStr(reply));
    c->Unit = reply;
    Sensitivity = core::FormatSiNumber(c->SensValue, "0.00p", false, 0);
    core::AddItemIfMissing(PeloxunitItems, c->Unit);
    PeloxunitText = c->Unit;
    // The channel's own node (a selection by number leaves the tree's selection as it was).
    if (const int index = channelNodeIndex(ds.SelectedAmplifier, ds.SelectedChannel))
        tree.setText(index, ch + ": " + c->Description + ", unit: " + c->Unit);
    Wakeup_Pelox();
    changed();
}

} // namespace amplifier
