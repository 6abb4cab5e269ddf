#pragma once
// An unsigned integer of any width, exact: the value of a TEDS field of any bit count.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core::numeric {

class BigUInt {
public:
    BigUInt() = default;
    BigUInt(std::uint64_t v);  // NOLINT: implicit, a plain number is a BigUInt

    // 2^n (n >= 0).
    static BigUInt pow2(int n);
    // 2^n - 1: the all-ones value of an n-bit field (0 for n <= 0).
    static BigUInt allOnes(int n);
    // The integer part of a finite x >= 0, exact; 0 for anything else.
    static BigUInt fromDouble(double x);
    // Decimal digits only (no sign, no blanks); nullopt otherwise.
    static std::optional<BigUInt> fromDecimal(std::string_view digits);

    bool isZero() const { return limbs_.empty(); }
    bool bit(int i) const;
    void setBit(int i);
    // Index of the highest set bit + 1 (0 for zero).
    int bitLength() const;
    bool fitsU64() const { return limbs_.size() <= 2; }
    // The low 64 bits.
    std::uint64_t low64() const;
    // Nearest double.
    double toDouble() const;
    // Plain decimal digits ("0" for zero).
    std::string toString() const;

    BigUInt& operator+=(const BigUInt& other);
    friend BigUInt operator+(BigUInt a, const BigUInt& b) { return a += b; }
    // a - b for a >= b; 0 when b > a.
    friend BigUInt operator-(const BigUInt& a, const BigUInt& b);

    friend bool operator==(const BigUInt&, const BigUInt&) = default;
    friend std::strong_ordering operator<=>(const BigUInt& a, const BigUInt& b);

private:
    void trim();
    std::vector<std::uint32_t> limbs_;  // least significant first, no high zero limbs
};

} // namespace core::numeric
