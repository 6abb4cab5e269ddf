#pragma once
// A small registry store: root key, sub key path, named string or 32-bit values.
// Kept in memory; nothing of the program stores settings here.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace platform {

enum RegResult : int { RegSuccess = 0, RegFileNotFound = 2, RegInvalidParameter = 87 };
enum RegType : int { RegSz = 1, RegDword = 4 };
using RegValue = std::variant<std::string, std::uint32_t>;

class Registry {
public:
    int createKey(std::uintptr_t root, const std::string& subKey);
    bool keyExists(std::uintptr_t root, const std::string& subKey) const;
    int setValue(std::uintptr_t root, const std::string& subKey, const std::string& name, const RegValue& v);
    int queryValue(std::uintptr_t root, const std::string& subKey, const std::string& name, RegValue& v) const;
    int deleteValue(std::uintptr_t root, const std::string& subKey, const std::string& name);

private:
    using Key = std::pair<std::uintptr_t, std::string>;
    static Key key(std::uintptr_t root, const std::string& subKey);
    std::map<Key, std::map<std::string, RegValue>> keys_;
};

Registry& registry();

} // namespace platform
