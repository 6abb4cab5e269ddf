#pragma once
// A number as callers hand it to the field writers: a double, an exact unsigned
// integer, or a text that may or may not read as a number.

#include "core/numeric/biguint.h"

#include <concepts>
#include <string>

namespace core::numeric {

class Number {
public:
    enum class Kind { Double, Exact, Text };

    Number(double v) : kind_(Kind::Double), d_(v) {}  // NOLINT: implicit by design
    Number(float v) : kind_(Kind::Double), d_(v) {}   // NOLINT
    template <std::integral T>
    Number(T v)  // NOLINT
    {
        if (v < 0) {
            kind_ = Kind::Double;
            d_ = static_cast<double>(v);
        } else {
            kind_ = Kind::Exact;
            exact_ = BigUInt(static_cast<std::uint64_t>(v));
        }
    }
    Number(BigUInt v) : kind_(Kind::Exact), exact_(std::move(v)) {}  // NOLINT
    Number(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}  // NOLINT
    Number(const char* text) : kind_(Kind::Text), text_(text) {}  // NOLINT

    Kind kind() const { return kind_; }
    double asDouble() const { return d_; }
    const BigUInt& exact() const { return exact_; }
    const std::string& text() const { return text_; }

    // The value as the platform writes it into a message: the general number form, the
    // exact digits, or the text itself.
    std::string display() const;

private:
    Kind kind_ = Kind::Double;
    double d_ = 0;
    BigUInt exact_;
    std::string text_;
};

} // namespace core::numeric
