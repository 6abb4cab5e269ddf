#pragma once
// T_server, the window of the request server ("Tedsmith - T-block server"): the working
// directory with its Browse button, "Enable server", "TEDS editor visible", the poll
// time, the activity log and the manual ack button. A thin view over RequestEngine: its
// controls forward to the engine, and it shows the engine's state; its QTimer is the
// poll timer. What the engine needs of other windows goes to the host it is given.

#include "server/engine/requestengine.h"
#include "server/engine/serverhost.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace server {

class T_server final : public QWidget, private ServerHost {
    Q_OBJECT
public:
    // outer: the main window, the TEDS windows and the end of the program. Kept by the caller.
    explicit T_server(ServerHost& outer, QWidget* parent = nullptr);
    static constexpr int kHelpTopic = 31;
    ~T_server() override;

    // Loads the window when it is not loaded (settings applied), then shows it.
    void showServer();
    // Unload: saves the settings; ends the program when the main window is hidden.
    void unloadServer();

    RequestEngine engine{*this};

    // The Browse dialog (tests replace it): the chosen file, nullopt on Cancel.
    std::function<std::optional<std::string>(const std::string& title, const std::string& dir)> chooseFile;

    // Controls, named as the program names them.
    QLineEdit* workdir = nullptr;
    QPushButton* Browse = nullptr;
    QPushButton* acknowledge = nullptr;
    QCheckBox* T_block_Server = nullptr;
    QCheckBox* EditorVisible = nullptr;
    QLineEdit* PoolTime = nullptr;
    QTimer* ServerTimer = nullptr;
    QPlainTextEdit* status = nullptr;
    QPushButton* cbClearLog = nullptr;
    QPushButton* nofocus = nullptr;

    // Shows the engine's state in the controls.
    void sync();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void connectControls();
    void parkFocus();
    void Browse_Click();

    // ServerHost: the window's own part; the rest goes to outer_.
    bool mainWindowVisible() override { return outer_.mainWindowVisible(); }
    void setMainWindowVisible(bool v) override { outer_.setMainWindowVisible(v); }
    bool amplifierLinkChosen() override { return outer_.amplifierLinkChosen(); }
    void postMainJob(int job, int param) override { outer_.postMainJob(job, param); }
    void postAmplifierJob(int job) override { outer_.postAmplifierJob(job); }
    void endProgram() override { outer_.endProgram(); }
    bool mayEndProgram() override { return outer_.mayEndProgram(); }
    void pollTimerChanged(bool enabled, int intervalMs) override;
    void logAppended(const std::string& text) override;
    void logCleared() override;
    void takeFocus() override;
    void ownMessage(const std::string& text) override { outer_.ownMessage(text); }
    int updateTAG(shell::NodeWindow& w, const std::string& name, const std::string& index, const std::string& value,
                  bool noValue, std::string& why) override
    {
        return outer_.updateTAG(w, name, index, value, noValue, why);
    }
    bool CreateNewTEDS_force(shell::NodeWindow& w, const core::Currency& utid) override
    {
        return outer_.CreateNewTEDS_force(w, utid);
    }
    std::vector<std::string> appendFullTEDS(shell::NodeWindow& w, bool prefix) override
    {
        return outer_.appendFullTEDS(w, prefix);
    }
    bool WriteNode_s(shell::NodeWindow& w, std::string& why) override { return outer_.WriteNode_s(w, why); }
    std::string ActualNodeID() override { return outer_.ActualNodeID(); }
    void setActualNodeID(const std::string& id) override { outer_.setActualNodeID(id); }
    void setSelectedNodeID(const std::string& id) override { outer_.setSelectedNodeID(id); }
    bool Delete_memory() override { return outer_.Delete_memory(); }
    std::optional<core::TedsBuf> storedTeds(shell::NodeWindow& w) override { return outer_.storedTeds(w); }
    void ClearNodeList() override { outer_.ClearNodeList(); }
    void addNode(const std::string& id) override { outer_.addNode(id); }
    void AddNodes() override { outer_.AddNodes(); }
    void ReadNodes() override { outer_.ReadNodes(); }
    std::vector<std::string> nodeListIds() override { return outer_.nodeListIds(); }
    void setAllowROMprg(bool allow) override { outer_.setAllowROMprg(allow); }
    bool DO_PrgDevice(const std::string& id) override { return outer_.DO_PrgDevice(id); }
    bool Select_Channel(int n) override { return outer_.Select_Channel(n); }

    ServerHost& outer_;
    bool syncing_ = false;
};

} // namespace server
