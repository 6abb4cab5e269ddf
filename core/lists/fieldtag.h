#pragma once
// One entry of the tag list: a tag name (without its "%") and its description.

#include <string>

namespace core {

struct FieldTag {
    std::string name;     // letter case as in the file
    std::string Comment;  // the rest of the tag line
};

} // namespace core
