// Node images as read from a node: the first byte picks the family, the second the
// register state, the rest is the memory. The image is decoded; a TEDS that decodes
// with good checksums packs into an image that decodes to the same bytes. The memory
// is also read as hex text.

#include "tests/fuzz/fuzzsupport.h"

#include "core/teds/tedsbuf.h"
#include "device/memimage/hexbytes.h"
#include "device/memimage/memimage.h"
#include "device/memimage/tedspacking.h"

#include <algorithm>

namespace {

constexpr int kFamilies[] = {device::FamilyDS2406, device::FamilyDS2430A, device::FamilyDS2433, device::FamilyDS2431};

// The image for tb's family and layout with bytes from memory (0xFF past its end).
bool imageFrom(core::TedsBuf& tb, device::MemImage& mi, const std::string& memory, bool locked)
{
    device::Set_Geometry(tb, mi);
    if (mi.byteCount() <= 0)
        return false;
    mi.dimension(0xFF);
    for (int i = 1; i <= mi.byteCount() && static_cast<std::size_t>(i - 1) < memory.size(); ++i)
        mi.Data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(memory[static_cast<std::size_t>(i - 1)]);
    mi.RomUsed = locked;
    mi.ReadOK = true;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    if (size < 2)
        return 0;
    const int family = kFamilies[data[0] % 4];
    const bool draft = data[0] & 4;
    const bool locked = data[1] & 1;
    const std::string memory = fuzz::bytes(data + 2, size - 2);

    core::TedsBuf tb;
    tb.Family = family;
    tb.DraftLayout = draft;
    tb.id = "0000000000000000";
    device::MemImage mi;
    if (!imageFrom(tb, mi, memory, locked))
        return 0;
    device::decodeDraftLayout(mi, family);
    device::Check_Page_Checksums(mi, false);
    device::Check_And_Decode(mi, tb);

    if (mi.ChecksumOK) {
        core::TedsBuf copy = tb;
        device::MemImage packed;
        device::Build_MemImage(copy, packed);
        packed.ReadOK = true;
        core::TedsBuf back;
        back.Family = family;
        back.DraftLayout = tb.DraftLayout;
        device::Check_And_Decode(packed, back);
        fuzz::check(back.Size == tb.Size &&
                        std::equal(tb.Bytes.begin() + 1, tb.Bytes.begin() + 1 + tb.Size, back.Bytes.begin() + 1),
                    "a TEDS packed into its image decodes to the same bytes");
    }

    std::vector<std::uint8_t> bytes(64, 0);
    device::Hex_To_Bytes(memory, data[1], bytes, 0, 63);
    device::Bytes_To_Hex(bytes, data[1] % 70 - 3, 63);
    device::leadingHexValue(memory, data[1] % 8, data[0] % 20);
    return 0;
}
