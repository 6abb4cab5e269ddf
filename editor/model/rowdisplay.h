#pragma once
// What the field grid's boxes show: the 41 rows laid out by a template, their read-only
// states by lock state and access class, the view (values, or descriptions in the value
// boxes) and the bytes the rows were last decoded from. The document owns one and keeps
// the rows and boxes themselves; it tells its observer what changed.

#include "core/tdl/templaterecord.h"
#include "core/teds/tedsbuf.h"
#include "editor/model/manufacturerlevels.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace editor {

constexpr int kRowCount = 41;

// Lock states (SetLockState).
enum LockState : int { LockReadOnly = 0, LockEditing = 1, LockDescriptions = 2 };

// One row of the field grid.
struct TedsRow {
    std::string caption;      // field title
    std::string value;        // value text: decoded, or as the user typed it
    std::string description;  // description (tooltip) text
    bool visible = false;
    bool locked = true;       // read only; an editable row is unlocked
    bool groupGap = false;    // half a row pitch above this row (a group starts here)
    bool fieldFlag = false;   // taken by a request line since the grid was cleared
    std::string decoded;      // the value text the decoder last wrote
    bool hasDecoded = false;  // decoded is valid: a row whose value equals it keeps its bits
    // What the last pass made of a text that did not fit ("\"300\" is out of range (0 to
    // 255), 255 stored"); shown in the row's tooltip until the row is encoded again.
    std::string notice;
};

class RowDisplay {
public:
    using Rows = std::array<TedsRow, kRowCount>;

    int lockState() const { return lockState_; }
    bool descriptionView() const { return descriptionView_; }
    void toggleView() { descriptionView_ = !descriptionView_; }

    // Box text and tooltip of a row for the current view (a notice leads the tooltip).
    const std::string& shownText(const TedsRow& r) const { return descriptionView_ ? r.description : r.value; }
    std::string shownTooltip(const TedsRow& r) const;
    // A box with a value and a tooltip: the one shown in the box for the current view.
    const std::string& shown(const std::string& value, const std::string& tooltip) const
    {
        return descriptionView_ ? tooltip : value;
    }

    // Every row emptied, hidden, locked, its flag cleared; the rows stand for no bytes.
    void clear(Rows& rows);
    // Rows of template t (nullptr: none) made visible with captions and group gaps.
    static void format(Rows& rows, const core::TemplateRecord* t);
    // The lock state stored; for states 0, 1, 2 the rows of t and the node-id box set
    // read only or editable by access class. basicLocked: rows 0 .. 4 (the basic TEDS)
    // read only whatever the state.
    void lock(Rows& rows, bool& nodeIdLocked, const core::TemplateRecord* t, int state, bool basicLocked);
    // Every field of t decoded from teds into its row (value and description); a field
    // of an unknown type is reported and keeps its text.
    static void decode(Rows& rows, const core::TemplateRecord& t, core::TedsBuf& teds, const std::string& title,
                       ManufacturerLevels* levels);

    // The rows now stand for these bytes / for none.
    void markCurrent(const std::vector<std::uint8_t>& bytes);
    void forget() { current_ = false; }
    bool isCurrent(const std::vector<std::uint8_t>& bytes) const { return current_ && bytes_ == bytes; }
    // After a field write of the document's own: the rows still stand for the bytes when
    // they did before the write.
    void keepCurrent(bool wasCurrent, const std::vector<std::uint8_t>& bytes)
    {
        if (wasCurrent)
            markCurrent(bytes);
    }

private:
    int lockState_ = LockReadOnly;
    bool descriptionView_ = false;
    std::vector<std::uint8_t> bytes_;  // the bytes the rows were decoded from
    bool current_ = false;
};

} // namespace editor
