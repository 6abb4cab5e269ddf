#include "amplifier/model/sensitivitytransfer.h"

#include "amplifier/model/confitems.h"
#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "shell/jobs/jobqueue.h"

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

std::string sensitivityText(double value, const std::string& unit)
{
    return core::FormatSiNumber(value, "0.00p", false, 0) + " " + unit;
}

void SensitivityTransfer::setTsens(double sens, const std::string& unit)
{
    m_.TedsSens = sens;
    m_.TedsUnit = unit;
    m_.TedsSensKnown = true;
    m_.TSensitivity = sensitivityText(sens, unit);
    m_.changed();
}

void SensitivityTransfer::TsensToPelox(bool force)
{
    if (!force && m_.ModeIndex != 0)
        return;
    if (!m_.TedsSensKnown) {
        core::logTracewindow("Sensitivity not written: the TEDS gives none");
        return;
    }
    m_.TedsUnit2Pelox(m_.TedsUnit);
    shell::jobQueue().Insert_In_JobQue(m_, AmplifierJob::WriteTedsSensitivity, 0LL);
}

void SensitivityTransfer::TedsUnit2Pelox(const std::string& unit)
{
    const std::string u = peloxUnitOf(unit);
    core::AddItemIfMissing(m_.PeloxunitItems, u);
    m_.PeloxunitText = u;
    m_.changed();
}

void SensitivityTransfer::UpdateSens2Pelox(double value, const std::string& unit)
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
    m_.Sensitivity = core::FormatSiNumber(c->SensValue, "0.00p", false, 0);
    core::AddItemIfMissing(m_.PeloxunitItems, c->Unit);
    m_.PeloxunitText = c->Unit;
    // The channel's own node (a selection by number leaves the tree's selection as it was).
    if (const int index = ChannelSelection::channelNodeIndex(m_.tree, ds.SelectedAmplifier, ds.SelectedChannel))
        m_.tree.setText(index, ch + ": " + c->Description + ", unit: " + c->Unit);
    m_.Wakeup_Pelox();
    m_.changed();
}

} // namespace amplifier
