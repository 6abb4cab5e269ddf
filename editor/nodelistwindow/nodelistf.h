#pragma once
// The node-list generator window NodeListF over NodeListModel: the list of node ids
// (reordered by dragging, edited with the clipboard keys), the activity log, the
// layout option and the "allow ROM programming" box. Loaded once; closing hides it.

#include "editor/nodelist/nodelistmodel.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace editor {

class NodeListF final : public QWidget, private NodeListView {
    Q_OBJECT
public:
    explicit NodeListF(QWidget* parent = nullptr);
    ~NodeListF() override;

    NodeListModel& model() { return model_; }
    void Form_Load();
    // Shows the model's state in the widgets.
    void sync();

    // Controls, named as the program names them.
    QLabel* Label1 = nullptr;
    QListWidget* ID_list = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* activityLog = nullptr;
    QPushButton* CbAddNodes = nullptr;
    QPushButton* ReadList = nullptr;
    QPushButton* ClearList = nullptr;
    QPushButton* PrgDevice = nullptr;
    QPushButton* cbClearLog = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> ieee_version{};
    QCheckBox* allowROMprg = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // NodeListView
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void modelChanged() override { sync(); }
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;

    void connectControls();
    bool listMouse(QEvent* event);

    NodeListModel model_;
    bool syncing_ = false;
};

} // namespace editor
