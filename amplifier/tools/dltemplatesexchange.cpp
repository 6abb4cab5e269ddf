// DlTemplatesModel: the exchanges with the amplifier (table read, download and its
// check). Each holds the amplifier line while it runs.

#include "amplifier/model/confitems.h"
#include "amplifier/tools/dltemplatesmodel.h"
#include "amplifier/tools/utidlist.h"
#include "core/base/message.h"
#include "core/tdl/tdlstate.h"
#include "device/amplink/linehold.h"
#include "device/amplink/peloxtransport.h"
#include "shell/jobs/jobqueue.h"

namespace amplifier {

namespace {

constexpr int kTableReplyMs = 10000;

// "@", "HEADER OFF", "TRA:TE?" and the reply line: the UTIDs the amplifier holds.
std::vector<std::string> readTable()
{
    device::Pelox_Send("@");
    device::Pelox_Send("HEADER OFF");
    device::Pelox_Send("TRA:TE?");
    std::string reply = device::Pelox_Receive(kTableReplyMs);
    std::vector<std::string> utids;
    while (!reply.empty()) {
        const auto n = leadingLong(reply);
        GetLong(reply);
        // A number beyond the 32-bit range names no template.
        if (n)
            utids.push_back(std::to_string(*n));
    }
    return utids;
}

std::string joined(const std::vector<std::string>& items, const char* separator)
{
    std::string s;
    for (const auto& i : items)
        s += (s.empty() ? "" : separator) + i;
    return s;
}

// The busy pointer on every window for the life of the object, unless it was on already.
class Hourglass {
public:
    Hourglass() : wasOn_(shell::jobQueue().HourGlass()) { shell::jobQueue().allFormsHourglass(true); }
    ~Hourglass()
    {
        if (!wasOn_)
            shell::jobQueue().allFormsHourglass(false);
    }

private:
    bool wasOn_;
};

} // namespace

void DlTemplatesModel::refuseBusyLine()
{
    core::MsgBox("The amplifier line is busy with another exchange, please try again when it has ended");
}

void DlTemplatesModel::setBusy(bool on)
{
    busy = on;
    changed();
}

void DlTemplatesModel::ReadPelox_Click()
{
    device::LineHold hold;
    if (!hold) {
        refuseBusyLine();
        return;
    }
    setBusy(true);
    clearLists();
    Do_ReadPelox_UTID_list();
    setBusy(false);
    focusAway();
}

void DlTemplatesModel::Do_ReadPelox_UTID_list()
{
    Hourglass busyPointer;
    for (const auto& u : readTable()) {
        const int t = templateOfUtid(std::stoll(u));
        if (t >= 0)
            AddTemplateToLists(t);
    }
    changed();
}

void DlTemplatesModel::Update_cmd_Click()
{
    focusAway();
    device::LineHold hold;
    if (!hold) {
        refuseBusyLine();
        return;
    }
    setBusy(true);
    {
        Hourglass busyPointer;
        Download_TemplateList();
    }
    setBusy(false);
}

bool DlTemplatesModel::Download_TemplateList()
{
    const auto& lib = core::tdlState().Templates;
    device::Pelox_Send("TRA:C");
    device::Pelox_Query_Error();
    std::vector<std::string> sent, refused;
    for (const bool firstPass : {true, false}) {
        for (std::size_t i = 0; i < TemplateNo.size(); ++i) {
            const int t = templateAt(static_cast<int>(i));
            if (t < 0 || t >= static_cast<int>(lib.size()))
                continue;
            const auto& rec = lib[static_cast<std::size_t>(t)];
            // UTIDT 0 in the first pass, 1 and up in the second; a negative one never.
            if (firstPass ? rec.UTIDT != 0 : rec.UTIDT < 1)
                continue;
            bool ok = false;
            const std::string line = lineOf(t, &ok);
            if (!ok) {
                refused.push_back(rec.name);
                continue;
            }
            device::Pelox_Send(line);
            device::Pelox_Query_Error();
            sent.push_back(rec.UTID.text());
        }
    }
    if (!refused.empty())
        core::MsgBox("These templates cannot be used by the amplifier and were not sent:\r\n" + joined(refused, "\r\n"));
    const auto held = readTable();
    if (held != sent) {
        core::MsgBox("The amplifier's template table differs from the list sent.\r\nSent: " +
                     (sent.empty() ? std::string("none") : joined(sent, ",")) + "\r\nRead back: " +
                     (held.empty() ? std::string("none") : joined(held, ",")));
        return false;
    }
    return true;
}

} // namespace amplifier
