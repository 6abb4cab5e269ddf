#pragma once
// Selector arguments and the UTID sum, shared by the parser and the file upkeep so both
// read the same numbers and compute the same UTID.

#include "core/tdl/currency.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace core::tdl {

// First template-type bits of a UTID; the selector values follow upward.
constexpr int kUtidFirstShift = 4;

struct SelectorArgs {
    int width = 0;
    std::int32_t match = 0;
};
// "width,value" (SELECTOR). Throws TdlError.
SelectorArgs selectorArgs(std::string& rest);
SelectorArgs selectorArgs(std::string_view& rest);

struct MatchArgs {
    int address = 0;
    int width = 0;
    std::int32_t match = 0;
};
// "address,width,value" (MATCH). Throws TdlError.
MatchArgs matchArgs(std::string& rest);
MatchArgs matchArgs(std::string_view& rest);

// sum + match * 2^shift; throws TdlError when the result leaves the fixed-point range.
Currency utidAdd(Currency sum, std::int32_t match, int shift);

} // namespace core::tdl
