#include "shell/nodes/tedsfields.h"

namespace shell {

namespace {
TedsFieldLookup& lookup()
{
    static TedsFieldLookup l;
    return l;
}
} // namespace

void setTedsFieldLookup(TedsFieldLookup l) { lookup() = std::move(l); }

TedsFields* tedsFieldsOf(NodeWindow& tedsWindow) { return lookup() ? lookup()(tedsWindow) : nullptr; }

} // namespace shell
