#include "core/validation/checksums.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace core {

namespace {

// Sum of (p[i] Xor ((start + i) mod 256)) for i < n.
std::uint64_t xorSum(const unsigned char* p, std::size_t n, unsigned start)
{
    std::uint64_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen characters at a time: the byte counters wrap at 256 by themselves, and the
    // sum of absolute differences against zero adds up the bytes.
    alignas(16) unsigned char first[16];
    for (unsigned j = 0; j < 16; ++j)
        first[j] = static_cast<unsigned char>(start + j);
    __m128i counters = _mm_load_si128(reinterpret_cast<const __m128i*>(first));
    const __m128i step = _mm_set1_epi8(16);
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_xor_si128(x, counters), zero));
        counters = _mm_add_epi8(counters, step);
    }
    alignas(16) std::uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc);
    sum = lanes[0] + lanes[1];
#endif
    for (; i < n; ++i)
        sum += p[i] ^ ((start + i) & 255u);
    return sum;
}

// Sum of (c And 768) for lo <= c < hi < 1024: the bits of a counter above its low byte.
std::uint64_t highBitsSum(unsigned lo, unsigned hi)
{
    const auto below = [](unsigned n) {
        // Sum of 256 * floor(c / 256) for c < n.
        const std::uint64_t q = n / 256, r = n % 256;
        return 256 * (256 * q * (q - 1) / 2 + q * r);  // 0 for q = 0
    };
    return below(hi) - below(lo);
}

} // namespace

void Checksums::addLong(std::string_view line)
{
    while (!line.empty()) {
        const std::size_t n = std::min(line.size(), kBlock - used_);
        std::memcpy(block_ + used_, line.data(), n);
        used_ += n;
        line.remove_prefix(n);
        if (used_ == kBlock)
            flush();
    }
}

void Checksums::flush()
{
    const unsigned char* p = block_;
    std::size_t n = used_;
    while (n > 0) {
        // Counters of the next character, and a run in which the second one does not wrap.
        const auto c1 = static_cast<unsigned>((count_ + 1) & 255);
        const auto c2 = static_cast<unsigned>((count_ + 1) % 1000);
        const std::size_t run = std::min<std::size_t>(n, 1000 - c2);
        sum1_ += xorSum(p, run, c1);
        // A character is below 256: c Xor counter = (c Xor low byte of counter) + its high bits.
        sum2_ += xorSum(p, run, c2 & 255) + highBitsSum(c2, c2 + static_cast<unsigned>(run));
        count_ += run;
        p += run;
        n -= run;
    }
    used_ = 0;
}

std::uint64_t Checksums::sum1()
{
    flush();
    return sum1_;
}

std::uint64_t Checksums::sum2()
{
    flush();
    return sum2_;
}

} // namespace core
