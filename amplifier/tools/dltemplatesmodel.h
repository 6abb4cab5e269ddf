#pragma once
// The template download window Pelox_DL_Templates without its widgets. It offers the
// library's templates that an amplifier can use, keeps the download list (three lists
// parallel by position: names, right-aligned UTIDs, library indexes), reads the
// amplifier's table ("TRA:TE?"), sends the list ("TRA:C", then one "TRA:TE" line per
// template, UTIDT 0 first) and checks the table afterwards, writes the dump of every
// template's line, and loads and saves UTID list files.
//
// The window is modal and its exchanges run in its button handlers; each exchange
// holds the amplifier line and marks the model busy (the window disables its buttons).
// Files: the default list is read from the program folder; the user's list and the
// dump live in the writable data folder.

#include "amplifier/model/toolview.h"

#include <filesystem>
#include <string>
#include <vector>

namespace amplifier {

class DlTemplatesView : public ToolView {
public:
    virtual void beep() = 0;
    // Closes the window ("Close and save" after the list was written).
    virtual void hideWindow() = 0;
};

// The download model's view without a window.
class SilentDlTemplatesView final : public DlTemplatesView {
public:
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override {}
    void beep() override {}
    void hideWindow() override {}
};

class DlTemplatesModel {
public:
    explicit DlTemplatesModel(DlTemplatesView* view = nullptr);

    void Form_Load();
    void Initiate(int amplifier);

    // Event handlers.
    void SelectTemplate_Click(int position);
    void AddToList_cmd_Click();
    // keyCode 46 (Delete) removes the selected position of the name list.
    void TemplatesInPelox_KeyDown(int keyCode, int shift);
    void ClrList_cmd_Click();
    void Read_default_Click();
    void Read_previous_Click();
    void Exit_Button_Click();
    void ReadPelox_Click();
    void Update_cmd_Click();
    void DumpToFile_Click();

    // Procedures.
    void AddTemplateToLists(int t);
    void Do_ReadPelox_UTID_list();
    // Sends the list (templates that cannot be used are named and skipped), then reads
    // the table back; false when it differs from what was sent (reported).
    bool Download_TemplateList();
    // Appends the templates a list file names; false when the file gave nothing
    // (missing, unreadable or foreign).
    bool Read_UTID_File(const std::filesystem::path& path);
    // False when the file could not be written (reported).
    bool Write_UTID_File();
    void removePosition(int position);

    // Where the files are.
    std::filesystem::path defaultListPath() const;
    std::filesystem::path savedListPath() const;
    std::filesystem::path dumpPath() const;

    // Control states, named as the window names its controls.
    std::string caption = "Tedsmith - Pelox, 6188 Download Templates";
    int HelpContextID = 0;
    std::vector<std::string> SelectTemplate;  // names of the qualifying templates
    int SelectTemplateIndex = -1;             // chosen entry, -1 none
    std::string AbstractTitle = "Title";
    std::string TemplateAbstract;             // abstract lines joined by CR LF
    std::vector<std::string> TemplatesInPelox;
    std::vector<std::string> UTIDinPelox;
    std::vector<std::string> TemplateNo;
    int ListIndex = -1;                       // the selected position of both visible lists
    std::string Pelox_ID = "Pelox id";
    std::string Label1 = "List of templates to be downloaded to Pelox";
    // An exchange is running: every button is disabled.
    bool busy = false;

    // Window members.
    int AmplifierNo = 0;
    std::vector<int> SelectTemplateMap;
    int SelectTemplateLast = -1;

private:
    void changed() { view_.changed(); }
    void focusAway() { view_.focusAway(); }
    void showAbstract(int t);
    void clearLists();
    int templateAt(int position) const;
    // The template whose UTID is n (the lowest index), -1 when none.
    int templateOfUtid(long long n) const;
    // The line of template t for the amplifiers now on the chain.
    std::string lineOf(int t, bool* qualifies = nullptr) const;
    // Says that another exchange holds the line.
    void refuseBusyLine();
    // Marks the model busy for one exchange.
    void setBusy(bool on);

    ToolViewLink<DlTemplatesView, SilentDlTemplatesView> view_;
};

} // namespace amplifier
