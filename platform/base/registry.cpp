#include "platform/base/registry.h"

#include <algorithm>

namespace platform {

Registry& registry()
{
    static Registry r;
    return r;
}

Registry::Key Registry::key(std::uintptr_t root, const std::string& subKey)
{
    // Key names compare without regard to letter case.
    std::string k = subKey;
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return {root, k};
}

int Registry::createKey(std::uintptr_t root, const std::string& subKey)
{
    keys_[key(root, subKey)];
    return RegSuccess;
}

bool Registry::keyExists(std::uintptr_t root, const std::string& subKey) const { return keys_.count(key(root, subKey)) > 0; }

int Registry::setValue(std::uintptr_t root, const std::string& subKey, const std::string& name, const RegValue& v)
{
    auto it = keys_.find(key(root, subKey));
    if (it == keys_.end())
        return RegFileNotFound;
    it->second[name] = v;
    return RegSuccess;
}

int Registry::queryValue(std::uintptr_t root, const std::string& subKey, const std::string& name, RegValue& v) const
{
    auto it = keys_.find(key(root, subKey));
    if (it == keys_.end())
        return RegFileNotFound;
    auto vi = it->second.find(name);
    if (vi == it->second.end())
        return RegFileNotFound;
    v = vi->second;
    return RegSuccess;
}

int Registry::deleteValue(std::uintptr_t root, const std::string& subKey, const std::string& name)
{
    auto it = keys_.find(key(root, subKey));
    if (it == keys_.end())
        return RegFileNotFound;
    return it->second.erase(name) ? RegSuccess : RegFileNotFound;
}

} // namespace platform
