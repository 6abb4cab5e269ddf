#include "core/validation/checksums.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The sums character by character, both counters stepping and wrapping one at a time.
struct Reference {
    std::uint64_t sum1 = 0, sum2 = 0;
    unsigned c1 = 0, c2 = 0;
    void add(const std::string& line)
    {
        for (char ch : line) {
            const unsigned code = static_cast<unsigned char>(ch);
            c1 = c1 == 255 ? 0 : c1 + 1;
            c2 = c2 == 999 ? 0 : c2 + 1;
            sum1 += code ^ c1;
            sum2 += code ^ c2;
        }
    }
};

// Lines of every length that matters: empty, shorter and longer than the counters' periods
// and than the blocks the sums gather, bytes of the whole 8-bit range.
TEST(Checksums, AgreeWithTheCharacterByCharacterSums)
{
    std::mt19937 rng(20240611);
    const std::size_t lengths[] = {0, 1, 15, 16, 17, 255, 256, 999, 1000, 1001, 16383, 16384, 40000};
    for (int round = 0; round < 40; ++round) {
        core::Checksums sums;
        Reference ref;
        const int lines = 1 + static_cast<int>(rng() % 300);
        for (int i = 0; i < lines; ++i) {
            const std::size_t n = rng() % 4 == 0 ? lengths[rng() % std::size(lengths)] : rng() % 120;
            std::string line(n, '\0');
            for (auto& c : line)
                c = static_cast<char>(rng() % 256);
            sums.add(line);
            ref.add(line);
        }
        ASSERT_EQ(sums.sum1(), ref.sum1) << "round " << round;
        ASSERT_EQ(sums.sum2(), ref.sum2) << "round " << round;
    }
}

TEST(Checksums, SumsCanBeReadWhileLinesAreAdded)
{
    core::Checksums sums;
    Reference ref;
    for (const std::string& line : std::vector<std::string>{"abc", "", std::string(2500, '\xff'), "x"}) {
        sums.add(line);
        ref.add(line);
        EXPECT_EQ(sums.sum1(), ref.sum1);
        EXPECT_EQ(sums.sum2(), ref.sum2);
    }
    // 'a' ^ 1 + 'b' ^ 2 + 'c' ^ 3
    core::Checksums abc;
    abc.add("ab");
    abc.add("c");
    EXPECT_EQ(abc.sum1(), 288u);
    EXPECT_EQ(abc.sum2(), 288u);
}

} // namespace
