#include "editor/model/tedsdocument.h"

#include "core/tdl/tdlstate.h"

namespace editor {

TedsDocument::TedsDocument() { TedsBuf.Status = core::TedsStatusNotRead; }

int TedsDocument::fieldLast() const
{
    return hasLibraryTemplate() ? core::tdlState().Templates[static_cast<std::size_t>(actualTemplate_)].fieldLast : -1;
}

bool TedsDocument::hasLibraryTemplate() const
{
    const auto& st = core::tdlState();
    return actualTemplate_ >= 0 && actualTemplate_ <= st.TemplateLast &&
           actualTemplate_ < static_cast<int>(st.Templates.size());
}

const std::string& TedsDocument::shownText(int k) const
{
    const auto& r = rows.at(static_cast<std::size_t>(k));
    return descriptionView_ ? r.description : r.value;
}
const std::string& TedsDocument::shownTooltip(int k) const
{
    const auto& r = rows.at(static_cast<std::size_t>(k));
    return descriptionView_ ? r.value : r.description;
}
const std::string& TedsDocument::nodeIdShown() const { return descriptionView_ ? NodeIdTooltip : NodeIdText; }
const std::string& TedsDocument::nodeIdShownTooltip() const { return descriptionView_ ? NodeIdText : NodeIdTooltip; }
const std::string& TedsDocument::crcShown() const { return descriptionView_ ? CrcTooltip : CrcCaption; }
const std::string& TedsDocument::crcShownTooltip() const { return descriptionView_ ? CrcCaption : CrcTooltip; }

void TedsDocument::setRowValue(int k, const std::string& text) { rows.at(static_cast<std::size_t>(k)).value = text; }
void TedsDocument::setNodeIdText(const std::string& text) { NodeIdText = text; }
void TedsDocument::commitRow(int k, const std::string& text)
{
    setRowValue(k, text);
    if (TedsShown && !descriptionView_)
        updatebuf();
}

void TedsDocument::Clearfields() {}
void TedsDocument::FormatFields(int) {}
void TedsDocument::SetLockState(int state) { lockState_ = state; }
void TedsDocument::SwopToolTips() { descriptionView_ = !descriptionView_; }
void TedsDocument::setDescriptionView(bool on) { descriptionView_ = on; }
bool TedsDocument::GetTemplate(int&) { return false; }
Display TedsDocument::ShowForm() { return display; }
void TedsDocument::ShowTeds() {}
void TedsDocument::updatebuf() {}
int TedsDocument::AllocateFieldSize(int, int, int) const { return 0; }
void TedsDocument::buf2byte_OnUsed() { core::BitsToBytes(TedsBuf); }
bool TedsDocument::GetTEDSField(const std::string&, double&, std::string&, int&, int&, bool*) { return false; }
bool TedsDocument::GetParam(double& value, std::string& unit)
{
    value = 0;
    unit = "unknown";
    return false;
}
bool TedsDocument::CreateNewTEDS_force(const core::Currency&) { return false; }
bool TedsDocument::GetNewTemplate(int) { return false; }
void TedsDocument::UpdateManufactorBits(int) {}
int TedsDocument::ActualManufactureIndex() const { return 0; }

void TedsDocument::notifyTexts()
{
    if (observer_)
        observer_->textsChanged();
}
void TedsDocument::notifyLayout()
{
    if (observer_)
        observer_->layoutChanged();
}
void TedsDocument::notifyLocks()
{
    if (observer_)
        observer_->locksChanged();
}
void TedsDocument::markGridCurrent() {}
bool TedsDocument::gridIsCurrent() const { return false; }

} // namespace editor
