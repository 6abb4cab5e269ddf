// PeloxModel, jobs 0, 5 and 6: the TEDS of the transducer on the selected channel, read
// by a node scan through the amplifier's 1-Wire master, shown in the TEDS group and, in
// Plug && Play mode, its sensitivity written to the channel.

#include "amplifier/model/peloxmodel.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/tedsfields.h"


namespace amplifier {

namespace {

std::string sensText(double value, const std::string& unit)
{
    return core::FormatSiNumber(value, "0.00p", false, 0) + " " + unit;
}

} // namespace

std::string peloxUnitOf(const std::string& tedsUnit)
{
    // Letter case aside: the library writes pascal as "Pa".
    const std::string u = core::upper(tedsUnit);
    if (u == "V/(M/S\xB2)")
        return "V/M/S2";
    if (u == "V/PA")
        return "V/PA";
    if (u == "V/C" || u == "V/N")
        return "V/UNIT";
    return "V/V";
}

std::string shortTedsTitle(const std::string& title)
{
    auto end = title.find(',');
    if (end == std::string::npos)
        end = title.find(' ');
    return title.substr(0, end);
}

bool PeloxModel::ReadTrTree()
{
    auto& ds = device::deviceState();
    if (ds.SelectedChannel < 1) {
        core::logTracewindow("TEDS not read: no channel selected");
        return false;
    }
    auto& q = shell::jobQueue();
    const bool hourglass = q.HourGlass();
    q.allFormsHourglass(true);
    shell::removeAllTransducers();
    if (ds.AmpAddressing)
        device::Mlan_Send("01020000");
    else
        ds.SingleNodeToggle = true;
    // A search pass lists every node once: a step that adds no record ends it, as does
    // the step limit of the queue.
    for (int step = 0; step < shell::JobQueue::kMaxScanSteps; ++step) {
        const int before = shell::TrLast();
        bool more = false;
        shell::Doscan(more);
        if (!more || shell::TrLast() <= before)
            break;
    }
    if (!hourglass)
        q.allFormsHourglass(false);
    return true;
}

bool PeloxModel::GetTeds()
{
    int count = 0;
    shell::TrRecord* teds = nullptr;
    for (auto& rec : shell::nodesState().TrList)
        if (rec.state == shell::TrStateTeds) {
            ++count;
            teds = &rec;
        }
    const bool found = count == 1 && teds->obj;
    if (found) {
        double sens = 0;
        std::string unit;
        shell::TedsFields* fields = shell::tedsFieldsOf(*teds->obj);
        TedsSensKnown = fields && fields->GetParam(sens, unit);
        TedsSens = sens;
        TedsUnit = unit;
        TedsTitle = shortTedsTitle(teds->obj->Title());
    }
    TSensitivity = TedsSensKnown ? sensText(TedsSens, TedsUnit) : "unknown";
    changed();
    return found;
}

void PeloxModel::PnP_AutoSetup()
{
    if (!GetTeds()) {
        EnableTEDS(false);
        return;
    }
    EnableTEDS(true);
    Tsens2Pelox.enabled = TedsSensKnown;
    if (ModeIndex == 0) {
        if (!TedsSensKnown) {
            // N/A or no sensitivity field: no number for the channel.
            core::logTracewindow("Sensitivity not written: the TEDS gives none");
            changed();
            return;
        }
        Sensitivity = core::FormatSiNumber(TedsSens, "0.00p", false, 0);
        TedsUnit2Pelox(TedsUnit);
        UpdateSens2Pelox(core::ParseSiNumber(Sensitivity), PeloxunitText);
    } else {
        Wakeup_Pelox();
    }
    changed();
}

void PeloxModel::setTsens(double sens, const std::string& unit)
{
    TedsSens = sens;
    TedsUnit = unit;
    TedsSensKnown = true;
    TSensitivity = sensText(sens, unit);
    changed();
}

void PeloxModel::TsensToPelox(bool force)
{
    if (!force && ModeIndex != 0)
        return;
    if (!TedsSensKnown) {
        core::logTracewindow("Sensitivity not written: the TEDS gives none");
        return;
    }
    TedsUnit2Pelox(TedsUnit);
    shell::jobQueue().Insert_In_JobQue(*this, AmplifierJob::WriteTedsSensitivity, 0LL);
}

void PeloxModel::TedsUnit2Pelox(const std::string& unit)
{
    const std::string u = peloxUnitOf(unit);
    core::AddItemIfMissing(PeloxunitItems, u);
    PeloxunitText = u;
    changed();
}

void PeloxModel::Tsens2Pelox_Click()
{
    TsensToPelox(true);
    focusAway();
}

void PeloxModel::ShowTheTEDS_Click()
{
    focusAway();
    auto& list = shell::nodesState().TrList;
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (list[k].state != shell::TrStateTeds || !list[k].obj)
            continue;
        shell::NodeWindow* w = list[k].obj.get();
        w->Inititiate(static_cast<int>(k));
        w->reqShow();
        return;
    }
}

} // namespace amplifier
