#include "core/codecs/conres.h"

#include "core/base/message.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"

#include <cmath>
#include <string>

namespace core {

namespace {

// 2^bits - 1 as a double (bits <= 0 gives 0).
double largestCode(int bits) { return bits <= 0 ? 0.0 : std::ldexp(1.0, bits) - 1; }

void parameterError(const std::string& type, const std::string& names, double p1, double p2)
{
    ShowMessage("Error in " + type + " field parameters, " + names + " = " + numeric::generalNumber(p1) + ", " +
                    numeric::generalNumber(p2) + ", field not changed",
                16, "");
}

} // namespace

double ConRelResDecode(std::int64_t code, double start, double tol)
{
    return start * std::pow(1 + 2 * tol, static_cast<double>(code));
}

std::optional<double> ConRelResEncode(std::string_view text, double start, double tol, int bits, double scale,
                                      std::string_view unit, ValueFit* fit)
{
    const double q = 1 + 2 * tol;
    if (!(start > 0) || !(tol != 0) || !(q > 0) || !std::isfinite(start) || !std::isfinite(q)) {
        parameterError("CONRELRES", "start and tolerance", start, tol);
        return std::nullopt;
    }
    const double maxval = start * std::pow(q, largestCode(bits));
    bool number = false;
    double x = siReading(StripUnit(text, unit), false, &number) * scale;
    if (fit) {
        // The nearest code of the value itself, before it is limited to the field.
        const double exact = x > 0 ? std::log(x / start) / std::log(q) : -HUGE_VAL;
        *fit = !number                                                       ? ValueFit::Refused
               : !(exact >= -0.5) || !(exact < largestCode(bits) + 0.5)    ? ValueFit::Clamped
                                                                             : ValueFit::Stored;
    }
    if (!(x >= start))
        x = start;
    if (x > maxval)
        x = maxval;
    const double code = std::floor(std::log(x / start) / std::log(q) + 0.5);
    return std::isnan(code) ? 0.0 : code;
}

std::optional<double> ConResEncode(std::string_view text, double start, double step, int bits, std::string_view unit,
                                   ValueFit* fit)
{
    if (!(step != 0) || !std::isfinite(step) || !std::isfinite(start)) {
        parameterError("CONRES", "start and step", start, step);
        return std::nullopt;
    }
    const double maxval = start + largestCode(bits) * step;
    bool number = false;
    double x = siReading(StripUnit(text, unit), true, &number);
    if (fit) {
        const double exact = (x - start) / step;
        *fit = !number                                                    ? ValueFit::Refused
               : !(exact >= -0.5) || !(exact < largestCode(bits) + 0.5) ? ValueFit::Clamped
                                                                          : ValueFit::Stored;
    }
    if (!(x >= start))
        x = start;
    if (x > maxval)
        x = maxval;
    return (x - start) / step;
}

} // namespace core
