#include "shell/nodemodels/boundrecord.h"

#include <stdexcept>
#include <string>

namespace shell {

const TrRecord& boundRecord(int index)
{
    const TrRecord* r = record(index);
    if (!r)
        throw std::out_of_range("node index " + std::to_string(index) + " is not in the node list");
    return *r;
}

} // namespace shell
