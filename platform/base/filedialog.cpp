#include "platform/base/filedialog.h"

namespace platform {

namespace {

class NoFileDialogs final : public FileDialogService {
public:
    FileDialogResult show(const FileDialogRequest&) override { return {}; }
};

NoFileDialogs none;
FileDialogService* current = nullptr;

} // namespace

FileDialogService& fileDialogs() { return current ? *current : none; }
void setFileDialogs(FileDialogService* s) { current = s; }

std::string withDefaultExtension(const std::string& path, const std::string& defaultExt)
{
    const auto slash = path.find_last_of('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (defaultExt.empty() || last.empty() || last.find('.') != std::string::npos)
        return path;
    return path + defaultExt;
}

} // namespace platform
