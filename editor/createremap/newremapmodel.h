#pragma once
// What the create/remap dialog NewRemapTemplate knows and does, without widgets: the
// template group list (UgidSelector), the template list (SelectTemplate), the
// manufacturer levels of the selected template (ManufacturerField) and the one
// manufacturer list of the program (core::listsState().Manufacturers, whose selection is
// the dialog's). Create mode gives the owner's TEDS document an empty TEDS of the chosen
// template; remap mode moves the owner's TEDS onto it. The owner and the mode are set
// only by Initiate, which only the window that shows the dialog (or a forced creation
// for its own document) calls.
//
// The view shows the lists and captions and forwards the user's choices to the choose*
// members (which keep the settings "last Create", "last Manufacturer" and
// "last UgidSelector" up to date, the first and the last in create mode only);
// programmatic selections run the same handlers as the Click events but write nothing.

#include "editor/model/manufacturerlevels.h"

#include <functional>
#include <string>
#include <vector>

namespace editor {

class TedsDocument;

class NewRemapModel {
public:
    enum Mode : int { CreateMode = 0, RemapMode = 1 };

    // Prepares one use for owner; shows nothing.
    void Initiate(int mode, TedsDocument& owner);
    bool GotTemplate() const { return gotTemplate_; }
    int DialogMode() const { return mode_; }
    TedsDocument* owner() const { return owner_; }

    // --- Lists ------------------------------------------------------------------------
    const std::vector<std::string>& ugidEntries() const { return ugidEntries_; }
    const std::vector<int>& GroupMap() const { return groupMap_; }
    int ugidIndex() const { return ugidIndex_; }
    const std::vector<std::string>& templateEntries() const { return templateEntries_; }
    const std::vector<int>& TemplateMap() const { return templateMap_; }
    int templatePosition() const { return templatePos_; }
    // The manufacturer levels of the selected template ("1. title", ...).
    const ManufacturerLevels& levels() const { return levels_; }
    int manufacturerFieldIndex() const { return fieldPos_; }
    // The manufacturer list is locked on a template's fixed manufacturer.
    bool manufacturersLocked() const { return manufacturersLocked_; }

    // --- Captions ---------------------------------------------------------------------
    std::string windowCaption() const;
    std::string command1Caption() const;
    bool copyManufacturerVisible() const { return mode_ == RemapMode; }
    bool groupListVisible() const { return mode_ == CreateMode; }
    int helpTopic() const { return mode_ == CreateMode ? 20 : 40; }
    std::string utidText() const;      // the selected template's UTID
    std::string usedBitsText() const;  // its length in bits

    // --- Procedures -------------------------------------------------------------------
    void FillUgidList();
    void FillTemplateList(int groupTemplate);
    void SetupTemplateSelector(int templateIndex);
    // Template index of the selected entry, -1 when nothing is selected.
    int ReadTemplateSelector() const;
    void UpdateManufactorLevels(int templateIndex);
    void UpdateManufactorSelector(int templateIndex, int level);
    // The first manufacturer whose name contains name (any case) becomes the selection;
    // its id, or -1 (selection unchanged).
    long getManufacturerCode(const std::string& name);

    // --- Events -----------------------------------------------------------------------
    void UgidSelector_Click();
    void SelectTemplate_Click();
    void ManufacturerField_Click();
    // "Get new template" / "Remap actual template to this". False when refused (the
    // dialog stays open).
    bool Command1_Click();
    // "Copy Manufacturer to selected field" (remap mode).
    void CopyManu_template_Click();
    // "Close" and the close box.
    void Cancel_Button_Click();

    // The user's choices in the view (each setting written as it changes).
    void chooseGroup(int position);
    void chooseTemplate(int position);
    void chooseManufacturerField(int position);
    void chooseManufacturer(int position);

    void RestoreLastChoices();
    void SaveLastChoices() const;

    // The view: lists, selections or captions changed; the dialog is to hide.
    std::function<void()> changed;
    std::function<void()> hide;

private:
    void selectUgid(int position);
    void selectTemplatePosition(int position);
    void selectFieldPosition(int position);
    void setManufacturer(int position);
    void notify();
    // Position of manufacturer id in the list, when listed.
    static int positionOfId(int id);

    int mode_ = CreateMode;
    TedsDocument* owner_ = nullptr;
    bool gotTemplate_ = false;
    std::vector<std::string> ugidEntries_;
    std::vector<int> groupMap_;
    int ugidIndex_ = -1;
    std::vector<std::string> templateEntries_;
    std::vector<int> templateMap_;
    int templatePos_ = -1;
    ManufacturerLevels levels_;
    int fieldPos_ = -1;
    bool manufacturersLocked_ = false;
};

// The settings keys.
inline constexpr const char* kLastCreateKey = "last Create";
inline constexpr const char* kLastManufacturerKey = "last Manufacturer";
inline constexpr const char* kLastUgidKey = "last UgidSelector";
// Template selected when nothing was stored.
inline constexpr long long kDefaultCreateUtid = 116225;

} // namespace editor
