#include "editor/tedswindow/tedsfilemenu.h"

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

void runFileMenu(int item, TedsF& window) { window.files.run(item); }

void TedsFileMenu::run(int item)
{
    switch (item) {
    case 0:
        openFile(w_.nodeObject ? *w_.nodeObject : w_, false);
        break;
    case 1: saveFile(); break;
    case 3: print(); break;
    case 4: saveRtf(); break;
    default: break;
    }
}

// --- Dialogs -----------------------------------------------------------------------------

bool TedsFileMenu::fileDialog(int kind, const std::string& title, const std::string& ext, const std::string& filter,
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

bool TedsFileMenu::getNameOpen(std::string& fullName, std::string& shortName)
{
    return fileDialog(static_cast<int>(platform::FileDialogKind::Open), "Tedsmith - Read TEDS", ".tds", kTedsFilter,
                      "Read TEDS error: ", fullName, shortName);
}

bool TedsFileMenu::getNameSave(std::string& fullName, std::string& shortName)
{
    return fileDialog(static_cast<int>(platform::FileDialogKind::Save), "Tedsmith - Save File", ".tds", kTedsFilter,
                      "Save TEDS error: ", fullName, shortName);
}

bool TedsFileMenu::saveAsRtf(std::string& fullName, std::string& shortName)
{
    buildReport();
    bool ok = fileDialog(static_cast<int>(platform::FileDialogKind::Save), "Tedsmith - Save TEDS as RTF document",
                         ".rtf", kRtfFilter, "Save TEDS as RTF document error: ", fullName, shortName) &&
              !shortName.empty() && mayReplace(fullName);
    if (ok) {
        std::string error;
        ok = editor::saveRtf(report.document(), fullName, &error);
        if (!ok)
            core::MsgBox("Save TEDS as RTF document error: " + error, kCriticalSystemModal);
    }
    report.clear();
    return ok;
}

bool TedsFileMenu::mayReplace(const std::string& path)
{
    if (!core::FileExists(path))
        return true;
    return core::MsgBox(path + " already exists.\r\nDo you want to replace it?", platform::MsgYesNo | platform::MsgExclamation,
                        "Tedsmith") == platform::MsgYes;
}

// --- Report ------------------------------------------------------------------------------

void TedsFileMenu::buildReport()
{
    ReportLabels labels;
    labels.nodeIdCaption = platform::toCp1252(w_.Lbl_ID->text());
    labels.crcCaption = platform::toCp1252(w_.LBLcrc->text());
    editor::BuildTedsReport(report, w_.doc, reportNow(), labels);
}

void TedsFileMenu::print()
{
    buildReport();
    QPrinter printer;
    auto& q = shell::jobQueue();
    q.TimeoutJobQue();
    const auto res = platform::printerChooser().choose(printer, "Tedsmith - Print TEDS", &w_);
    q.StartJobQue();
    if (res.outcome == platform::FileDialogResult::Cancelled)
        return;  // the report stays in the box until the next one
    if (res.outcome == platform::FileDialogResult::Failed) {
        core::MsgBox("Print TEDS error: " + res.error, kCriticalSystemModal);
        return;
    }
    report.print(printer);
    if (printer.printerState() == QPrinter::Error)
        core::MsgBox("Print TEDS error: the printer reported an error", kCriticalSystemModal);
    report.clear();
}

void TedsFileMenu::saveRtf()
{
    if (fileName.empty())
        fileName = w_.doc.TedsBuf.id;
    std::string full;
    saveAsRtf(full, fileName);
}

// --- Memory files --------------------------------------------------------------------------

bool TedsFileMenu::saveFile()
{
    if (fileName.empty())
        fileName = w_.doc.TedsBuf.id;
    std::string full;
    std::string name = fileName;
    if (!getNameSave(full, name))
        return false;
    fileName = name;
    if (!mayReplace(full))
        return false;
    const shell::NodeWindow::MemberScope running(w_);
    w_.doc.updatebuf();
    w_.syncDocument();
    if (!core::SaveMemoryFile(w_.doc.TedsBuf, full))
        return false;
    w_.noteKept();
    return true;
}

bool TedsFileMenu::openFile(shell::NodeWindow& obj, bool standAlone)
{
    const shell::NodeWindow::MemberScope running(w_);
    if (!w_.mayReplaceTeds())
        return false;
    const bool linked = w_.doc.LinkedToNode;
    const std::string oldId = linked ? w_.doc.NodeIdText : std::string();
    std::array<std::string, kBasicTedsRows> basic{};
    const bool keepBasic = w_.AppRomLocked && linked;
    if (keepBasic)
        for (int k = 0; k < kBasicTedsRows; ++k)
            basic[static_cast<std::size_t>(k)] = w_.doc.rows[static_cast<std::size_t>(k)].value;
    w_.nodeObject = &obj;
    w_.ResetState();
    // A file that is refused leaves the name "Save TEDS as" proposes.
    const std::string previousName = fileName;
    if (linked)
        fileName = w_.doc.TedsBuf.id + ".tds";

    bool loaded = false;
    std::string full;
    std::string name = fileName;
    if (getNameOpen(full, name)) {
        fileName = name;
        // Into a copy first: the window changes only when the file fits.
        core::TedsBuf file = w_.doc.TedsBuf;
        file.id = name;
        if (!core::LoadMemoryFile(file, full)) {
            fileName = previousName;
            return false;  // the loader said why
        }
        core::BytesToBits(file);
        file.ReadOK = false;
        file.Status = core::TedsStatusNotRead;

        // The document keeps its manufacturer levels: the copy restores them too.
        const TedsDocument before = w_.doc;
        auto refuse = [&](const std::string& message) {
            w_.doc = before;
            fileName = previousName;
            w_.syncDocument();
            core::ShowMessage(message);
        };
        w_.doc.TedsBuf = file;
        int t = w_.doc.ActualTemplate();
        if (!w_.doc.GetTemplate(t)) {
            refuse("Template unknown");
            return false;
        }
        if (linked) {
            const int size = ByteSize(w_.doc.TedsBuf.Family, w_.doc.TedsBuf.DraftLayout);
            const auto& lib = core::tdlState();
            const int used = w_.doc.hasLibraryTemplate() ? usedBits(lib.Templates[static_cast<std::size_t>(t)]) : 0;
            if (used > 8 * size) {
                refuse("Requested TEDS too large for this node - no change made");
                return false;
            }
            w_.doc.TedsBuf.Size = size;
        }
        w_.doc.setActualTemplate(t);
        w_.doc.TedsChanged = true;
        w_.noteKept();
        w_.ShowForm();
        w_.reqShow();
        loaded = true;
        if (standAlone)
            core::coreState().TedsF_loaded = true;
    }
    w_.UpdateMenuState();
    if (linked) {
        if (keepBasic) {
            core::ShowMessage("Basic TEDS data in application ROM can not be changed !\r\n"
                              "Click OK, to change back to old application ROM data.\r\n"
                              "Node ID will also be changed to actual Node ID.\r\n\r\n"
                              "To program device, click \"Write node\" in \"Node\" menu.");
            if (loaded)
                for (int k = 0; k < kBasicTedsRows; ++k)
                    w_.doc.setRowValue(k, basic[static_cast<std::size_t>(k)]);
        } else {
            core::ShowMessage("Node ID will be changed to actual Node ID.\r\n\r\n"
                              "To program device, click \"Write node\" in \"Node\" menu.");
        }
        w_.doc.setNodeIdText(oldId);
        w_.syncDocument();
    }
    return loaded;
}

} // namespace editor
