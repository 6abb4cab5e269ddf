#pragma once
// The two checksums of the validation lines, over the characters of a file's protected
// lines in file order (line ends not counted): Sum1 adds each character's code Xor k mod
// 256, Sum2 its code Xor k mod 1000, for the k-th character (k from 1).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace core {

class Checksums {
public:
    void add(std::string_view line)
    {
        if (line.size() > kBlock - used_) {
            addLong(line);
        } else if (!line.empty()) {
            std::memcpy(block_ + used_, line.data(), line.size());
            used_ += line.size();
        }
    }
    // The sums over every line added so far. Each term is positive, so a sum within 32
    // bits at the end never left them on the way.
    std::uint64_t sum1();
    std::uint64_t sum2();

private:
    void addLong(std::string_view line);
    void flush();

    // Lines are gathered into blocks so that the sums run over long stretches.
    static constexpr std::size_t kBlock = 16384;
    unsigned char block_[kBlock];
    std::size_t used_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t sum1_ = 0;
    std::uint64_t sum2_ = 0;
};

} // namespace core
