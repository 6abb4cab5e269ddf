// TedsF: memory files, the report, printing and RTF documents.

#include "editor/tedswindow/tedsf.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/settings.h"
#include "core/base/textfile.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/bitfields.h"
#include "core/teds/memoryfile.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/report/rtfwriter.h"
#include "editor/report/tedsreport.h"
#include "editor/tedswindow/memorytexts.h"
#include "platform/base/filedialog.h"
#include "platform/base/messagebox.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/qtfiledialogs.h"
#include "shell/jobs/jobqueue.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>

#include <algorithm>
#include <cctype>

namespace editor {

namespace {

constexpr const char* kFolderKey = "TEDS file dir";
constexpr const char* kTedsFilter = "TEDS files(*.tds)|*.tds|All files|*.*";
constexpr const char* kRtfFilter = "RTF files(*.rtf)|*.rtf|All files|*.*";
constexpr int kCriticalSystemModal = 4112;
constexpr int kBasicTedsRows = 5;

bool titleHasUser(std::string title)
{
    std::transform(title.begin(), title.end(), title.begin(), [](unsigned char c) { return std::tolower(c); });
    return title.find("user") != std::string::npos;
}

// The bits a template uses, less a last field for user data.
int usedBits(const core::TemplateRecord& t)
{
    if (t.fieldLast >= 0 && t.fieldLast < core::kFieldsMax) {
        const auto& last = t.fields[static_cast<std::size_t>(t.fieldLast)];
        if (titleHasUser(last.title))
            return t.lengthBits - last.bitCount;
    }
    return t.lengthBits;
}

} // namespace

void runFileMenu(int item, TedsF& window)
{
    switch (item) {
    case 0:
        window.Open_file(window.nodeObject ? *window.nodeObject : window, false);
        break;
    case 1: window.SaveTedsFile(); break;
    case 3: window.PrintTeds(); break;
    case 4: window.SaveTedsRtf(); break;
    default: break;
    }
}

// --- Dialogs -----------------------------------------------------------------------------

bool TedsF::fileDialog(int kind, const std::string& title, const std::string& ext, const std::string& filter,
                       const std::string& errorPrefix, std::string& fullName, std::string& shortName)
{
    platform::FileDialogRequest r;
    r.kind = static_cast<platform::FileDialogKind>(kind);
    r.title = title;
    r.fileName = shortName;
    r.defaultExt = ext;
    r.filter = filter;
    r.filterIndex = 1;
    r.mustExist = r.kind == platform::FileDialogKind::Open;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    // getdefaultDir: the folder of the last file, when the settings file has one.
    std::string dir;
    if (core::Inifile_Read_String_Value(core::coreState().IniPath, kFolderKey, dir) == 0)
        r.initialDir = dir;
    const platform::FileDialogResult res = platform::fileDialogs().show(r);
    q.StartJobQue();
    if (res.outcome == platform::FileDialogResult::Cancelled)
        return false;
    if (res.outcome == platform::FileDialogResult::Failed) {
        core::MsgBox(errorPrefix + res.error, kCriticalSystemModal);
        return false;
    }
    // putdefaultDir: the folder of the choice, with its final separator.
    const auto slash = res.path.find_last_of('/');
    if (slash != std::string::npos)
        core::Inifile_CreateKeyWithValue(core::coreState().IniPath, kFolderKey, res.path.substr(0, slash + 1));
    fullName = res.path;
    std::string name = slash == std::string::npos ? res.path : res.path.substr(slash + 1);
    const auto dot = name.find('.');
    shortName = dot == std::string::npos ? name : name.substr(0, dot);
    return true;
}

bool TedsF::getNameOpen(std::string& fullName, std::string& shortName)
{
    return fileDialog(static_cast<int>(platform::FileDialogKind::Open), "Tedsmith - Read TEDS", ".tds", kTedsFilter,
                      "Read TEDS error: ", fullName, shortName);
}

bool TedsF::GetNameSave(std::string& fullName, std::string& shortName)
{
    return fileDialog(static_cast<int>(platform::FileDialogKind::Save), "Tedsmith - Save File", ".tds", kTedsFilter,
                      "Save TEDS error: ", fullName, shortName);
}

bool TedsF::Save_as_rtf(std::string& fullName, std::string& shortName)
{
    BuildTedsReport();
    bool ok = fileDialog(static_cast<int>(platform::FileDialogKind::Save), "Tedsmith - Save TEDS as RTF document",
                         ".rtf", kRtfFilter, "Save TEDS as RTF document error: ", fullName, shortName) &&
              !shortName.empty() && mayReplace(fullName);
    if (ok) {
        std::string error;
        ok = saveRtf(RichTextBox1.document(), fullName, &error);
        if (!ok)
            core::MsgBox("Save TEDS as RTF document error: " + error, kCriticalSystemModal);
    }
    RichTextBox1.clear();
    return ok;
}

bool TedsF::mayReplace(const std::string& path)
{
    if (!core::FileExists(path))
        return true;
    return core::MsgBox(path + " already exists.\r\nDo you want to replace it?", platform::MsgYesNo | platform::MsgExclamation,
                        "Tedsmith") == platform::MsgYes;
}

// --- Report ------------------------------------------------------------------------------

void TedsF::BuildTedsReport()
{
    ReportLabels labels;
    labels.nodeIdCaption = platform::toCp1252(Lbl_ID->text());
    labels.crcCaption = platform::toCp1252(LBLcrc->text());
    editor::BuildTedsReport(RichTextBox1, doc, reportNow(), labels);
}

void TedsF::PrintTeds()
{
    BuildTedsReport();
    QPrinter printer;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    const auto res = platform::printerChooser().choose(printer, "Tedsmith - Print TEDS", this);
    q.StartJobQue();
    if (res.outcome == platform::FileDialogResult::Cancelled)
        return;  // the report stays in the box until the next one
    if (res.outcome == platform::FileDialogResult::Failed) {
        core::MsgBox("Print TEDS error: " + res.error, kCriticalSystemModal);
        return;
    }
    RichTextBox1.print(printer);
    if (printer.printerState() == QPrinter::Error)
        core::MsgBox("Print TEDS error: the printer reported an error", kCriticalSystemModal);
    RichTextBox1.clear();
}

void TedsF::SaveTedsRtf()
{
    if (FileName.empty())
        FileName = doc.TedsBuf.id;
    std::string full;
    Save_as_rtf(full, FileName);
}

// --- Memory files --------------------------------------------------------------------------

bool TedsF::SaveTedsFile()
{
    if (FileName.empty())
        FileName = doc.TedsBuf.id;
    std::string full;
    std::string name = FileName;
    if (!GetNameSave(full, name))
        return false;
    FileName = name;
    if (!mayReplace(full))
        return false;
    const MemberScope running(*this);
    doc.updatebuf();
    syncDocument();
    if (!core::SaveMemoryFile(doc.TedsBuf, full))
        return false;
    noteKept();
    return true;
}

bool TedsF::Open_file(shell::NodeWindow& obj, bool standAlone)
{
    const MemberScope running(*this);
    if (!mayReplaceTeds())
        return false;
    const bool linked = doc.LinkedToNode;
    const std::string oldId = linked ? doc.NodeIdText : std::string();
    std::array<std::string, kBasicTedsRows> basic{};
    const bool keepBasic = AppRomLocked && linked;
    if (keepBasic)
        for (int k = 0; k < kBasicTedsRows; ++k)
            basic[static_cast<std::size_t>(k)] = doc.rows[static_cast<std::size_t>(k)].value;
    nodeObject = &obj;
    ResetState();
    // A file that is refused leaves the name "Save TEDS as" proposes.
    const std::string previousName = FileName;
    if (linked)
        FileName = doc.TedsBuf.id + ".tds";

    bool loaded = false;
    std::string full;
    std::string name = FileName;
    if (getNameOpen(full, name)) {
        FileName = name;
        // Into a copy first: the window changes only when the file fits.
        core::TedsBuf file = doc.TedsBuf;
        file.id = name;
        if (!core::LoadMemoryFile(file, full)) {
            FileName = previousName;
            return false;  // the loader said why
        }
        core::BytesToBits(file);
        file.ReadOK = false;
        file.Status = core::TedsStatusNotRead;

        // The document keeps its manufacturer levels: the copy restores them too.
        const TedsDocument before = doc;
        auto refuse = [&](const std::string& message) {
            doc = before;
            FileName = previousName;
            syncDocument();
            core::ShowMessage(message);
        };
        doc.TedsBuf = file;
        int t = doc.ActualTemplate();
        if (!doc.GetTemplate(t)) {
            refuse("Template unknown");
            return false;
        }
        if (linked) {
            const int size = ByteSize(doc.TedsBuf.Family, doc.TedsBuf.DraftLayout);
            const auto& lib = core::tdlState();
            const int used = doc.hasLibraryTemplate() ? usedBits(lib.Templates[static_cast<std::size_t>(t)]) : 0;
            if (used > 8 * size) {
                refuse("Requested TEDS too large for this node - no change made");
                return false;
            }
            doc.TedsBuf.Size = size;
        }
        doc.setActualTemplate(t);
        doc.TedsChanged = true;
        noteKept();
        ShowForm();
        reqShow();
        loaded = true;
        if (standAlone)
            core::coreState().TedsF_loaded = true;
    }
    UpdateMenuState();
    if (linked) {
        if (keepBasic) {
            core::ShowMessage("Basic TEDS data in application ROM can not be changed !\r\n"
                              "Click OK, to change back to old application ROM data.\r\n"
                              "Node ID will also be changed to actual Node ID.\r\n\r\n"
                              "To program device, click \"Write node\" in \"Node\" menu.");
            if (loaded)
                for (int k = 0; k < kBasicTedsRows; ++k)
                    doc.setRowValue(k, basic[static_cast<std::size_t>(k)]);
        } else {
            core::ShowMessage("Node ID will be changed to actual Node ID.\r\n\r\n"
                              "To program device, click \"Write node\" in \"Node\" menu.");
        }
        doc.setNodeIdText(oldId);
        syncDocument();
    }
    return loaded;
}

} // namespace editor
