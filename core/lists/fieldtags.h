#pragma once
// The tag list read from "TagList.xdl": every tag a template field may carry.

#include "core/lists/fieldtag.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace core {

class Fieldtags {
public:
    // An empty list.
    Fieldtags() = default;
    // Requires programFolder / "TagList.xdl" (a missing file ends the program), then reads it.
    explicit Fieldtags(const std::filesystem::path& programFolder);

    // A new empty tag, appended (under key when key is not empty; a duplicate key throws).
    std::shared_ptr<FieldTag> add(const std::string& key);
    // By 1-based position; std::out_of_range on a bad index.
    std::shared_ptr<FieldTag> item(int index) const;
    void Remove(int index);
    int Count() const { return static_cast<int>(tags_.size()); }
    int MaxTags() const { return Count(); }

    // Appends the tags of a tag-list file. A wrong first line ends the program.
    void ReadTagList(const std::filesystem::path& path);

    // Tag names compare without regard to letter case.
    bool TagNameExist(const std::string& name) const;
    // The first tag of that name, or nullptr.
    std::shared_ptr<FieldTag> FindbyName(const std::string& name) const;

private:
    struct Entry {
        std::string key;
        std::shared_ptr<FieldTag> tag;
    };
    // Position of the first tag of that name, -1 when none.
    int firstByName(const std::string& name) const;

    std::vector<Entry> tags_;
    // Upper-case name -> position of its first tag and its name when indexed; rebuilt
    // after the list changed.
    struct Indexed {
        int position = 0;
        std::string name;
    };
    mutable std::unordered_map<std::string, Indexed> byName_;
    mutable bool indexed_ = false;
};

} // namespace core
