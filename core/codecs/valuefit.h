#pragma once
// What became of a typed value in a field: stored as typed (rounded to the field's
// resolution at most), refused (the text is no value of the field), clamped to the
// field's range, or cut to what the field holds (characters beyond its length, or that
// its character set has no code for).

namespace core {

enum class ValueFit { Stored, Refused, Clamped, Cut };

// The worse of two outcomes (Refused > Clamped > Cut > Stored).
inline ValueFit worseFit(ValueFit a, ValueFit b)
{
    auto rank = [](ValueFit f) {
        switch (f) {
        case ValueFit::Refused: return 3;
        case ValueFit::Clamped: return 2;
        case ValueFit::Cut: return 1;
        default: return 0;
        }
    };
    return rank(a) >= rank(b) ? a : b;
}

} // namespace core
