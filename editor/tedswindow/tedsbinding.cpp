#include "editor/tedswindow/tedsbinding.h"

#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/teds/nodelistimage.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "shell/nodes/nodelist.h"

#include <stdexcept>

namespace editor {

int TedsBinding::ownRecord() const
{
    const auto& list = shell::nodesState().TrList;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].id == w_.doc.TedsBuf.id)
            return static_cast<int>(i);
    return -1;
}

bool TedsBinding::nodeListed() const
{
    shell::NodeTree::Handle h = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(w_.doc.TedsBuf.id, h, found);
    return found;
}

void TedsBinding::bind(int index, std::int32_t& NodeState)
{
    try {
        shell::TrRecord* rec = shell::record(index);
        if (!rec)
            throw std::out_of_range("node index " + std::to_string(index) + " not in the node list");
        w_.nodeObject = rec->obj.get();
        if (!w_.FormLoaded)
            w_.Form_Load();
        w_.doc.LinkedToNode = true;
        w_.doc.TedsChanged = false;
        w_.UpdateMenuState();
        w_.doc.TedsBuf.id = rec->id;
        w_.doc.TedsBuf.Family = rec->family;
        if (w_.doc.TedsBuf.Status == -1)
            core::ShowMessage("Program error : form for TEDS not loaded");
        if (w_.doc.TedsBuf.Status != core::TedsStatusReadOk)
            w_.nodeIo.readWithRetry(false);
        auto& stored = editorState().NodeTeds;
        if (stored.size() <= static_cast<std::size_t>(index))
            stored.resize(static_cast<std::size_t>(index) + 1);
        stored[static_cast<std::size_t>(index)] = w_.doc.TedsBuf;
        const int status = w_.doc.TedsBuf.Status;
        if (status == core::TedsStatusReadOk || status == core::TedsStatusCrcError) {
            w_.doc.Clearfields();
            if (!matchTemplate()) {
                editorState().LastTedsBuf = w_.doc.TedsBuf;
                editorState().LastTedsRomLocked = w_.AppRomLocked;
                w_.syncDocument();
                NodeState = 1;
                return;
            }
            storeSelector();
        }
        w_.ShowForm();
        switch (status) {
        case core::TedsStatusNotRead:
        case core::TedsStatusReadError:
        case core::TedsStatusVirgin:
            NodeState = 1;
            break;
        case core::TedsStatusCrcError:
            NodeState = 2;
            break;
        case core::TedsStatusReadOk: {
            const int k = ownRecord();
            const int selector = k >= 0 ? shell::record(k)->selector : w_.doc.TedsManufacturerId;
            // Every manufacturer id a TEDS can hold is known; beyond them the memory is not defined.
            if (selector > kManufacturerIdLast) {
                NodeState = 0;
                core::ShowMessage("TEDS selector type not known : " + std::to_string(w_.doc.TedsManufacturerId));
            } else if (selector == 1) {
                NodeState = 4;
            } else if (selector >= 16) {
                NodeState = 3;
            }
            break;
        }
        default:
            break;
        }
    } catch (const core::ProgramEnd&) {
        throw;
    } catch (const std::exception& e) {
        core::logTracewindow(std::string("Error in Sub 'Inititiate' of TedsF: ") + e.what());
    }
}

bool TedsBinding::matchTemplate()
{
    int t = w_.doc.ActualTemplate();
    const bool found = w_.doc.GetTemplate(t);
    w_.doc.setActualTemplate(t);
    if (!found) {
        w_.doc.Title = kTemplateNotFound;
        w_.syncDocument();
    }
    return found;
}

void TedsBinding::storeSelector()
{
    // Only the record of this very node: a node that is gone changes no other record.
    const int k = ownRecord();
    if (k >= 0)
        shell::record(k)->selector = w_.doc.TedsManufacturerId;
}

void TedsBinding::makeNodeList()
{
    auto& out = shell::nodesState().Node_list;
    out.clear();
    const core::DecodedNodeList list = core::decodeNodeList(w_.doc.TedsBuf.Bytes, w_.doc.TedsBuf.Size);
    if (!list.header || w_.doc.TedsBuf.Status == core::TedsStatusCrcError) {
        core::ShowMessage("Error in Nodelist - TEDS form");
        return;
    }
    for (const auto& id : list.ids)
        if (id != w_.doc.TedsBuf.id)
            out.push_back(id);
    if (list.truncated)
        core::ShowMessage("The node list names " + std::to_string(list.count - 1) + " further nodes; its memory holds " +
                          std::to_string(list.ids.size()) + ".");
}

} // namespace editor
