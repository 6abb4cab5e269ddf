#include "core/numeric/biguint.h"

#include <algorithm>
#include <cmath>

namespace core::numeric {

BigUInt::BigUInt(std::uint64_t v)
{
    if (v != 0) {
        limbs_.push_back(static_cast<std::uint32_t>(v & 0xFFFFFFFFu));
        limbs_.push_back(static_cast<std::uint32_t>(v >> 32));
        trim();
    }
}

BigUInt BigUInt::pow2(int n)
{
    BigUInt r;
    if (n >= 0)
        r.setBit(n);
    return r;
}

BigUInt BigUInt::allOnes(int n)
{
    BigUInt r;
    if (n <= 0)
        return r;
    r.limbs_.assign(static_cast<std::size_t>((n + 31) / 32), 0xFFFFFFFFu);
    const int top = n % 32;
    if (top != 0)
        r.limbs_.back() = (1u << top) - 1u;
    return r;
}

BigUInt BigUInt::fromDouble(double x)
{
    BigUInt r;
    if (!std::isfinite(x) || x < 1.0)
        return r;
    int exp = 0;
    // x = m * 2^exp with m in [0.5, 1): take the 53 mantissa bits as an integer.
    const double m = std::frexp(std::floor(x), &exp);
    const auto mant = static_cast<std::uint64_t>(std::ldexp(m, 53));
    const int shift = exp - 53;
    if (shift >= 0) {
        for (int i = 0; i < 53; ++i)
            if ((mant >> i) & 1u)
                r.setBit(i + shift);
    } else {
        r = BigUInt(mant >> -shift);
    }
    return r;
}

std::optional<BigUInt> BigUInt::fromDecimal(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    BigUInt r;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        // r := r * 10 + digit
        std::uint64_t carry = static_cast<std::uint64_t>(c - '0');
        for (auto& limb : r.limbs_) {
            const std::uint64_t v = static_cast<std::uint64_t>(limb) * 10u + carry;
            limb = static_cast<std::uint32_t>(v & 0xFFFFFFFFu);
            carry = v >> 32;
        }
        if (carry != 0)
            r.limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    r.trim();
    return r;
}

bool BigUInt::bit(int i) const
{
    if (i < 0)
        return false;
    const auto limb = static_cast<std::size_t>(i / 32);
    return limb < limbs_.size() && ((limbs_[limb] >> (i % 32)) & 1u) != 0;
}

void BigUInt::setBit(int i)
{
    if (i < 0)
        return;
    const auto limb = static_cast<std::size_t>(i / 32);
    if (limbs_.size() <= limb)
        limbs_.resize(limb + 1, 0);
    limbs_[limb] |= 1u << (i % 32);
}

int BigUInt::bitLength() const
{
    if (limbs_.empty())
        return 0;
    int n = static_cast<int>(limbs_.size() - 1) * 32;
    for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1)
        ++n;
    return n;
}

std::uint64_t BigUInt::low64() const
{
    std::uint64_t v = 0;
    if (!limbs_.empty())
        v = limbs_[0];
    if (limbs_.size() > 1)
        v |= static_cast<std::uint64_t>(limbs_[1]) << 32;
    return v;
}

double BigUInt::toDouble() const
{
    // Exact up to 2^53; above that the top 64 bits, scaled (within one rounding).
    const int len = bitLength();
    if (len <= 64)
        return static_cast<double>(low64());
    std::uint64_t top = 0;
    for (int i = len - 1; i >= len - 64; --i)
        top = (top << 1) | (bit(i) ? 1u : 0u);
    return std::ldexp(static_cast<double>(top), len - 64);
}

std::string BigUInt::toString() const
{
    if (limbs_.empty())
        return "0";
    std::vector<std::uint32_t> work = limbs_;
    std::string out;
    while (!work.empty()) {
        // work := work / 10^9, remainder to the text
        std::uint64_t rem = 0;
        for (std::size_t i = work.size(); i-- > 0;) {
            const std::uint64_t cur = (rem << 32) | work[i];
            work[i] = static_cast<std::uint32_t>(cur / 1000000000u);
            rem = cur % 1000000000u;
        }
        while (!work.empty() && work.back() == 0)
            work.pop_back();
        for (int k = 0; k < 9; ++k) {
            out.push_back(static_cast<char>('0' + rem % 10));
            rem /= 10;
            if (work.empty() && rem == 0)
                break;
        }
    }
    std::reverse(out.begin(), out.end());
    return out;
}

BigUInt& BigUInt::operator+=(const BigUInt& other)
{
    if (limbs_.size() < other.limbs_.size())
        limbs_.resize(other.limbs_.size(), 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint64_t v = static_cast<std::uint64_t>(limbs_[i]) + carry +
                                (i < other.limbs_.size() ? other.limbs_[i] : 0u);
        limbs_[i] = static_cast<std::uint32_t>(v & 0xFFFFFFFFu);
        carry = v >> 32;
    }
    if (carry != 0)
        limbs_.push_back(static_cast<std::uint32_t>(carry));
    return *this;
}

BigUInt operator-(const BigUInt& a, const BigUInt& b)
{
    if (b >= a)
        return {};
    BigUInt r = a;
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < r.limbs_.size(); ++i) {
        std::int64_t v = static_cast<std::int64_t>(r.limbs_[i]) - borrow -
                         static_cast<std::int64_t>(i < b.limbs_.size() ? b.limbs_[i] : 0u);
        borrow = v < 0 ? 1 : 0;
        if (v < 0)
            v += static_cast<std::int64_t>(1) << 32;
        r.limbs_[i] = static_cast<std::uint32_t>(v);
    }
    r.trim();
    return r;
}

std::strong_ordering operator<=>(const BigUInt& a, const BigUInt& b)
{
    if (a.limbs_.size() != b.limbs_.size())
        return a.limbs_.size() <=> b.limbs_.size();
    for (std::size_t i = a.limbs_.size(); i-- > 0;)
        if (a.limbs_[i] != b.limbs_[i])
            return a.limbs_[i] <=> b.limbs_[i];
    return std::strong_ordering::equal;
}

void BigUInt::trim()
{
    while (!limbs_.empty() && limbs_.back() == 0)
        limbs_.pop_back();
}

} // namespace core::numeric
