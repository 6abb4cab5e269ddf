#include "core/tdl/utidmath.h"

#include "core/base/tokenizers.h"
#include "core/tdl/tdlnumbers.h"

#include <optional>

namespace core::tdl {

namespace {

template <class Text>
SelectorArgs selectorArgsOf(Text& rest)
{
    SelectorArgs a;
    a.width = notNegative(toInt(NextToken(",", rest)), "selector width");
    a.match = toLong(NextToken(",", rest));
    return a;
}

template <class Text>
MatchArgs matchArgsOf(Text& rest)
{
    MatchArgs a;
    a.address = notNegative(toInt(NextToken(",", rest)), "selector address");
    a.width = notNegative(toInt(NextToken(",", rest)), "selector width");
    a.match = toLong(NextToken(",", rest));
    return a;
}

} // namespace

SelectorArgs selectorArgs(std::string& rest) { return selectorArgsOf(rest); }
SelectorArgs selectorArgs(std::string_view& rest) { return selectorArgsOf(rest); }
MatchArgs matchArgs(std::string& rest) { return matchArgsOf(rest); }
MatchArgs matchArgs(std::string_view& rest) { return matchArgsOf(rest); }

Currency utidAdd(Currency sum, std::int32_t match, int shift)
{
    if (match == 0)
        return sum;
    // match x 2^shift in integers, exact or refused.
    std::int64_t whole = match;
    std::optional<Currency> term;
    if (shift >= 0 && shift < 63 && !__builtin_mul_overflow(whole, std::int64_t{1} << shift, &whole))
        term = Currency::fromInteger(whole);
    const auto r = term ? sum.plus(*term) : std::nullopt;
    if (!r)
        throw TdlError("UTID beyond the fixed-point range");
    return *r;
}

} // namespace core::tdl
