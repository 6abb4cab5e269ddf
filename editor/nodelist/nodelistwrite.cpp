// NodeListF: the checks before a node list is written, the image and the write.

#include "editor/nodelist/nodelistmodel.h"

#include "core/base/message.h"
#include "core/teds/nodelistimage.h"
#include "device/drivers/fam14.h"
#include "device/drivers/memorynode.h"
#include "device/memimage/familytable.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"
#include "platform/base/messagebox.h"
#include "shell/nodes/nodelist.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace editor {

namespace {

bool isNodeId(const std::string& s)
{
    return s.size() == 16 &&
           std::all_of(s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& s : items)
        out += (out.empty() ? "" : ", ") + (s.empty() ? std::string("(empty)") : "\"" + s + "\"");
    return out;
}

bool memoryFamily(int family)
{
    return family == device::FamilyDS2406 || family == device::FamilyDS2430A || family == device::FamilyDS2433 ||
           family == device::FamilyDS2431;
}

} // namespace

bool NodeListModel::buildImage(const std::string& targetId, int family, core::TedsBuf& image) const
{
    core::TedsBuf tb;
    tb.id = targetId;
    tb.Family = family;
    tb.DraftLayout = OldIeeeLayout;
    device::Set_Usable_Bytes(tb);
    std::vector<std::uint8_t> bytes;
    if (!core::encodeNodeList(ID_list, tb.Size, bytes))
        return false;
    tb.Bytes = std::move(bytes);
    tb.Bits.assign(static_cast<std::size_t>(tb.Size) * 8, false);
    tb.TemplateIndex = 0;
    image = std::move(tb);
    return true;
}

std::string NodeListModel::listRefusal(int family) const
{
    std::vector<std::string> bad;
    std::vector<std::string> twice;
    std::set<std::string> seen;
    for (const auto& id : ID_list) {
        if (!isNodeId(id)) {
            bad.push_back(id);
            continue;
        }
        if (!seen.insert(upper(id)).second && std::find(twice.begin(), twice.end(), upper(id)) == twice.end())
            twice.push_back(upper(id));
    }
    if (!bad.empty())
        return "Not a node ID of 16 hexadecimal characters: " + joined(bad);
    if (!twice.empty())
        return "Listed more than once: " + joined(twice);
    const int size = device::Get_Usable_Bytes(family, OldIeeeLayout);
    const int room = core::nodeListCapacity(size);
    if (static_cast<int>(ID_list.size()) > room)
        return "The nodelist holds " + std::to_string(ID_list.size()) + " node IDs, a " +
               device::familyInfo(family).chip + " holds at most " + std::to_string(room) +
               (OldIeeeLayout ? " in the IEEE P1451.4 layout" : " in the IEEE 1451.4 v 3.0 layout");
    return {};
}

bool NodeListModel::DO_PrgDevice(const std::string& id)
{
    if (ID_list.empty()) {
        core::ShowMessage("Error: No nodes in nodelist", platform::MsgOkOnly, "");
        return false;
    }
    bool otherFamily = false;
    int family = -1;
    for (const shell::TrRecord& r : shell::nodesState().TrList) {
        if (r.family != device::FamilyDS2406)
            otherFamily = true;
        if (r.id == id)
            family = r.family;
    }
    if (family < 0) {
        LogActivity("Family code not found, programming canceled");
        return false;
    }
    if (!memoryFamily(family)) {
        core::ShowMessage("No memory selected for programming", platform::MsgOkOnly, "");
        LogActivity("Writing failed");
        return false;
    }
    // Checked before anything is sent: a list the device cannot hold as given is not
    // written in part or with made-up bytes.
    if (const std::string why = listRefusal(family); !why.empty()) {
        core::ShowMessage(why, platform::MsgOkOnly, "");
        LogActivity(why);
        LogActivity("Writing failed");
        return false;
    }
    core::TedsBuf image;
    buildImage(id, family, image);

    if (family == device::FamilyDS2406 && otherFamily) {
        LogActivity("Only one node allowed when program family code 12");
        LogActivity("Writing failed");
        return false;
    }
    if (family == device::FamilyDS2430A && !allowROMprg && device::pageGeometry(family, OldIeeeLayout).RomUsed &&
        !device::fam14RegisterLocked(id).value_or(false)) {
        // Locking the application register cannot be undone: only with the box ticked.
        const std::string why = "This layout locks the application register of the DS2430A for good: "
                                "tick \"allow ROM programming\" to write it";
        core::ShowMessage(why, platform::MsgOkOnly, "");
        LogActivity(why);
        LogActivity("Writing failed");
        return false;
    }
    // The EEPROMs are written without asking; the ticked box answers the question before
    // an EPROM or an application register is programmed.
    bool confirmed = allowROMprg && (family == device::FamilyDS2406 || family == device::FamilyDS2430A);
    if (!device::Write_Node(image, confirmed)) {
        LogActivity("Writing failed");
        return false;
    }
    LogActivity("Writing nodelist succeeded");
    // The next scan finds the node again and reads what it now holds.
    shell::Remove_transducer(id);
    return true;
}

} // namespace editor
