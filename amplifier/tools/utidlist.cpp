#include "amplifier/tools/utidlist.h"

#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"

#include <cmath>
#include <limits>

namespace amplifier {

std::optional<std::int32_t> leadingLong(const std::string& text)
{
    const double v = core::numeric::roundHalfEven(core::numeric::Val(std::string_view(text).substr(0, text.find(','))));
    if (std::isnan(v) || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::optional<std::vector<std::int32_t>> readUtidFile(const std::filesystem::path& path)
{
    const auto lines = core::readLines(path);
    if (!lines || lines->empty() || lines->front() != kUtidFileHeader)
        return std::nullopt;
    std::vector<std::int32_t> utids;
    for (std::size_t i = 1; i < lines->size(); ++i) {
        const auto n = leadingLong((*lines)[i]);
        if (!n)
            break;
        utids.push_back(*n);
    }
    return utids;
}

std::string utidFileBytes(const std::vector<core::Currency>& utids)
{
    std::vector<std::string> lines{kUtidFileHeader};
    for (const auto& u : utids)
        lines.push_back(u.printText());
    return core::joinCrLf(lines);
}

} // namespace amplifier
