// TedsF: the raw memory view, the information window, the node-list display and reading.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/teds/memoryfile.h"
#include "core/teds/nodelistimage.h"
#include "editor/infowindow/tedsinfof.h"
#include "editor/model/fulltedslisting.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/memorytexts.h"
#include "platform/qt/cp1252.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"

#include <QLabel>

namespace editor {

void TedsF::ShowUnknownTemplate()
{
    const MemberScope running(*this);
    core::TedsBuf copy;
    bool locked = AppRomLocked;
    if (doc.TedsBuf.Size < 1) {
        copy = editorState().LastTedsBuf;
        locked = editorState().LastTedsRomLocked;
    } else {
        doc.updatebuf();
        syncDocument();
        copy = doc.TedsBuf;
    }
    const RawViewHeader h = rawViewHeader(copy.Family, copy.DraftLayout, locked);
    core::MemoryDumpText(h.text, copy, h.bitCount, h.withRom);
}

void TedsF::UpdateInfo()
{
    TedsInfoF info(this);
    info.fill(tedsInfoFor(doc.ActualTemplate(), ActualNodeID, platform::toCp1252(info.Note->text())));
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    runModal(info);
    q.StartJobQue();
}

void TedsF::ShowNodeList()
{
    menus.hideForNodeList();
    syncMenus();
    core::BytesToBits(doc.TedsBuf);
    const core::DecodedNodeList list = core::decodeNodeList(doc.TedsBuf.Bytes, doc.TedsBuf.Size, kRowCount - 1);
    const int count = list.count;

    shell::NodeTree::Handle h = shell::NodeTree::None;
    bool found = false;
    shell::NodeInList(doc.TedsBuf.id, h, found);
    auto& tree = shell::nodesState().tree;
    if (found && tree.exists(h) && tree.node(h).parent != shell::NodeTree::None)
        doc.Title = tree.node(tree.node(h).parent).text + " (Nodelist)";
    else
        doc.Title = "Node lost";

    // This window's own pseudo template: the library's spare entry is shared by all.
    const int shownIds = static_cast<int>(list.ids.size());
    nodeListTemplate = core::TemplateRecord{};
    nodeListTemplate.name = doc.Title;
    nodeListTemplate.fieldLast = shownIds;
    nodeListTemplate.selectorLast = -1;
    nodeListTemplate.groupLast = -1;
    nodeListTemplate.abstractCount = 0;
    // The bits the image holds: the header and 64 per listed node.
    nodeListTemplate.lengthBits = 24 + 64 * shownIds;
    for (int f = 0; f <= shownIds && f < core::kFieldsMax; ++f)
        nodeListTemplate.fields[static_cast<std::size_t>(f)].access = 3;

    for (auto& r : doc.rows)
        r = TedsRow{};
    doc.rows[0].caption = "No. of nodes in transducer";
    doc.rows[0].value = std::to_string(count);
    doc.rows[0].visible = true;
    for (int i = 1; i <= shownIds; ++i) {
        auto& r = doc.rows[static_cast<std::size_t>(i)];
        r.caption = "Node no. " + std::to_string(i + 1) + ",  Node ID:";
        r.value = list.ids[static_cast<std::size_t>(i - 1)];
        r.visible = true;
    }
    doc.setNodeIdText(doc.TedsBuf.id);
    doc.NodeIdTooltip = "Nodelist's node ID";
    doc.NodeIdLocked = true;
    doc.CrcCaption = doc.TedsBuf.Status == core::TedsStatusCrcError ? "Failed" : "OK";
    syncDocument();
    if (list.truncated)
        core::ShowMessage("The node list names " + std::to_string(std::max(count - 1, 0)) + " further nodes; " +
                          std::to_string(shownIds) + " are shown.");
}

std::vector<std::string> TedsF::appendFullTEDS(bool prefix) { return editor::appendFullTEDS(doc, prefix); }

void TedsF::MakeNodeListfrombuf()
{
    auto& out = shell::nodesState().Node_list;
    out.clear();
    const core::DecodedNodeList list = core::decodeNodeList(doc.TedsBuf.Bytes, doc.TedsBuf.Size);
    if (!list.header || doc.TedsBuf.Status == core::TedsStatusCrcError) {
        core::ShowMessage("Error in Nodelist - TEDS form");
        return;
    }
    for (const auto& id : list.ids)
        if (id != doc.TedsBuf.id)
            out.push_back(id);
    if (list.truncated)
        core::ShowMessage("The node list names " + std::to_string(list.count - 1) + " further nodes; its memory holds " +
                          std::to_string(list.ids.size()) + ".");
}

} // namespace editor
