#pragma once
// The fixed-point number of UGID and UTID: a 64-bit integer scaled by 10 000.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromScaled(std::int64_t scaled) { return Currency(scaled); }
    // x rounded to four decimals (halves to even); nullopt outside the range or for NaN.
    static std::optional<Currency> fromDouble(double x);
    // A plain decimal text (blanks around it, optional sign, digits with an optional
    // decimal point), exact: more than four decimals are rounded, halves to even.
    // nullopt for other texts (*plain false) and for values outside the range (*plain true).
    static std::optional<Currency> fromDecimalText(std::string_view text, bool* plain = nullptr);
    // A whole number; nullopt outside the range.
    static std::optional<Currency> fromInteger(std::int64_t v);

    std::int64_t scaled() const { return scaled_; }
    double toDouble() const { return static_cast<double>(scaled_) / kScale; }
    bool isWhole() const { return scaled_ % kScale == 0; }
    // The whole part (toward zero).
    std::int64_t whole() const { return scaled_ / kScale; }

    // Sum; nullopt on overflow.
    std::optional<Currency> plus(Currency other) const;

    // Plain decimal text: "722", "-1", "2.5", "0.25".
    std::string text() const;
    // As a number is printed into a text file line: a blank (or a minus sign) before the
    // digits and one blank after them (" 722 ", "-1 ", " .5 ").
    std::string printText() const;

    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(std::int64_t scaled) : scaled_(scaled) {}
    std::int64_t scaled_ = 0;
};

} // namespace core
