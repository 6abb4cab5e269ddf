#include "amplifier/model/channelselection.h"

#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "shell/jobs/jobqueue.h"

namespace amplifier {

namespace {

constexpr int kRootIdenMs = 500;
constexpr int kChannelIdenMs = 10000;

int tagNumber(const std::string& tag) { return static_cast<int>(core::numeric::Val(tag)); }

void sendIden(int a, int timeoutMs)
{
    device::Pelox_Send("PELOX" + std::string(a >= 0 && a < 10 ? "0" : "") + std::to_string(a) + " Iden?");
    device::Pelox_Receive(timeoutMs);
}

void showInTerminal()
{
    const auto& ds = device::deviceState();
    if (const auto& show = amplifierState().showTerminalSelection; ds.PeloxTestOpen && show)
        show(ds.SelectedAmplifier, ds.SelectedChannel);
}

} // namespace

void ChannelSelection::applyTypeSettings(int n)
{
    const auto* amp = amplifierState().amplifier(n);
    if (!amp)
        return;
    auto& st = amplifierState();
    st.Model6188 = is6188(amp->TypeText);
    m_.Tsens2PeloxCaption = st.Model6188 ? "Write Sens. to 6188" : "Write Sens. to Pelox";
    m_.Sens2PeloxCaption = st.Model6188 ? "Update 6188" : "Update Pelox";
    st.UtidFileName = st.Model6188 ? "6188_UTID.txt" : "Pelox_UTID.txt";
    st.DefaultUtidFileName = st.Model6188 ? "Default_6188_UTID.txt" : "Default_Pelox_UTID.txt";
    st.TemplatesFileName = st.Model6188 ? "6188_Templates.txt" : "Pelox_Templates.txt";
}

void ChannelSelection::click_At_PeloxTreeView()
{
    const int index = m_.tree.indexOfId(m_.ClickedNode);
    if (index == 0)
        return;
    const auto& node = m_.tree.node(index);
    auto& ds = device::deviceState();
    if (node.key.find("rootAmplifier") != std::string::npos) {
        const int a = tagNumber(node.tag);
        if (a != ds.SelectedAmplifier)
            selectAmplifierRoot(a);
    } else {
        const int parent = m_.tree.indexOfId(node.parent);
        if (parent == 0)
            return;
        selectChannel(tagNumber(m_.tree.node(parent).tag), tagNumber(node.tag), kChannelIdenMs);
    }
    channelCommon(true);
    m_.changed();
}

void ChannelSelection::selectAmplifierRoot(int a)
{
    auto& ds = device::deviceState();
    ds.SelectedAmplifier = a;
    m_.SelectedPelox = "Amplifier: " + std::to_string(a);
    sendIden(a, kRootIdenMs);
    m_.SelectedChannelText = "no channel selected";
    m_.channel.clear();
    ds.SelectedChannel = 0;
    showInTerminal();
    m_.Sensitivity = "0";
    // Nothing may be written to a channel of the amplifier selected before.
    m_.EnableChannel(false);
    m_.EnableTEDS(false);
    applyTypeSettings(a);
}

void ChannelSelection::selectChannel(int a, int ch, int idenTimeoutMs)
{
    auto& ds = device::deviceState();
    const bool otherAmplifier = a != ds.SelectedAmplifier;
    ds.SelectedAmplifier = a;
    m_.SelectedPelox = "Amplifier: " + std::to_string(a);
    ds.SelectedChannel = ch;
    showInTerminal();
    sendIden(a, idenTimeoutMs);
    auto* amp = amplifierState().amplifier(a);
    auto* c = amp ? amp->channel(ch) : nullptr;
    m_.SelectedChannelText = c ? c->Description : "";
    m_.channel = std::to_string(ch);
    m_.Sensitivity = core::FormatSiNumber(c ? c->SensValue : 0.0, "0.00p", false, 0);
    const std::string unit = c ? c->Unit : "";
    core::AddItemIfMissing(m_.PeloxunitItems, unit);
    m_.PeloxunitText = unit;
    m_.EnableChannel(true);
    if (otherAmplifier)
        applyTypeSettings(a);
}

int ChannelSelection::channelNodeIndex(const PeloxTree& tree, int a, int ch)
{
    const int root = tree.indexOfKey("rootAmplifier " + std::to_string(a));
    if (root == 0)
        return 0;
    for (int i = 1; i <= tree.count(); ++i)
        if (tree.node(i).parent == tree.node(root).id && tagNumber(tree.node(i).tag) == ch)
            return i;
    return 0;
}

bool ChannelSelection::Select_Channel(int n)
{
    // Channel n of amplifier 1 is node n + 1 of the tree a chain read leaves.
    const auto* amp = amplifierState().amplifier(1);
    const int index = n + 1;
    bool isChannel = amp && n >= 1 && n <= amp->ChannelCount && index <= m_.tree.count();
    if (isChannel) {
        const auto& node = m_.tree.node(index);
        const int parent = m_.tree.indexOfId(node.parent);
        isChannel = parent != 0 && tagNumber(m_.tree.node(parent).tag) == 1 && tagNumber(node.tag) == n;
    }
    if (!isChannel) {
        core::logTracewindow("Select_Channel: amplifier 1 has no channel " + std::to_string(n));
        return false;
    }
    selectChannel(1, n, kChannelIdenMs);
    const bool accepted = channelCommon(false);
    m_.changed();
    return accepted;
}

bool ChannelSelection::channelCommon(bool postTedsRead)
{
    auto& ds = device::deviceState();
    ds.AmpAddressing = false;
    if (ds.SelectedChannel > 0) {
        const auto* amp = amplifierState().amplifier(ds.SelectedAmplifier);
        const std::string t = amp ? amp->TypeText : "";
        const std::string ch = std::to_string(ds.SelectedChannel);
        if (is618x(t)) {
            ds.AmpAddressing = amp->FirmwareMajor >= 2 && amp->FirmwareMinor >= 0 && amp->FirmwareBuild >= 0;
            const bool accepted =
                ds.AmpAddressing || (amp->FirmwareMajor == 1 && amp->FirmwareMinor == 2 && amp->FirmwareBuild >= 16);
            device::Pelox_Send("I_C_" + ch + ":D_T_V OF");
            if (!accepted) {
                m_.focusAway();
                core::MsgBox("Pelox does not support IEEE P1451, you need a software update\r\nCurrent version " +
                             std::to_string(amp->FirmwareMajor) + "." + std::to_string(amp->FirmwareMinor) + "." +
                             std::to_string(amp->FirmwareBuild) + "\r\nRequired version 2.0.0 or later");
                return false;
            }
        }
        const bool m6188 = is6188(t);
        if (m6188) {
            ds.AmpAddressing = true;
            device::Pelox_Send("I_C_" + ch + ":D_T_C ON");
        }
        for (auto* c : {&m_.Label2, &m_.SensitivityCtl, &m_.PeloxunitCtl, &m_.Sens2Pelox, &m_.Tsens2Pelox})
            c->visible = !m6188;
        if (postTedsRead && (m_.ModeIndex == 0 || m_.ModeIndex == 1))
            shell::jobQueue().Insert_In_JobQue(m_, AmplifierJob::ReadChannelTeds, 0LL);
    }
    if (ds.SelectedAmplifier > 0)
        m_.mnuTools[0].enabled = true;
    m_.focusAway();
    return true;
}

} // namespace amplifier
