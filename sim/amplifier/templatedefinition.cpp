#include "sim/amplifier/templatedefinition.h"

#include <cctype>
#include <cstdlib>

namespace platform::sim {

namespace {

bool integerAt(const std::string& s, std::size_t& i, long long& out)
{
    const std::size_t b = i;
    if (i < s.size() && s[i] == '-')
        ++i;
    const std::size_t digits = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
        ++i;
    if (i == digits || i - digits > 15)
        return false;
    out = std::stoll(s.substr(b, i - b));
    return true;
}

// d.ddddddd E [-] dd, with an optional leading "-".
bool numberAt(const std::string& s, std::size_t& i, double& out)
{
    const std::size_t b = i;
    while (i < s.size() && s[i] != ',')
        ++i;
    const std::string text = s.substr(b, i - b);
    if (text.empty() || text.find_first_not_of("0123456789.E-") != std::string::npos)
        return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

} // namespace

std::optional<TemplateDefinition> parseTemplateDefinition(const std::string& args)
{
    TemplateDefinition d;
    std::size_t i = 0;
    if (args.empty() || args[0] != '"')
        return std::nullopt;
    ++i;
    for (;;) {
        long long v = 0;
        if (!integerAt(args, i, v))
            return std::nullopt;
        d.integers.push_back(v);
        if (i < args.size() && args[i] == ',') {
            ++i;
            continue;
        }
        if (i < args.size() && args[i] == '"')
            break;
        return std::nullopt;
    }
    if (d.integers.size() != 12 && d.integers.size() != 14)
        return std::nullopt;
    if (++i >= args.size() || args[i] != ',')
        return std::nullopt;
    if (!numberAt(args, ++i, d.p1) || i >= args.size() || !numberAt(args, ++i, d.p2) || i >= args.size())
        return std::nullopt;
    d.unit = args.substr(i + 1);
    if (d.unit != "V/M/S2" && d.unit != "V/PA" && d.unit != "V/UNIT" && d.unit != "V/V")
        return std::nullopt;
    return d;
}

} // namespace platform::sim
