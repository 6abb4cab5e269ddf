#include "core/teds/tedsbuf.h"

#include <algorithm>

namespace core {

void TedsBuf::dimension(int size, std::uint8_t fill)
{
    Size = std::max(size, 0);
    Bytes.resize(static_cast<std::size_t>(Size) + 1, fill);
    Bits.resize(static_cast<std::size_t>(Size) * 8, false);
}

bool TedsBuf::holdsBits(int first, int count) const
{
    if (count <= 0)
        return true;
    return first >= 0 && static_cast<long>(first) + count <= static_cast<long>(Bits.size());
}

namespace {
// Bytes 1 .. n that both the size and the byte array cover.
int coveredBytes(const TedsBuf& tb)
{
    return std::clamp(tb.Size, 0, std::max(static_cast<int>(tb.Bytes.size()) - 1, 0));
}
} // namespace

void BytesToBits(TedsBuf& tb)
{
    const int n = coveredBytes(tb);
    const auto need = static_cast<std::size_t>(std::max(tb.Size, 0)) * 8;
    if (tb.Bits.size() < need)
        tb.Bits.resize(need, false);
    for (int i = 1; i <= n; ++i) {
        const unsigned b = tb.Bytes[static_cast<std::size_t>(i)];
        for (int k = 0; k < 8; ++k)
            tb.Bits[static_cast<std::size_t>((i - 1) * 8 + k)] = ((b >> k) & 1u) != 0;
    }
}

void BitsToBytes(TedsBuf& tb)
{
    const int n = coveredBytes(tb);
    for (int i = 1; i <= n; ++i) {
        unsigned b = 0;
        for (int k = 0; k < 8; ++k) {
            const auto at = static_cast<std::size_t>((i - 1) * 8 + k);
            if (at < tb.Bits.size() && tb.Bits[at])
                b |= 1u << k;
        }
        tb.Bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(b);
    }
}

void CopyTeds(const TedsBuf& source, TedsBuf& destination)
{
    if (&source == &destination)
        return;
    destination.Bytes = source.Bytes;
    destination.Bytes.resize(static_cast<std::size_t>(std::max(source.Size, 0)) + 1, 0);
    destination.Bits = source.Bits;
    destination.Bits.resize(static_cast<std::size_t>(std::max(source.Size, 0)) * 8, false);
    destination.id = source.id;
    destination.Size = source.Size;
    destination.ReadOK = source.ReadOK;
    // The raw image always travels with its size, read or not.
    destination.RawImage = source.RawImage;
    destination.RawSize = source.RawSize;
    destination.RawImage.resize(static_cast<std::size_t>(std::max(source.RawSize + 1, 0)), 0);
}

} // namespace core
