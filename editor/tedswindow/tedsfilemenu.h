#pragma once
// The File menu of a TEDS window: memory files read into and saved from its document, the
// report of its TEDS, printed or saved as an RTF document. The three file dialogs run
// with job intake stopped and keep the folder of the last choice in the settings.

#include "editor/report/richtextbox.h"

#include <string>

namespace shell {
class NodeWindow;
}

namespace editor {

class TedsF;

class TedsFileMenu {
public:
    explicit TedsFileMenu(TedsF& window) : w_(window) {}
    TedsFileMenu(const TedsFileMenu&) = delete;
    TedsFileMenu& operator=(const TedsFileMenu&) = delete;

    // Item 0 "Read TEDS", 1 "Save TEDS as", 3 "Print TEDS", 4 "Save TEDS as rtf document".
    void run(int item);
    // A memory file into the window, bound to obj's node (standAlone: the default window's
    // own file). The window changes only when the file's format, template and size fit.
    // True when a TEDS was loaded.
    bool openFile(shell::NodeWindow& obj, bool standAlone);
    // True when the TEDS was saved.
    bool saveFile();
    void print();
    void saveRtf();
    // The three file dialogs: shortName in is the proposed name; out fullName and the
    // chosen short name (no folder, cut before its first "."). False on Cancel or error.
    bool getNameOpen(std::string& fullName, std::string& shortName);
    bool getNameSave(std::string& fullName, std::string& shortName);
    bool saveAsRtf(std::string& fullName, std::string& shortName);
    // The report of the window's TEDS into report.
    void buildReport();

    std::string fileName;  // the last short file name
    RichTextBox report;    // between building and printing or saving

private:
    bool fileDialog(int kind, const std::string& title, const std::string& ext, const std::string& filter,
                    const std::string& errorPrefix, std::string& fullName, std::string& shortName);
    // A chosen file that exists already may be replaced: asked.
    static bool mayReplace(const std::string& path);

    TedsF& w_;
};

} // namespace editor
