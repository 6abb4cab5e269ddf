#include "amplifier/model/amplifiertedsread.h"

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

bool AmplifierTedsRead::ReadTrTree()
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

bool AmplifierTedsRead::GetTeds()
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
        m_.TedsSensKnown = fields && fields->GetParam(sens, unit);
        m_.TedsSens = sens;
        m_.TedsUnit = unit;
        m_.TedsTitle = shortTedsTitle(teds->obj->Title());
    }
    m_.TSensitivity = m_.TedsSensKnown ? sensitivityText(m_.TedsSens, m_.TedsUnit) : "unknown";
    m_.changed();
    return found;
}

void AmplifierTedsRead::PnP_AutoSetup()
{
    if (!GetTeds()) {
        m_.EnableTEDS(false);
        return;
    }
    m_.EnableTEDS(true);
    m_.Tsens2Pelox.enabled = m_.TedsSensKnown;
    if (m_.ModeIndex == 0) {
        if (!m_.TedsSensKnown) {
            // N/A or no sensitivity field: no number for the channel.
            core::logTracewindow("Sensitivity not written: the TEDS gives none");
            m_.changed();
            return;
        }
        m_.Sensitivity = core::FormatSiNumber(m_.TedsSens, "0.00p", false, 0);
        m_.TedsUnit2Pelox(m_.TedsUnit);
        m_.UpdateSens2Pelox(core::ParseSiNumber(m_.Sensitivity), m_.PeloxunitText);
    } else {
        m_.Wakeup_Pelox();
    }
    m_.changed();
}

void AmplifierTedsRead::ShowTheTEDS()
{
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
