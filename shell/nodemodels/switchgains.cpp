#include "shell/nodemodels/switchgains.h"

#include "core/codecs/sinumber.h"
#include "core/numeric/numberrules.h"
#include "core/tdl/tdlstate.h"
#include "shell/nodes/tedsfields.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace shell {

namespace {

bool containsNoCase(const std::string& text, const std::string& part)
{
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    return lower(text).find(lower(part)) != std::string::npos;
}

const core::TemplateField* fieldOf(int t, int f)
{
    const auto& lib = core::tdlState();
    if (t < 0 || t > lib.TemplateLast || t >= static_cast<int>(lib.Templates.size()))
        return nullptr;
    const auto& tr = lib.Templates[static_cast<std::size_t>(t)];
    if (f < 0 || f > tr.fieldLast)
        return nullptr;
    return &tr.fields[static_cast<std::size_t>(f)];
}

std::string templateName(int t)
{
    const auto& lib = core::tdlState();
    if (t < 0 || t > lib.TemplateLast || t >= static_cast<int>(lib.Templates.size()))
        return {};
    return lib.Templates[static_cast<std::size_t>(t)].name;
}

std::string positionCaption(const std::string& head, const core::TemplateField* f, double value, const std::string& unit)
{
    const std::string title = f ? f->title : std::string();
    const std::string fmt = f ? f->format : std::string();
    const double resolution = f ? f->p2 : 0.0;
    return head + title + " " + core::FormatSiNumber(value, fmt, false, resolution) + unit;
}

} // namespace

const std::array<std::string, 4>& designPositionCaptions()
{
    static const std::array<std::string, 4> c = {"PIO-A=0,   PIO-B=0", "PIO-A=1,   PIO-B=0", "PIO-A=0,   PIO-B=1",
                                                 "PIO-A=1,   PIO-B=1"};
    return c;
}

SwitchTedsInfo readSwitchTedsInfo(TedsFields& teds)
{
    SwitchTedsInfo info;
    double value = 0;
    std::string text;
    int f = 0;
    info.hasUserData = teds.GetTEDSField("User data", value, text, f);
    info.userData = info.hasUserData ? text : std::string();

    f = 0;
    if (teds.GetTEDSField("Supports multiplexer", value, text, f)) {
        info.hasInfo = true;
        info.multiplexer = value == 1;
    }
    int defaultGain = 0;
    f = 0;
    if (teds.GetTEDSField("Default gain", value, text, f)) {
        info.hasInfo = true;
        defaultGain = static_cast<int>(core::numeric::roundHalfEven(value));
    } else {
        defaultGain = info.multiplexer ? 3 : 2;
    }
    if (!info.hasInfo)
        return info;

    const int t = teds.templateIndex();
    double low = 0, high = 0, sens = 0;
    int L = 0;
    const bool lowOk = teds.GetTEDSField("Low Gain", low, text, L);
    int H = L;
    const bool highOk = teds.GetTEDSField("High Gain", high, text, H);
    int S = L;
    const bool sensOk = teds.GetTEDSField("Sensitivity @", sens, text, S);
    if (!(lowOk && highOk))
        return info;
    info.gainsFound = true;

    const core::TemplateField* fL = fieldOf(t, L);
    const core::TemplateField* fH = fieldOf(t, H);
    const core::TemplateField* fS = fieldOf(t, S);
    const std::string unitL = fL ? fL->unit : std::string();

    info.captions[0] = info.multiplexer ? "SwA=0 SwB=0,  Tri-state" : "SwA=0 SwB=0";
    double shownLow = low, shownHigh = high;
    std::string unit = unitL;
    if (sensOk) {
        const double factor = containsNoCase(unitL, "db") ? std::pow(10.0, (high - low) / 20.0) : high / low;
        // A low gain of 0 (or any factor that is not a number) cannot scale the
        // sensitivity: the gains are shown as they stand.
        if (std::isfinite(factor) && std::isfinite(sens)) {
            shownLow = sens;
            shownHigh = sens * factor;
            unit = fS ? fS->unit : std::string();
        }
    }
    if (templateName(t).find("Charge amplifier") != std::string::npos && unit == "V/C") {
        shownLow *= 1e-12;
        shownHigh *= 1e-12;
        unit = "V/pC";
    }
    info.captions[1] = positionCaption("SwA=1 SwB=0,  ", fL, shownLow, unit);
    info.sensitivity[1] = shownLow;
    info.captions[2] = positionCaption("SwA=0 SwB=1,  ", fH, shownHigh, unit);
    info.sensitivity[2] = shownHigh;
    info.unit = unit;
    switch (defaultGain) {
    case 0:
        info.captions[3] = info.multiplexer ? "SwA=1 SwB=1,  Tri-state (Default setting)" : "SwA=1 SwB=1,  (Default setting)";
        break;
    case 1:
        info.captions[3] = "SwA=1 SwB=1,  Low Gain (Default setting)";
        break;
    case 2:
        info.captions[3] = "SwA=1 SwB=1,  High Gain (Default setting)";
        break;
    case 3:
        info.captions[3] = "SwA=1 SwB=1,  (Default setting)";
        break;
    default:
        break;
    }
    return info;
}

} // namespace shell
