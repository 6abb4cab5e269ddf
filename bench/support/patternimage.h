#pragma once
// A whole page image for a benchmark to write: bytes from a seeded pattern, so that it
// differs from what a fresh simulated node holds, with every page checksummed. Header
// only: the benchmarks that include it link the device libraries themselves.

#include "device/memimage/memimage.h"

#include <cstdint>
#include <string>

namespace bench_support {

inline device::MemImage patternImage(const std::string& id, int pages, int pageSize, int seed)
{
    device::MemImage mi;
    mi.RomId = id;
    mi.Pages = pages;
    mi.PageSize = pageSize;
    mi.RomUsed = false;
    mi.dimension();
    for (int i = 1; i <= mi.byteCount(); ++i)
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 37 + seed) % 251);
    device::Set_Page_Checksums(mi);
    return mi;
}

} // namespace bench_support
