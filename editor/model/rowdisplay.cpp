#include "editor/model/rowdisplay.h"

#include "core/base/message.h"
#include "editor/model/fieldtypes.h"

#include <algorithm>

namespace editor {

namespace {
constexpr int kBasicTedsRows = 5;
} // namespace

std::string RowDisplay::shownTooltip(const TedsRow& r) const
{
    if (descriptionView_)
        return r.value;
    return r.notice.empty() ? r.description : r.notice + "\n" + r.description;
}

void RowDisplay::clear(Rows& rows)
{
    for (auto& r : rows)
        r = TedsRow{};
    current_ = false;
}

void RowDisplay::format(Rows& rows, const core::TemplateRecord* t)
{
    if (!t)
        return;
    int nextGroup = 0;
    const int last = std::min(t->fieldLast, kRowCount - 1);
    for (int k = 0; k <= last; ++k) {
        auto& r = rows[static_cast<std::size_t>(k)];
        r.visible = true;
        r.caption = t->fields[static_cast<std::size_t>(k)].title;
        r.groupGap = false;
        if (nextGroup <= t->groupLast && nextGroup < core::kGroupBreaksMax &&
            t->groupBreaks[static_cast<std::size_t>(nextGroup)] == k) {
            r.groupGap = true;
            ++nextGroup;
        }
    }
}

void RowDisplay::lock(Rows& rows, bool& nodeIdLocked, const core::TemplateRecord* t, int state, bool basicLocked)
{
    lockState_ = state;
    const int last = t ? std::min(t->fieldLast, kRowCount - 1) : -1;
    auto access = [&](int k) { return t->fields[static_cast<std::size_t>(k)].access; };
    if (state == LockReadOnly || state == LockEditing || state == LockDescriptions) {
        nodeIdLocked = state != LockEditing;
        for (int k = 0; k <= last; ++k) {
            bool editable = false;
            if (state == LockReadOnly)
                editable = access(k) == 2;
            else if (state == LockEditing)
                editable = access(k) >= 0 && access(k) <= 2;
            rows[static_cast<std::size_t>(k)].locked = !editable;
        }
    }
    // The basic TEDS of a DS2430A whose application register is locked cannot change.
    if (basicLocked)
        for (int k = 0; k < kBasicTedsRows; ++k)
            rows[static_cast<std::size_t>(k)].locked = true;
}

void RowDisplay::decode(Rows& rows, const core::TemplateRecord& t, core::TedsBuf& teds, const std::string& title,
                        ManufacturerLevels* levels)
{
    const int last = std::min(t.fieldLast, kRowCount - 1);
    for (int k = 0; k <= last; ++k) {
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        auto& r = rows[static_cast<std::size_t>(k)];
        const FieldType* type = findFieldType(f.typeKeyword);
        if (!type) {
            core::ShowMessage("Unknown type: " + f.typeKeyword, 0, "");
            r.decoded = r.value;  // a pass reports the row only once it is edited
            r.hasDecoded = true;
            continue;
        }
        const FieldContext c{f, k, teds, title, levels};
        if (auto text = type->decode(c)) {
            r.value = *text;
            r.decoded = *text;
            r.hasDecoded = true;
        } else {
            r.hasDecoded = false;
        }
        if (auto tip = type->tooltip(c))
            r.description = *tip;
    }
}

void RowDisplay::markCurrent(const std::vector<std::uint8_t>& bytes)
{
    bytes_ = bytes;
    current_ = true;
}

} // namespace editor
