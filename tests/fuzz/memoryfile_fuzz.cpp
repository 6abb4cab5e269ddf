// TEDS memory files: load any file; a file that loads is saved and loads back the same,
// and its bits dump as text.

#include "tests/fuzz/fuzzsupport.h"

#include "core/teds/memoryfile.h"
#include "core/teds/tedsbuf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto path = fuzz::writeFile("M.tds", fuzz::bytes(data, size));
    core::TedsBuf image;
    if (!core::LoadMemoryFile(image, path))
        return 0;
    core::BytesToBits(image);
    const auto copy = fuzz::writeFile("copy.tds", "");
    fuzz::check(core::SaveMemoryFile(image, copy), "a loaded image is saved");
    core::TedsBuf again;
    fuzz::check(core::LoadMemoryFile(again, copy), "a saved file loads");
    fuzz::check(again.Bytes == image.Bytes && again.DraftLayout == image.DraftLayout && again.Size == image.Size,
                "a saved file loads the same bytes and layout");
    const int bits = size > 0 ? data[0] * 16 : 0;
    core::memoryDump("dump", image, bits, false);
    core::memoryDump("dump", image, bits, true);
    return 0;
}
