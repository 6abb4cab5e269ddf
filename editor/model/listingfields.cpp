// Value texts of the full TEDS listing where they differ from the display: a blank
// between number and unit, and plain numbers without the prefix letters on request.

#include "editor/model/fieldcodecs.h"

#include "core/codecs/conres.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"

#include <cmath>
#include <cstdio>

namespace editor::fieldcodecs {

namespace {

// A single in the general form: at most 7 significant digits.
std::string singleGeneral(float x)
{
    if (!std::isfinite(x))
        return core::numeric::generalNumber(x);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(x));
    return core::numeric::generalNumber(std::strtod(buf, nullptr));
}

} // namespace

std::string listConRelRes(const FieldContext& c, bool prefix)
{
    if (allOnes(c))
        return kNotAvailable;
    const double x = core::ConRelResDecode(static_cast<std::int64_t>(raw(c).low64()), F(c).p1, F(c).p2);
    if (!prefix)
        return core::numeric::generalNumber(x) + " " + F(c).unit;
    if (c.title.find("Charge amplifier") != std::string::npos && F(c).unit == "V/C")
        return core::FormatSiNumber(x * 1e-12, F(c).format, true, F(c).p2) + " V/pC";
    return core::FormatSiNumber(x, F(c).format, true, F(c).p2) + " " + F(c).unit;
}

std::string listConRes(const FieldContext& c, bool prefix)
{
    if (allOnes(c))
        return kNotAvailable;
    const double x = F(c).p1 + rawDouble(c) * F(c).p2;
    if (!prefix)
        return core::numeric::generalNumber(x) + " " + F(c).unit;
    return core::FormatSiNumber(x, F(c).format, false, F(c).p2) + " " + F(c).unit;
}

std::string listSingle(const FieldContext& c, bool)
{
    return singleGeneral(core::SingleFromBits(rawDouble(c))) + " " + F(c).unit;
}

} // namespace editor::fieldcodecs
