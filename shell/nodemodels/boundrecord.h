#pragma once
// The node-list record a node window binds to: a window bound to an index that names
// no record is a caller's fault, reported as std::out_of_range.

#include "shell/nodes/nodelist.h"

namespace shell {

const TrRecord& boundRecord(int index);

} // namespace shell
