#pragma once
// Registry access for string and 32-bit number values.

#include "platform/base/registry.h"

#include <cstdint>
#include <string>
#include <variant>

namespace core {

// Root keys.
constexpr std::uintptr_t HKEY_CURRENT_USER = 0x80000001u;
constexpr std::uintptr_t HKEY_LOCAL_MACHINE = 0x80000002u;

class RegEdit {
public:
    using Value = std::variant<std::monostate, std::string, long long>;

    int ReadRegInteger(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, int& value);
    int ReadRegString(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, std::string& value);
    // valueType 1 (string) or 4 (32-bit number); other types write nothing.
    int CreateKeyWithValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, int valueType, const Value& value);
    int QueryKeyWithValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName, Value& value);
    int DeleteRegValue(std::uintptr_t hKey, const std::string& subKey, const std::string& valueName);
};

} // namespace core
