// DlTemplatesModel: loading, the selection, the download list and its files.
// The exchanges with the amplifier are in dltemplatesexchange.cpp.

#include "amplifier/tools/dltemplatesmodel.h"

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/tools/traline.h"
#include "amplifier/tools/utidlist.h"
#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/tdl/tdlstate.h"

namespace amplifier {

namespace {

const core::TemplateRecord* templateRecord(int t)
{
    const auto& st = core::tdlState();
    if (t < 0 || t > st.TemplateLast || t >= static_cast<int>(st.Templates.size()))
        return nullptr;
    return &st.Templates[static_cast<std::size_t>(t)];
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += (text.empty() ? "" : "\r\n") + l;
    return text;
}

} // namespace

DlTemplatesModel::DlTemplatesModel(DlTemplatesView* view) : view_(view ? view : &noView_) {}

void DlTemplatesModel::focusAway()
{
    if (view_->windowVisible())
        view_->parkFocus();
}

std::string DlTemplatesModel::lineOf(int t, bool* qualifies) const
{
    const auto* rec = templateRecord(t);
    const auto* amp1 = amplifierState().amplifier(1);
    const auto line = rec ? Build_TRA_TE_Line(*rec, amp1 && is6188(amp1->TypeText)) : TraTeLine{};
    if (qualifies)
        *qualifies = line.qualifies;
    return line.line;
}

void DlTemplatesModel::Form_Load()
{
    HelpContextID = 35;
    clearLists();
    SelectTemplate.clear();
    SelectTemplateMap.clear();
    SelectTemplateLast = -1;
    SelectTemplateIndex = -1;
    for (int t = 0; t <= core::tdlState().TemplateLast; ++t) {
        bool ok = false;
        lineOf(t, &ok);
        if (!ok)
            continue;
        SelectTemplateMap.push_back(t);
        SelectTemplateLast = static_cast<int>(SelectTemplateMap.size()) - 1;
        SelectTemplate.push_back(templateRecord(t)->name);
    }
    if (!SelectTemplate.empty()) {
        SelectTemplateIndex = 0;
        showAbstract(SelectTemplateMap[0]);
        focusAway();
    } else {
        core::MsgBox("No templates applies !, please exit");
    }
    Label1 = amplifierState().Model6188 ? "List of templates to be downloaded to Type 6188"
                                        : "List of templates to be downloaded to Pelox";
    changed();
}

void DlTemplatesModel::Initiate(int amplifier)
{
    AmplifierNo = amplifier;
    const auto* amp = amplifierState().amplifier(amplifier);
    Pelox_ID = "Amplifier No. " + std::to_string(amplifier) + ": " + (amp ? amp->TypeText : "") +
               ", Serial no.: " + (amp ? amp->SerialNumber : "");
    clearLists();
    focusAway();
    changed();
}

void DlTemplatesModel::showAbstract(int t)
{
    const auto* rec = templateRecord(t);
    AbstractTitle = rec ? rec->name : "";
    TemplateAbstract = rec ? joinLines(rec->abstractLines) : "";
}

void DlTemplatesModel::SelectTemplate_Click(int position)
{
    if (position < 0 || position > SelectTemplateLast)
        return;
    SelectTemplateIndex = position;
    showAbstract(SelectTemplateMap[static_cast<std::size_t>(position)]);
    focusAway();
    changed();
}

void DlTemplatesModel::AddToList_cmd_Click()
{
    // Nothing to add while no template qualifies.
    if (SelectTemplateIndex < 0 || SelectTemplateIndex > SelectTemplateLast) {
        focusAway();
        return;
    }
    const int t = SelectTemplateMap[static_cast<std::size_t>(SelectTemplateIndex)];
    for (std::size_t i = 0; i < TemplateNo.size(); ++i)
        if (templateAt(static_cast<int>(i)) == t) {
            view_->beep();
            focusAway();
            return;
        }
    AddTemplateToLists(t);
    focusAway();
}

void DlTemplatesModel::AddTemplateToLists(int t)
{
    const auto* rec = templateRecord(t);
    if (!rec)
        return;
    TemplatesInPelox.push_back(rec->name);
    TemplateNo.push_back(std::to_string(t));
    const std::string utid = rec->UTID.text();
    const std::size_t pad = utid.size() < 10 ? 2 * (10 - utid.size()) : 0;
    UTIDinPelox.push_back(std::string(pad, ' ') + utid);
    changed();
}

int DlTemplatesModel::templateAt(int position) const
{
    if (position < 0 || position >= static_cast<int>(TemplateNo.size()))
        return -1;
    return std::stoi(TemplateNo[static_cast<std::size_t>(position)]);
}

int DlTemplatesModel::templateOfUtid(long long n) const
{
    const auto& st = core::tdlState();
    for (int t = 0; t <= st.TemplateLast && t < static_cast<int>(st.Templates.size()); ++t) {
        const auto& u = st.Templates[static_cast<std::size_t>(t)].UTID;
        if (u.isWhole() && u.whole() == n)
            return t;
    }
    return -1;
}

void DlTemplatesModel::removePosition(int position)
{
    if (position < 0 || position >= static_cast<int>(TemplateNo.size()))
        return;
    const auto at = static_cast<std::ptrdiff_t>(position);
    TemplatesInPelox.erase(TemplatesInPelox.begin() + at);
    UTIDinPelox.erase(UTIDinPelox.begin() + at);
    TemplateNo.erase(TemplateNo.begin() + at);
    ListIndex = -1;
    changed();
}

void DlTemplatesModel::TemplatesInPelox_KeyDown(int keyCode, int /*shift*/)
{
    if (keyCode == 46 && ListIndex >= 0)
        removePosition(ListIndex);
}

void DlTemplatesModel::clearLists()
{
    TemplatesInPelox.clear();
    UTIDinPelox.clear();
    TemplateNo.clear();
    ListIndex = -1;
}

void DlTemplatesModel::ClrList_cmd_Click()
{
    clearLists();
    focusAway();
    changed();
}

std::filesystem::path DlTemplatesModel::defaultListPath() const
{
    return core::coreState().ProgramFolder / amplifierState().DefaultUtidFileName;
}

std::filesystem::path DlTemplatesModel::savedListPath() const
{
    return core::coreState().DataFolder / amplifierState().UtidFileName;
}

std::filesystem::path DlTemplatesModel::dumpPath() const
{
    return core::coreState().DataFolder / amplifierState().TemplatesFileName;
}

void DlTemplatesModel::Read_default_Click()
{
    clearLists();
    Read_UTID_File(defaultListPath());
    focusAway();
    changed();
}

void DlTemplatesModel::Read_previous_Click()
{
    clearLists();
    Read_UTID_File(savedListPath());
    focusAway();
    changed();
}

bool DlTemplatesModel::Read_UTID_File(const std::filesystem::path& path)
{
    const auto utids = readUtidFile(core::fileAnyCase(path));
    if (!utids)
        return false;
    std::vector<std::string> refused;
    for (const auto n : *utids) {
        const int t = templateOfUtid(n);
        if (t < 0)
            continue;
        bool ok = false;
        lineOf(t, &ok);
        if (ok)
            AddTemplateToLists(t);
        else
            refused.push_back(templateRecord(t)->name);
    }
    if (!refused.empty())
        core::MsgBox("These templates cannot be used by the amplifier and are left out of the list:\r\n" +
                     joinLines(refused));
    changed();
    return true;
}

bool DlTemplatesModel::Write_UTID_File()
{
    std::vector<core::Currency> utids;
    for (std::size_t i = 0; i < TemplateNo.size(); ++i)
        if (const auto* rec = templateRecord(templateAt(static_cast<int>(i))))
            utids.push_back(rec->UTID);
    const auto path = savedListPath();
    std::string error;
    if (!core::writeFileAtomic(path, utidFileBytes(utids), &error)) {
        core::MsgBox("Tedsmith could not write " + path.string() + ": " + error);
        return false;
    }
    return true;
}

void DlTemplatesModel::Exit_Button_Click()
{
    focusAway();
    // A list that could not be saved stays in the open window.
    if (Write_UTID_File())
        view_->hideWindow();
}

void DlTemplatesModel::DumpToFile_Click()
{
    std::vector<std::string> lines;
    for (int t = 0; t <= core::tdlState().TemplateLast; ++t) {
        const auto* rec = templateRecord(t);
        if (!rec)
            break;
        bool ok = false;
        const std::string line = lineOf(t, &ok);
        if (ok) {
            lines.push_back("OK: " + rec->name);
            lines.push_back(line);
        } else {
            lines.push_back("* skipped: " + rec->name);
        }
    }
    const auto path = dumpPath();
    std::string error;
    if (!core::writeFileAtomic(path, core::joinCrLf(lines), &error))
        core::MsgBox("Tedsmith could not write " + path.string() + ": " + error);
    focusAway();
}

} // namespace amplifier
