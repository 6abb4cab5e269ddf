// PeloxModel: loading, the job dispatcher, menus, the tree helpers and the
// demonstration tree.

#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "shell/jobs/jobqueue.h"

namespace amplifier {

namespace {

constexpr const char* kUnits[] = {"C/M/S2", "C/G", "C/N", "V/M/S2", "V/G", "V/PA", "V/UNIT", "V/V", "C/U"};

std::string rootKey(int n) { return "rootAmplifier " + std::to_string(n); }

} // namespace

PeloxModel::PeloxModel(PeloxView* view) : view_(view) {}

PeloxModel::~PeloxModel() { detachFromQueue(); }

void PeloxModel::Form_Load()
{
    HelpContextID = 28;
    mnuMode[1].checked = true;
    mnuMode[2].visible = false;
    ModeIndex = 1;
    PeloxunitItems.assign(std::begin(kUnits), std::end(kUnits));
    auto& st = amplifierState();
    st.UtidFileName = "Pelox_UTID.txt";
    st.TemplatesFileName = "Pelox_Templates.txt";
    mnuTools[0].enabled = false;
    EnableChannel(false);
    EnableTEDS(false);
    shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::ReadChain, 0LL);
    changed();
}

void PeloxModel::DoJob()
{
    auto& q = shell::jobQueue();
    if (q.JobQueLast() < 0)
        return;
    const auto& head = q.head();
    const auto job = static_cast<unsigned>(head.subno);
    switch (job) {
    case AmplifierJob::PlugAndPlaySetup:
        PnP_AutoSetup();
        break;
    case AmplifierJob::WriteTypedSensitivity:
        UpdateSens2Pelox(core::ParseSiNumber(Sensitivity), PeloxunitText);
        break;
    case AmplifierJob::WriteTedsSensitivity:
        if (TedsSensKnown)
            UpdateSens2Pelox(TedsSens, PeloxunitText);
        else
            core::logTracewindow("Sensitivity not written: the TEDS gives none");
        break;
    case AmplifierJob::ReadChain:
        ReadPeloxConfig();
        break;
    case AmplifierJob::SelectClickedNode:
        click_At_PeloxTreeView();
        break;
    case AmplifierJob::ReadTedsTitle:
        GetTeds();
        break;
    case AmplifierJob::ReadChannelTeds:
        if (ReadTrTree())
            PnP_AutoSetup();
        break;
    case AmplifierJob::RunTool:
        DoTools(static_cast<int>(shell::paramAsInteger(head.param)));
        break;
    default:
        core::MsgBox("No such job in PeloxF");
        break;
    }
}

void PeloxModel::Refresh() { changed(); }

void PeloxModel::mnuPelox_Click() { shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::ReadChain, 0LL); }

void PeloxModel::mnuMode_Click(int index)
{
    switch (index) {
    case 0:
    case 1:
        Modetext = index == 0 ? "Plug && Play" : "Manual";
        mnuMode[0].checked = index == 0;
        mnuMode[1].checked = index == 1;
        ModeIndex = index;
        break;
    case 2:
        buildDemonstrationTree();
        break;
    default:
        return;
    }
    changed();
}

void PeloxModel::mnuTools_Click(int index) { shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::RunTool, static_cast<long long>(index)); }

void PeloxModel::PeloxTreeView_NodeClick(int index)
{
    if (index < 1 || index > tree.count())
        return;
    ClickedNode = tree.node(index).id;
    tree.selectedId = ClickedNode;
    shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::SelectClickedNode, static_cast<long long>(index));
    changed();
}

void PeloxModel::ReadTeds_Click()
{
    shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::ReadChannelTeds, 0LL);
    focusAway();
}

void PeloxModel::Sens2Pelox_Click()
{
    shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::WriteTypedSensitivity, 0LL);
    focusAway();
}

void PeloxModel::Tsens2Pelox_Click()
{
    TsensToPelox(true);
    focusAway();
}

void PeloxModel::ShowTheTEDS_Click()
{
    focusAway();
    tedsRead_.ShowTheTEDS();
}

void PeloxModel::InsertPeloxroot(int n, const std::string& description)
{
    if (n < 0)
        return;
    const int index = tree.addRoot(rootKey(n), "Amplifier " + std::to_string(n) + ": " + description, std::to_string(n));
    if (index != 0)
        LastNode = tree.node(index).id;
    amplifierState().Amplifiers.resize(static_cast<std::size_t>(n) + 1);
    changed();
}

void PeloxModel::InsertPeloxCh(int amplifierNo, int channelNo, const std::string& description, const std::string& unit)
{
    auto* amp = amplifierState().amplifier(amplifierNo);
    auto* ch = amp ? amp->channel(channelNo) : nullptr;
    if (!ch)
        return;
    ch->Description = description;
    ch->Unit = unit;
    device::deviceState().AmplifierCount = amplifierNo;
    const int index = tree.addChild(rootKey(amplifierNo),
                                    std::to_string(channelNo) + ": " + description + ", unit: " + unit,
                                    std::to_string(channelNo));
    if (index != 0)
        LastNode = tree.node(index).id;
    changed();
}

void PeloxModel::EnableTEDS(bool on)
{
    ReadTeds.enabled = on;
    Tsens2Pelox.enabled = on;
    ShowTheTEDS.enabled = on;
    if (!on) {
        TedsTitle.clear();
        TSensitivity = "unknown";
    }
    changed();
}

void PeloxModel::EnableChannel(bool on)
{
    SensitivityCtl.enabled = on;
    PeloxunitCtl.enabled = on;
    Sens2Pelox.enabled = on;
    changed();
}

void PeloxModel::DoTools(int item)
{
    if (item != 0)
        return;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    view_->showDownloadWindow(device::deviceState().SelectedAmplifier);
    q.StartJobQue();
}

void PeloxModel::ClearDB()
{
    amplifierState().Amplifiers.assign(1, AmplifierRecord{});
    auto& ds = device::deviceState();
    ds.SelectedChannel = 0;
    ds.SelectedAmplifier = 0;
    ds.AmplifierCount = 0;
    while (tree.count() > 0)
        tree.remove(1);
    ClickedNode = 0;
    LastNode = 0;
    EnableChannel(false);
    EnableTEDS(false);
}

void PeloxModel::buildDemonstrationTree()
{
    ClearDB();
    for (int a = 1; a <= 3; ++a)
        InsertPeloxroot(a, "Type 6180");
    for (int a = 1; a <= 3; ++a) {
        InsertPeloxCh(a, 1, "Coravex", "mv/(m/s2)");
        InsertPeloxCh(a, 2, "Coravex", "mv/(m/s2)");
        InsertPeloxCh(a, 3, "Coravex", "mV/PA");
        InsertPeloxCh(a, 4, "Microphone", "mV/PA");
        tree.visibleId = LastNode;
    }
    focusAway();
    changed();
}

void PeloxModel::Wakeup_Pelox() { device::Pelox_Send("MLAN OFF"); }

} // namespace amplifier
