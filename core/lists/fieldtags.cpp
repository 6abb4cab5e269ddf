#include "core/lists/fieldtags.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/tokenizers.h"
#include "core/lists/listfile.h"

#include <algorithm>
#include <stdexcept>

namespace core {

namespace {
const char* const kHeader = "Description Language Tags list version 0.0.2";
}

Fieldtags::Fieldtags(const std::filesystem::path& programFolder)
{
    const auto path = fileAnyCase(programFolder / "TagList.xdl");
    listfile::require(path);
    ReadTagList(path);
}

std::shared_ptr<FieldTag> Fieldtags::add(const std::string& key)
{
    if (!key.empty())
        for (const auto& e : tags_)
            if (e.key == key)
                throw std::invalid_argument("key already in the tag list: " + key);
    auto tag = std::make_shared<FieldTag>();
    tags_.push_back({key, tag});
    indexed_ = false;
    return tag;
}

std::shared_ptr<FieldTag> Fieldtags::item(int index) const
{
    if (index < 1 || index > Count())
        throw std::out_of_range("tag index " + std::to_string(index));
    return tags_[static_cast<std::size_t>(index - 1)].tag;
}

void Fieldtags::Remove(int index)
{
    if (index < 1 || index > Count())
        throw std::out_of_range("tag index " + std::to_string(index));
    tags_.erase(tags_.begin() + (index - 1));
    indexed_ = false;
}

void Fieldtags::ReadTagList(const std::filesystem::path& path)
{
    const auto lines = listfile::readOrEnd(path);
    if (lines.empty() || lines[0].find(kHeader) == std::string::npos)
        listfile::wrongVersion("Tag List", path);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (listfile::skipped(line) || line[0] != '%')
            continue;
        std::string rest = line;
        std::string word;
        try {
            word = NextWord(rest);
        } catch (const TokenError&) {
            MsgBox("Error in tag list file: " + path.string() + " near line : " + std::to_string(i + 1) + "\r\n" + line);
            throw ProgramEnd{1};
        }
        auto tag = std::make_shared<FieldTag>();
        tag->name = word.substr(1);
        tag->Comment = rest;
        tags_.push_back({std::string(), tag});
    }
    indexed_ = false;
}

// Both lookups run for every field of every template at start-up: they go through an
// index of the names. A tag renamed through its pointer after the index was built is
// still found, by a scan of the list.
int Fieldtags::firstByName(const std::string& name) const
{
    if (!indexed_) {
        byName_.clear();
        for (std::size_t i = 0; i < tags_.size(); ++i)
            byName_.emplace(upper(tags_[i].tag->name), Indexed{static_cast<int>(i), tags_[i].tag->name});
        indexed_ = true;
    }
    // The template parser asks with names in upper case already.
    const bool upperCase = std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (const auto it = upperCase ? byName_.find(name) : byName_.find(upper(name)); it != byName_.end()) {
        const auto& tag = *tags_[static_cast<std::size_t>(it->second.position)].tag;
        // Still named as when indexed, so its name matches; or matching after a rename.
        if (tag.name == it->second.name || iequals(tag.name, name))
            return it->second.position;
    }
    for (std::size_t i = 0; i < tags_.size(); ++i)
        if (iequals(tags_[i].tag->name, name))
            return static_cast<int>(i);
    return -1;
}

bool Fieldtags::TagNameExist(const std::string& name) const { return firstByName(name) >= 0; }

std::shared_ptr<FieldTag> Fieldtags::FindbyName(const std::string& name) const
{
    const int i = firstByName(name);
    return i < 0 ? nullptr : tags_[static_cast<std::size_t>(i)].tag;
}

} // namespace core
