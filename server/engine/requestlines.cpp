#include "server/engine/requestlines.h"

#include "core/numeric/numberformat.h"
#include "core/numeric/numberrules.h"
#include "device/memimage/familytable.h"

#include <algorithm>
#include <cmath>

namespace server {

std::optional<TagLine> parseTagLine(const std::string& line)
{
    const auto eq = line.find('=');
    if (line.empty() || line[0] != '%' || eq == std::string::npos)
        return std::nullopt;
    TagLine t;
    t.name = line.substr(1, eq - 1);
    if (const auto b = t.name.find('['); b != std::string::npos) {
        t.index = t.name.substr(b);
        t.name.erase(b);
    }
    const std::string rest = line.substr(eq + 1);
    if (rest.empty()) {
        t.noValue = true;
        return t;
    }
    // A value not enclosed in a pair of double quotes is empty.
    const auto open = rest.find('"');
    if (open != std::string::npos) {
        const auto close = rest.find('"', open + 1);
        if (close != std::string::npos)
            t.value = rest.substr(open + 1, close - open - 1);
    }
    return t;
}

KeywordLine parseKeywordLine(const std::string& line)
{
    KeywordLine k;
    const auto start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return k;
    const auto sep = line.find_first_of(" ,", start);
    k.keyword = line.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
    if (sep != std::string::npos)
        k.parameter = line.substr(sep + 1);
    for (char& c : k.keyword)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return k;
}

long familyCode(const std::string& parameter)
{
    const double v = core::numeric::Fix(core::numeric::Val(parameter));
    // Within the range of a long, or no conversion at all.
    if (!(v >= -2147483648.0 && v <= 2147483647.0))
        return 0;
    return static_cast<long>(v);
}

namespace {

// A request names the switch and the memories by their chip; no other family.
bool namedByRequests(const device::FamilyInfo& f)
{
    return f.kind == device::NodeKind::DualSwitch || f.kind == device::NodeKind::Memory;
}

} // namespace

std::string deviceNameOfFamily(long family)
{
    for (const auto& f : device::familyRows())
        if (f.code == family && namedByRequests(f))
            return f.chip;
    return "";
}

long familyOfDeviceName(const std::string& name)
{
    // "DS2430" names the DS2430A.
    const std::string chip = name == "DS2430" ? "DS2430A" : name;
    for (const auto& f : device::familyRows())
        if (namedByRequests(f) && chip == f.chip)
            return f.code;
    return -1;
}

namespace {

// Seconds as typed, "," read as the decimal mark like ".".
double typedSeconds(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return core::numeric::Val(text);
}

} // namespace

int committedPollInterval(const std::string& text)
{
    const double ms = core::numeric::roundHalfEven(typedSeconds(text) * 1000.0);
    if (!(ms >= 100))
        return 100;
    return ms > 65535 ? 65535 : static_cast<int>(ms);
}

std::string pollTimeText(int intervalMs) { return core::numeric::Format(intervalMs / 1000.0, "0.0"); }

std::optional<int> typedPollInterval(const std::string& text)
{
    const double ms = core::numeric::roundHalfEven(typedSeconds(text) * 1000.0);
    if (!(ms >= 1 && ms <= 65535))
        return std::nullopt;
    return static_cast<int>(ms);
}

} // namespace server
