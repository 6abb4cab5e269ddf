#include "server/engine/keywordtable.h"

#include "server/engine/keywords.h"

#include <algorithm>
#include <iterator>

namespace server {

namespace {

namespace k = keywords;

constexpr KeywordRow rows[] = {
    // The request itself.
    {"REQUESTDATETIME", k::requestDateTime},
    {"ALLOWROMPROGRAMMING", k::allowRomProgramming},
    {"VERSION", k::version},
    {"CLEARLOG", k::clearLog},
    {"EXIT", k::exitProgram},
    {"", k::ignore},
    // Node selection.
    {"FAMILY", k::family},
    {"NODE", k::device},
    {"DEVICE", k::device},
    {"ULANID", k::nodeId},
    {"NODEID", k::nodeId},
    {"UTID", k::utid},
    // TEDS.
    {"READTEDS", k::readTeds},
    {"LISTFULLTEDS", k::listFullTeds},
    {"WRITETEDS", k::writeTeds},
    {"DELETE_MEMORY", k::deleteMemory},
    // The node-list generator.
    {"CLEARNODELIST", k::clearNodeList},
    {"ADDNODE", k::addNode},
    {"ADDNODES", k::addNodes},
    {"READNODES", k::readNodes},
    {"LISTNODELIST", k::listNodeList},
    {"WRITENODELIST", k::writeNodeList},
    {"SHOWNODELIST", k::showNodeList},
    // Channels: the amplifier's was selected before the run (selectChannelFirst).
    {"SELECT_CHANNEL", k::ignore},
    {"READ_DS2406_PIO", k::readPio},
    {"SET_DS2406_PIOAB_00", k::setPio00},
    {"SET_DS2406_PIOAB_01", k::setPio01},
    {"SET_DS2406_PIOAB_10", k::setPio10},
    {"SET_DS2406_PIOAB_11", k::setPio11},
};

} // namespace

std::span<const KeywordRow> keywordRows() { return rows; }

const KeywordRow* findKeyword(std::string_view keyword)
{
    const auto it = std::find_if(std::begin(rows), std::end(rows), [keyword](const KeywordRow& r) { return r.keyword == keyword; });
    return it == std::end(rows) ? nullptr : it;
}

} // namespace server
