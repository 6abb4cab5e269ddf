#pragma once
// The compile window: choose a description source (name.hdl / name.ddl) and compile it
// into name.tdl.

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace editor {

class ExpandDefine final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kHelpTopic = 18;

    // The file-open dialog: title, filter, start folder and file name in; the chosen
    // path out, nullopt on cancel. Texts are Windows-1252 bytes.
    using OpenFileDialog = std::function<std::optional<std::string>(
        const std::string& title, const std::string& filter, const std::string& folder, const std::string& fileName)>;

    explicit ExpandDefine(QWidget* parent = nullptr);
    ExpandDefine(const ExpandDefine&) = delete;
    ExpandDefine& operator=(const ExpandDefine&) = delete;

    void setOpenFileDialog(OpenFileDialog d) { openFile_ = std::move(d); }
    // The folder of the source, ending in a separator.
    const std::string& folder() const { return folder_; }

    QLineEdit* DescriptionFileName;
    QLineEdit* Inputfiles;
    QLineEdit* OutputFiles;
    QLineEdit* workdir;
    QPushButton* Browse;
    QPushButton* Command1;
    QPushButton* nofocus;

public slots:
    void browseClicked();
    void compileClicked();

private:
    void nameChanged();
    std::string text(const QLineEdit* e) const;

    std::string folder_;
    OpenFileDialog openFile_;
};

} // namespace editor
