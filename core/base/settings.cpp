#include "core/base/settings.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"
#include "platform/base/system.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace core {

namespace {

constexpr std::size_t kKeyWidth = 40;
const std::string kSep = ": ";

// Key of a setting line: the text before the first ": ", trimmed. False for other lines.
bool lineKey(const std::string& line, std::string& key)
{
    const auto p = line.find(kSep);
    if (p == std::string::npos)
        return false;
    key = trim(line.substr(0, p));
    return true;
}

// A value that reads as a number once its commas are points ("3,5", "-1,25E3").
bool looksNumeric(const std::string& v)
{
    static const std::regex num(R"(^\s*[+-]?(\d+([.,]\d*)?|[.,]\d+)([eE][+-]?\d+)?\s*$)");
    return std::regex_match(v, num);
}

bool writeLine(const std::filesystem::path& iniPath, const std::string& key, std::string valueText)
{
    auto fail = [&](const std::string&) {
        MsgBox("Error creating Value in inifile. (Function Inifile_CreateKeyWithValue)\r\n\r\nFilename = " + iniPath.string() +
               "\r\nValueName = " + key + "\r\nValue = " + valueText);
        return false;
    };
    if (key.size() > kKeyWidth)
        return fail("key too long");
    const std::string fill(kKeyWidth - key.size(), ' ');
    std::vector<std::string> lines;
    if (FileExists(iniPath)) {
        std::string err;
        auto read = readLines(iniPath, &err);
        if (!read)
            return fail(err);
        lines = std::move(*read);
    }
    bool matched = false;
    const std::string want = upper(key);
    for (auto& line : lines) {
        std::string k;
        if (lineKey(line, k) && upper(k) == want) {
            line = k + fill + kSep + valueText;
            matched = true;
        }
    }
    if (!matched)
        lines.push_back(key + fill + kSep + valueText);
    std::string err;
    if (!writeFileAtomic(iniPath, joinCrLf(lines), &err))
        return fail(err);
    return true;
}

} // namespace

std::string plainNumberText(double v)
{
    if (v == 0)
        return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    // %g may use an exponent; ordinary magnitudes are stored in plain form, as settings files hold them.
    if (s.find('e') != std::string::npos && std::fabs(v) >= 1e-4 && std::fabs(v) < 1e15) {
        std::snprintf(buf, sizeof buf, "%.15f", v);
        s = buf;
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    for (auto& c : s)
        if (c == ',')
            c = '.';
    if (auto e = s.find('e'); e != std::string::npos)
        s[e] = 'E';
    return s;
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, const std::string& value)
{
    std::string text = value;
    if (looksNumeric(text))
        for (auto& c : text)
            if (c == ',')
                c = '.';
    return writeLine(iniPath, key, text);
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, const char* value)
{
    return Inifile_CreateKeyWithValue(iniPath, key, std::string(value ? value : ""));
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, long long value)
{
    return writeLine(iniPath, key, std::to_string(value));
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, int value)
{
    return writeLine(iniPath, key, std::to_string(value));
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, double value)
{
    return writeLine(iniPath, key, plainNumberText(value));
}

bool Inifile_CreateKeyWithValue(const std::filesystem::path& iniPath, const std::string& key, bool value)
{
    // Booleans are stored as the words True and False.
    return writeLine(iniPath, key, value ? "True" : "False");
}

int Inifile_Read_String_Value(const std::filesystem::path& iniPath, const std::string& key, std::string& value)
{
    value.clear();
    if (!FileExists(iniPath))
        return IniMissing;
    std::string err;
    auto lines = readLines(iniPath, &err);
    if (!lines) {
        MsgBox("Error reading value from inifile. (Function Inifile_Read_String_Value)\r\n\r\nFilename = " + iniPath.string() +
               "\r\nValueName = " + key);
        return IniReadError;
    }
    int result = IniMissing;
    const std::string want = upper(trim(key));
    for (const auto& line : *lines) {
        std::string k;
        if (!lineKey(line, k) || upper(k) != want)
            continue;
        std::string rest = line.substr(line.find(kSep) + kSep.size());
        const auto next = rest.find(kSep);
        value = next == std::string::npos ? rest : rest.substr(0, next);
        result = IniFound;
    }
    return result;
}

int Inifile_Read_Integer_Value(const std::filesystem::path& iniPath, const std::string& key, int& value)
{
    value = 0;
    std::string text;
    const int r = Inifile_Read_String_Value(iniPath, key, text);
    if (r != IniFound)
        return r;
    const double d = std::nearbyint(numeric::Val(text)); // default rounding mode: halves to even
    value = static_cast<int>(std::clamp(d, -32768.0, 32767.0));
    return r;
}

std::string GetEnvironmentString(const std::string& name)
{
    std::string text = name.find('%') == std::string::npos ? "%" + name + "%" : name;
    // Expand every %VAR% whose variable is defined; others stay as written.
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto a = text.find('%', i);
        if (a == std::string::npos) {
            out += text.substr(i);
            break;
        }
        const auto b = text.find('%', a + 1);
        if (b == std::string::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, a - i);
        const auto v = platform::environment(text.substr(a + 1, b - a - 1));
        if (v) {
            out += *v;
            i = b + 1;
        } else {
            out += text.substr(a, b - a + 1);
            i = b + 1;
        }
    }
    if (!out.empty() && out[0] == '%')
        return "";
    std::erase(out, '\0');
    return trim(out);
}

} // namespace core
