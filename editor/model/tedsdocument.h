#pragma once
// The TEDS document: one TEDS image, the template it is shown with, and the 41 rows of
// the field grid, without any widget. Every TEDS window owns one (the default window
// too); the create/remap dialog, the report, the request server and the amplifier
// window read and write TEDS through it.
//
// How a view uses it:
// - Reading: after a display (ShowForm, GetNewTemplate) the rows hold what to show.
//   Row k is field k of ActualTemplate(): caption (the field title), value (the decoded
//   text), description (the tooltip text), visible, locked (read only) and groupGap (a
//   half-pitch gap above the row). shownText(k) / shownTooltip(k) give the box text and
//   tooltip for the current view: values, or descriptions while descriptionView() is on.
//   The node-id box is NodeIdText / nodeIdShown(), the title box Title, the CRC label
//   CrcCaption / CrcTooltip.
// - Editing: the view stores what the user typed with setRowValue(k, text) (and
//   setNodeIdText for the node-id box). A row's value and description are kept apart,
//   so the description view never reaches the bits. An edit is committed by
//   commitRow(k, text) (the value box lost the focus): it runs the encoding pass
//   updatebuf when a grid is on show and the value view is on. The pass encodes every
//   row into TedsBuf by its field type, keeps the bits of every row whose text is still
//   the one the decoder wrote, and redraws the rows from the bytes; a refused text gets
//   its message and the row shows the stored value again; a text stored otherwise than
//   typed (clamped to the range, cut to the length, a fallback for a text that is no
//   value) is said in a message and in the row's tooltip (TedsRow::notice). In server
//   mode the pass shows no such message: its caller (the request server) reports it.
// - Refreshing: the observer is told when texts, layout or locks changed, and when a
//   node-list TEDS is to be shown (that display is the view's).
//
// TedsBuf's bits and bytes are always in step: every field write goes to both.

#include "core/tdl/currency.h"
#include "core/tdl/templaterecord.h"
#include "core/teds/tedsbuf.h"
#include "editor/model/fieldtypes.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/rowdisplay.h"
#include "editor/model/tedslookup.h"
#include "editor/model/tedsremap.h"
#include "editor/model/templatematcher.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace editor {

// Manufacturer ids of IEEE 1451.4 run from 17 to 16381; 1 marks a node list.
constexpr int kManufacturerIdLast = core::kTedsManufacturerIdLast;

// A row whose text did not fit its field in an encoding pass.
struct RowFit {
    int row = 0;
    EncodeResult result;
};

// Texts of the fixed displays.
inline constexpr const char* kSpecialCaseText = "Special case, not ready yet";
inline constexpr const char* kNotDefinedText = "Memory not defined";
inline constexpr const char* kTemplateNotFound = "Template not found";
inline constexpr const char* kNoNodeText = "No node in list";

class TedsDocumentObserver {
public:
    virtual ~TedsDocumentObserver() = default;
    // Row values, descriptions, node id, title or CRC label changed.
    virtual void textsChanged() = 0;
    // Rows shown, captions, gaps or the description view changed.
    virtual void layoutChanged() = 0;
    // Read-only states of the node-id box or rows changed.
    virtual void locksChanged() = 0;
    // A node-list TEDS is to be shown (ShowForm for manufacturer id 1).
    virtual void showNodeList() = 0;
};

class TedsDocument {
public:
    TedsDocument();

    void setObserver(TedsDocumentObserver* observer) { observer_ = observer; }

    // --- State ----------------------------------------------------------------------
    core::TedsBuf TedsBuf;             // the TEDS image
    int TedsManufacturerId = 0;        // selects the display (ShowForm)
    bool TedsShown = false;            // a grid (TEDS or node list) is on show
    bool TedsChanged = false;          // changed by a new template, a remap or a file load
    bool LinkedToNode = false;         // bound to a node record
    std::string ActualNodeID = "Not assigned";
    // The DS2430A application register of this document's node is locked (set by the
    // node read): rows 0 .. 4, the basic TEDS, are then read only.
    bool AppRomLocked = false;
    std::array<TedsRow, kRowCount> rows{};
    std::string NodeIdText;            // node-id box
    std::string NodeIdTooltip;         // "Node ID" after a display
    bool NodeIdLocked = true;
    std::string Title;                 // title box
    std::string CrcCaption;            // "OK" / "Failed"
    std::string CrcTooltip;            // "CRC8 of total memory"
    Display display = Display::Nothing;

    // Index in the template library of the template shown; TemplateLast + 1 is the
    // node-list pseudo-template.
    int ActualTemplate() const { return actualTemplate_; }
    void setActualTemplate(int index) { actualTemplate_ = index; }
    // Last field index of the actual template (-1 when it is not a library template).
    int fieldLast() const;
    // True when ActualTemplate() indexes a library template (0 .. TemplateLast).
    bool hasLibraryTemplate() const;

    int lockState() const { return view_.lockState(); }
    bool descriptionView() const { return view_.descriptionView(); }

    // Box text and tooltip of row k for the current view.
    const std::string& shownText(int k) const { return view_.shownText(rows.at(static_cast<std::size_t>(k))); }
    std::string shownTooltip(int k) const { return view_.shownTooltip(rows.at(static_cast<std::size_t>(k))); }
    const std::string& nodeIdShown() const { return view_.shown(NodeIdText, NodeIdTooltip); }
    const std::string& nodeIdShownTooltip() const { return view_.shown(NodeIdTooltip, NodeIdText); }
    const std::string& crcShown() const { return view_.shown(CrcCaption, CrcTooltip); }
    const std::string& crcShownTooltip() const { return view_.shown(CrcTooltip, CrcCaption); }

    // --- Editing --------------------------------------------------------------------
    // The text the user typed into row k's value box (while values are shown).
    void setRowValue(int k, const std::string& text);
    void setNodeIdText(const std::string& text);
    // The value box of row k lost the focus with that text: stored, and committed by
    // updatebuf while a grid is on show and values are shown.
    void commitRow(int k, const std::string& text);

    // --- Grid ----------------------------------------------------------------------
    // Every row emptied, hidden, locked, its flag cleared; no grid on show.
    void Clearfields();
    // Rows of the template made visible with captions and group gaps; then the lock state.
    void FormatFields(int templateIndex);
    // Read-only / editable rows by lock state and access class (0, 1, 2; other values
    // only store the state). Rows 0 .. 4 are read only while the node's DS2430A
    // application register is locked.
    void SetLockState(int state);
    // Values and descriptions change places in the boxes (the view flag).
    void SwopToolTips();
    void setDescriptionView(bool on);

    // --- Matching and display --------------------------------------------------------
    // Finds the template of TedsBuf: first match wins. On return index holds the match,
    // the node-list pseudo-template or TemplateLast; TedsManufacturerId is set.
    bool GetTemplate(int& index);
    // Shows the TEDS by TedsManufacturerId.
    Display ShowForm();
    // Decodes every field into its row (value and description), node id, title, CRC.
    void ShowTeds();

    // --- Encoding -----------------------------------------------------------------
    // The encoding pass: rows to bits and bytes, then the grid redrawn. Runs only while a
    // field grid of a library template is on show for the bytes it was decoded from;
    // otherwise the bytes stay as they are. Returns the rows whose text did not fit.
    std::vector<RowFit> updatebuf();
    // What field k would make of text, changing nothing (no message of the codec's own).
    EncodeResult checkRow(int k, const std::string& text) const;
    // Characters of bitsPerChar bits that field k can hold (bits 0: up to the end).
    int AllocateFieldSize(int field, int bits, int bitsPerChar) const;
    // Bits to bytes (the image is already in step; kept for callers by name).
    void buf2byte_OnUsed();

    // --- By name (TedsLookup) -----------------------------------------------------------
    bool GetTEDSField(const std::string& search, double& fvalue, std::string& ftext, int& ftemplate,
                      int& Manufacture, bool* available = nullptr)
    {
        return TedsLookup(*this).GetTEDSField(search, fvalue, ftext, ftemplate, Manufacture, available);
    }
    bool GetParam(double& value, std::string& unit) { return TedsLookup(*this).GetParam(value, unit); }
    int updateTAG(const std::string& tagName, const std::string& tagIndex, const std::string& value, bool noValue,
                  std::string* why = nullptr)
    {
        return TedsLookup(*this).updateTAG(tagName, tagIndex, value, noValue, why);
    }
    // Position of TedsManufacturerId in the manufacturer list.
    int ActualManufactureIndex() const;

    // --- New TEDS (TedsRemap) -----------------------------------------------------------
    bool CreateNewTEDS_force(const core::Currency& utid) { return TedsRemap(*this).CreateNewTEDS_force(utid); }
    bool GetNewTemplate(int t) { return TedsRemap(*this).GetNewTemplate(t); }
    void Remap_Template(int& t) { TedsRemap(*this).Remap_Template(t); }
    void UpdateManufactorBits(int level) { TedsRemap(*this).UpdateManufactorBits(level); }
    // The manufacturer levels of the actual template (each level's list position is
    // recorded by the display).
    ManufacturerLevels& levels();
    int Manu_Level(int fieldIndex) { return editor::Manu_Level(levels(), fieldIndex); }

private:
    friend class TedsLookup;
    friend class TedsRemap;

    void notifyTexts();
    void notifyLayout();
    void notifyLocks();
    // The rows stand for the current bytes; after a field write of our own under a shown
    // grid, they still do when they did before the write.
    bool gridIsCurrent() const { return view_.isCurrent(TedsBuf.Bytes); }
    void keepGridCurrent(bool wasCurrent) { view_.keepCurrent(wasCurrent, TedsBuf.Bytes); }
    static const core::TemplateRecord* templateAt(int index) { return TemplateMatcher::templateAt(index); }
    // The id in the field of manufacturer level 0 (0 reads as 4096).
    int manufacturerFromBits()
    {
        return TemplateMatcher(TedsBuf).manufacturerFromBits(templateAt(actualTemplate_), levels());
    }

    TedsDocumentObserver* observer_ = nullptr;
    int actualTemplate_ = 0;
    RowDisplay view_;
    ManufacturerLevels levels_;
    int levelsTemplate_ = -1;              // the template levels_ belong to
    const core::TemplateRecord* levelsRecord_ = nullptr;
};

} // namespace editor
