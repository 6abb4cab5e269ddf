#include "core/tdl/utidmath.h"

#include "core/base/tokenizers.h"
#include "core/tdl/tdlnumbers.h"

#include <cmath>

namespace core::tdl {

SelectorArgs selectorArgs(std::string& rest)
{
    SelectorArgs a;
    a.width = notNegative(toInt(NextToken(",", rest)), "selector width");
    a.match = toLong(NextToken(",", rest));
    return a;
}

MatchArgs matchArgs(std::string& rest)
{
    MatchArgs a;
    a.address = notNegative(toInt(NextToken(",", rest)), "selector address");
    a.width = notNegative(toInt(NextToken(",", rest)), "selector width");
    a.match = toLong(NextToken(",", rest));
    return a;
}

Currency utidAdd(Currency sum, std::int32_t match, int shift)
{
    if (match == 0)
        return sum;
    const auto term = Currency::fromDouble(static_cast<double>(match) * std::ldexp(1.0, shift));
    const auto r = term ? sum.plus(*term) : std::nullopt;
    if (!r)
        throw TdlError("UTID beyond the fixed-point range");
    return *r;
}

} // namespace core::tdl
