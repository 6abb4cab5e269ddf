#include "core/base/regedit.h"

namespace core {

using platform::registry;

int RegEdit::ReadRegInteger(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, int& value)
{
    Value v;
    const int r = QueryKeyWithValue(hKey, subKey, valueName, v);
    const auto* n = std::get_if<long long>(&v);
    value = (r == 0 && n) ? static_cast<std::int16_t>(*n) : 0;
    return r == 0 && !n ? -1 : r;
}

int RegEdit::ReadRegString(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, std::string& value)
{
    Value v;
    const int r = QueryKeyWithValue(hKey, subKey, valueName, v);
    const auto* s = std::get_if<std::string>(&v);
    value = (r == 0 && s) ? *s : "";
    return r == 0 && !s ? -1 : r;
}

int RegEdit::CreateKeyWithValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, int valueType, const Value& value)
{
    int r = registry().createKey(hKey, subKey);
    if (r != 0)
        return r;
    if (valueType == platform::RegSz) {
        std::string s;
        if (auto p = std::get_if<std::string>(&value))
            s = *p;
        else if (auto n = std::get_if<long long>(&value))
            s = std::to_string(*n);
        return registry().setValue(hKey, subKey, valueName, s);
    }
    if (valueType == platform::RegDword) {
        std::uint32_t n = 0;
        if (auto p = std::get_if<long long>(&value))
            n = static_cast<std::uint32_t>(*p);
        else if (auto s = std::get_if<std::string>(&value))
            n = static_cast<std::uint32_t>(std::stoll(*s));
        return registry().setValue(hKey, subKey, valueName, n);
    }
    return 0;
}

int RegEdit::QueryKeyWithValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, Value& value)
{
    platform::RegValue v;
    const int r = registry().queryValue(hKey, subKey, valueName, v);
    if (r != 0)
        return r;
    if (auto s = std::get_if<std::string>(&v))
        value = *s;
    else
        value = static_cast<long long>(std::get<std::uint32_t>(v));
    return 0;
}

int RegEdit::DeleteRegValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName)
{
    return registry().deleteValue(hKey, subKey, valueName);
}

} // namespace core
