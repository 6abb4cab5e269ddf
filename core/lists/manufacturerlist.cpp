#include "core/lists/manufacturerlist.h"

#include "core/base/message.h"
#include "core/lists/listfile.h"
#include "core/lists/listsstate.h"
#include "core/numeric/numberrules.h"

#include <cstdint>
#include <optional>

namespace core {

namespace {

const char* const kHeader = "Manufacturer List Description Version 0.2";

// The id before the entry's comma: a whole number (halves to even), blanks allowed.
std::optional<std::int32_t> parseId(const std::string& text)
{
    const auto v = numeric::parseNumber(text, false);
    return v ? numeric::CLng(*v) : std::nullopt;
}

} // namespace

void ReadManufacturerList(const std::filesystem::path& path, ManufacturerListModel& list)
{
    const auto lines = listfile::readOrEnd(path);
    if (lines.empty() || lines[0].find(kHeader) == std::string::npos)
        listfile::wrongVersion("Manufacturer List", path);

    auto& ids = listsState().ManufacturerIds;
    for (int k = 17; k <= kManufacturerIdsLast; ++k)
        ids[static_cast<std::size_t>(k)] = -1;

    int n = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (listfile::skipped(line))
            continue;
        if (n > kManufacturerIdsLast) {
            MsgBox("Too many entries in manufacturer list file: " + path.string() + "\r\n" + "only the first " +
                   std::to_string(kManufacturerIdsLast + 1) + " are used");
            break;
        }
        const auto comma = line.find(',');
        const auto id = comma == std::string::npos ? std::nullopt : parseId(line.substr(0, comma));
        if (!id) {
            MsgBox("Error in manufacturer list file: " + path.string() + " near line : " + std::to_string(i + 1) +
                   "\r\n" + line + "\r\n" + "line ignored");
            continue;
        }
        const auto start = line.find_first_not_of(' ', comma + 1);
        list.AddItem(start == std::string::npos ? std::string() : line.substr(start));
        ids[static_cast<std::size_t>(n)] = *id;
        ++n;
    }
    if (list.ListCount() > 0)
        list.setListIndex(0);
}

} // namespace core
