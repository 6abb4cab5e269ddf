#include "editor/createremap/newremapmodel.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "editor/model/tedsdocument.h"

namespace editor {

namespace {

const core::TemplateRecord* templateAt(int t)
{
    const auto& st = core::tdlState();
    if (t < 0 || t > st.TemplateLast || t >= static_cast<int>(st.Templates.size()))
        return nullptr;
    return &st.Templates[static_cast<std::size_t>(t)];
}

int templateCount() { return std::min(core::tdlState().TemplateLast + 1, static_cast<int>(core::tdlState().Templates.size())); }

core::ManufacturerListModel& manufacturers() { return core::listsState().Manufacturers; }

} // namespace

void NewRemapModel::notify()
{
    if (changed)
        changed();
}

int NewRemapModel::positionOfId(int id)
{
    const int p = core::ManufacturerIndexFromId(id);
    return p >= 0 && p < manufacturers().ListCount() ? p : -1;
}

void NewRemapModel::setManufacturer(int position)
{
    if (position >= 0 && position < manufacturers().ListCount())
        manufacturers().setListIndex(position);
}

// ----- Initiate ----------------------------------------------------------------------

void NewRemapModel::Initiate(int mode, TedsDocument& owner)
{
    owner_ = &owner;
    mode_ = mode == RemapMode ? RemapMode : CreateMode;
    gotTemplate_ = false;
    if (mode_ == CreateMode) {
        FillUgidList();
        FillTemplateList(-1);
        SetupTemplateSelector(0);
        RestoreLastChoices();
    } else {
        const int a = owner.ActualTemplate();
        FillTemplateList(a);
        SetupTemplateSelector(a);
        // The TEDS's own manufacturer, not whatever was chosen last.
        const int own = positionOfId(owner.TedsManufacturerId);
        if (own >= 0)
            setManufacturer(own);
    }
    const int t = ReadTemplateSelector();
    UpdateManufactorLevels(t);
    UpdateManufactorSelector(t, fieldPos_);
    notify();
}

std::string NewRemapModel::windowCaption() const
{
    return mode_ == CreateMode ? "Tedsmith - Create empty TEDS" : "Tedsmith - Remap TEDS";
}

std::string NewRemapModel::command1Caption() const
{
    return mode_ == CreateMode ? "Get new template" : "Remap actual template to this";
}

std::string NewRemapModel::utidText() const
{
    const auto* rec = templateAt(ReadTemplateSelector());
    return rec ? rec->UTID.text() : std::string();
}

std::string NewRemapModel::usedBitsText() const
{
    const auto* rec = templateAt(ReadTemplateSelector());
    return rec ? std::to_string(rec->lengthBits) : std::string();
}

// ----- Lists ------------------------------------------------------------------------

void NewRemapModel::FillUgidList()
{
    ugidEntries_ = {"all"};
    groupMap_ = {0};
    for (int t = 0; t < templateCount(); ++t) {
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        if (rec.UTID > core::Currency{} && rec.UTID == rec.UGID) {
            ugidEntries_.push_back(rec.name);
            groupMap_.push_back(t);
        }
    }
    selectUgid(0);
}

void NewRemapModel::selectUgid(int position)
{
    ugidIndex_ = position >= 0 && position < static_cast<int>(ugidEntries_.size()) ? position : -1;
    UgidSelector_Click();
}

void NewRemapModel::UgidSelector_Click()
{
    if (ugidIndex_ >= 1) {
        const int head = groupMap_[static_cast<std::size_t>(ugidIndex_)];
        FillTemplateList(head);
        SetupTemplateSelector(head);
    } else {
        FillTemplateList(-1);
        SetupTemplateSelector(0);
    }
}

void NewRemapModel::FillTemplateList(int groupTemplate)
{
    const bool all = groupTemplate < 0;
    core::Currency key;
    bool alone = false;  // a template without a group lists only itself
    if (!all) {
        const auto* g = templateAt(groupTemplate);
        alone = !g || g->UGID == core::Currency{};
        if (g)
            key = g->UGID;
    }
    templateEntries_.clear();
    templateMap_.clear();
    templatePos_ = -1;
    for (int i = 0; i < templateCount(); ++i) {
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(i)];
        if (all || i == groupTemplate || (!alone && rec.UGID == key)) {
            templateEntries_.push_back(rec.name);
            templateMap_.push_back(i);
        }
    }
}

void NewRemapModel::SetupTemplateSelector(int templateIndex)
{
    for (std::size_t p = 0; p < templateMap_.size(); ++p)
        if (templateMap_[p] == templateIndex) {
            selectTemplatePosition(static_cast<int>(p));
            return;
        }
    FillTemplateList(-1);
    selectTemplatePosition(templateIndex);
}

int NewRemapModel::ReadTemplateSelector() const
{
    if (templatePos_ < 0 || templatePos_ >= static_cast<int>(templateMap_.size()))
        return -1;
    return templateMap_[static_cast<std::size_t>(templatePos_)];
}

void NewRemapModel::selectTemplatePosition(int position)
{
    templatePos_ = position >= 0 && position < static_cast<int>(templateMap_.size()) ? position : -1;
    SelectTemplate_Click();
}

void NewRemapModel::SelectTemplate_Click()
{
    const int t = ReadTemplateSelector();
    UpdateManufactorSelector(t, 0);
    UpdateManufactorLevels(t);
    // Manufacturers that stand for another one in new TEDS.
    for (auto [from, to] : {std::pair{1027, 17}, std::pair{1026, 18}}) {
        const int p = manufacturers().ListIndex();
        const int target = positionOfId(to);
        if (p >= 0 && p == positionOfId(from) && target >= 0)
            setManufacturer(target);
    }
    const auto* rec = templateAt(t);
    if (rec && rec->manufacturerInSelector)
        UpdateManufactorSelector(t, 0);
    notify();
}

void NewRemapModel::UpdateManufactorLevels(int templateIndex)
{
    levels_ = manufacturerLevelsOf(templateIndex);
    selectFieldPosition(levels_.ManuLevelLast >= 0 ? 0 : -1);
}

void NewRemapModel::selectFieldPosition(int position)
{
    fieldPos_ = position >= 0 && position <= levels_.ManuLevelLast ? position : -1;
    ManufacturerField_Click();
}

void NewRemapModel::ManufacturerField_Click() { UpdateManufactorSelector(ReadTemplateSelector(), fieldPos_); }

void NewRemapModel::UpdateManufactorSelector(int templateIndex, int level)
{
    const auto* rec = templateAt(templateIndex);
    if (level == 0 && rec && rec->manufacturerInSelector) {
        setManufacturer(core::ManufacturerIndexFromId(rec->defaultManufacturerId));
        manufacturersLocked_ = true;
    } else {
        manufacturersLocked_ = false;
    }
}

long NewRemapModel::getManufacturerCode(const std::string& name)
{
    const long code = editor::getManufacturerCode(name);
    notify();
    return code;
}

// ----- Commands -----------------------------------------------------------------------

bool NewRemapModel::Command1_Click()
{
    if (!owner_)
        return false;
    int t = ReadTemplateSelector();
    if (t < 0)
        return false;
    if (mode_ == CreateMode) {
        const auto* rec = templateAt(t);
        if (rec && rec->manufacturerInSelector)
            UpdateManufactorSelector(t, 0);
        owner_->GetNewTemplate(t);
    } else {
        if (t == owner_->ActualTemplate()) {
            core::MsgBox("Source and destination is the same\r\n"
                         "To Change Manufacturer field :\r\n"
                         "\"File\" - \"Remap TEDS\", select manufacturer and click:\r\n"
                         "\"Copy Manufacturer to selected field\", and then click \"Close\"");
            return false;
        }
        owner_->Remap_Template(t);
    }
    gotTemplate_ = true;
    SaveLastChoices();
    if (hide)
        hide();
    return true;
}

void NewRemapModel::CopyManu_template_Click()
{
    if (!owner_)
        return;
    if (ReadTemplateSelector() != owner_->ActualTemplate()) {
        core::MsgBox("Requires that selected template is the same as actual template");
        return;
    }
    const int manufacturer = manufacturers().ListIndex();
    const int field = fieldPos_;
    owner_->updatebuf();
    setManufacturer(manufacturer);
    fieldPos_ = field;
    owner_->UpdateManufactorBits(field);
    owner_->buf2byte_OnUsed();
    owner_->ShowTeds();
    notify();
}

void NewRemapModel::Cancel_Button_Click()
{
    SaveLastChoices();
    if (hide)
        hide();
}

// ----- The user's choices -------------------------------------------------------------------

void NewRemapModel::chooseGroup(int position)
{
    selectUgid(position);
    SaveLastChoices();
    notify();
}

void NewRemapModel::chooseTemplate(int position)
{
    selectTemplatePosition(position);
    SaveLastChoices();
}

void NewRemapModel::chooseManufacturerField(int position)
{
    selectFieldPosition(position);
    notify();
}

void NewRemapModel::chooseManufacturer(int position)
{
    if (manufacturersLocked_)
        return;
    setManufacturer(position);
    SaveLastChoices();
    notify();
}

// ----- Settings -------------------------------------------------------------------------

void NewRemapModel::RestoreLastChoices()
{
    const auto& ini = core::coreState().IniPath;
    const auto stored = [&ini](const char* key, int& value) {
        return core::Inifile_Read_Integer_Value(ini, key, value) == core::IniFound;
    };
    const auto fallBack = [this] {
        SetupTemplateSelector(0);
        setManufacturer(0);
    };
    int ugid = 0;
    if (!stored(kLastUgidKey, ugid))
        ugid = 0;
    if (ugid < 0 || ugid >= static_cast<int>(ugidEntries_.size()))
        return fallBack();
    selectUgid(ugid);
    int pos = -1;
    if (!stored(kLastCreateKey, pos)) {
        const auto wanted = core::Currency::fromInteger(kDefaultCreateUtid).value();
        for (int i = 0; i < static_cast<int>(templateEntries_.size()) && i < templateCount(); ++i)
            if (core::tdlState().Templates[static_cast<std::size_t>(i)].UTID == wanted) {
                pos = i;
                break;
            }
    }
    if (pos < 0 || pos >= static_cast<int>(templateEntries_.size()))
        return fallBack();
    selectTemplatePosition(pos);
    int manufacturer = 0;
    if (!stored(kLastManufacturerKey, manufacturer))
        manufacturer = 0;
    if (manufacturer < 0 || manufacturer >= manufacturers().ListCount())
        return fallBack();
    setManufacturer(manufacturer);
    // A fixed manufacturer stays fixed whatever was stored.
    UpdateManufactorSelector(ReadTemplateSelector(), fieldPos_);
}

void NewRemapModel::SaveLastChoices() const
{
    const auto& ini = core::coreState().IniPath;
    if (ini.empty())
        return;
    // The template and group lists of remap mode are the actual template's group: their
    // positions mean nothing to the create dialog, which alone reads these two keys.
    if (mode_ == CreateMode)
        core::Inifile_CreateKeyWithValue(ini, kLastCreateKey, templatePos_);
    core::Inifile_CreateKeyWithValue(ini, kLastManufacturerKey, manufacturers().ListIndex());
    if (mode_ == CreateMode)
        core::Inifile_CreateKeyWithValue(ini, kLastUgidKey, ugidIndex_);
}

} // namespace editor
