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

std::optional<std::vector<std::int64_t>> readUtidFile(const std::filesystem::path& path)
{
    const auto lines = core::readLines(path);
    if (!lines || lines->empty() || lines->front() != kUtidFileHeader)
        return std::nullopt;
    // UTIDs are whole numbers of up to 15 digits (many above 32 bits); a number that no
    // UTID can be names no template and is left out, the lines after it still read.
    constexpr double kLargest = 999'999'999'999'999.0;
    std::vector<std::int64_t> utids;
    for (std::size_t i = 1; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        const double v = core::numeric::roundHalfEven(core::numeric::Val(std::string_view(line).substr(0, line.find(','))));
        if (std::isnan(v) || v < -kLargest || v > kLargest)
            continue;
        utids.push_back(static_cast<std::int64_t>(v));
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
