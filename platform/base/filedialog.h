#pragma once
// File, save and folder dialogs go through this one service: the program shows Qt's
// dialogs, tests answer from a script and read what was asked. Texts and paths are
// Windows-1252 bytes; a folder ends with "/".

#include <deque>
#include <string>
#include <vector>

namespace platform {

enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;
    std::string initialDir;   // empty: the dialog's own choice
    std::string fileName;     // proposed name (no folder)
    std::string defaultExt;   // ".tds": added to a typed name without extension
    // "TEDS files(*.tds)|*.tds|All files|*.*": pairs of caption and pattern.
    std::string filter;
    int filterIndex = 1;      // 1-based
    bool mustExist = false;   // open: the file must exist
};

struct FileDialogResult {
    enum Outcome { Chosen, Cancelled, Failed };
    Outcome outcome = Cancelled;
    std::string path;   // full path of the choice (Chosen)
    std::string error;  // description (Failed)
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual FileDialogResult show(const FileDialogRequest& request) = 0;
};

// The service in force. Without one set every dialog is cancelled.
FileDialogService& fileDialogs();
void setFileDialogs(FileDialogService* s);

// The name with defaultExt added when its last path part has no extension.
std::string withDefaultExtension(const std::string& path, const std::string& defaultExt);

} // namespace platform
