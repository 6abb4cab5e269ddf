#pragma once
// T_server, the window of the request server ("Tedsmith - T-block server"): the working
// directory with its Browse button, "Enable server", "TEDS editor visible", the poll
// time, the activity log and the manual ack button. A thin view over RequestEngine: its
// controls forward to the engine, and it shows the engine's state; its QTimer is the
// poll timer. It only shows: what the engine needs of the rest of the program it asks
// the program's ServerHost directly.

#include "server/engine/requestengine.h"
#include "server/engine/serverhost.h"
#include "server/engine/serverview.h"
#include "platform/base/messagebox.h"

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

class T_server final : public QWidget, private ServerView {
    Q_OBJECT
public:
    // program: the rest of the program, for the engine; ownBox: where the window's own
    // messages go (shown even while the server suppresses the others). Kept by the caller.
    T_server(ServerHost& program, platform::MessageBoxService& ownBox, QWidget* parent = nullptr);
    static constexpr int kHelpTopic = 31;
    ~T_server() override;

    // Loads the window when it is not loaded (settings applied), then shows it.
    void showServer();
    // Unload: saves the settings; ends the program when the main window is hidden.
    void unloadServer();

    RequestEngine engine;

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

    // ServerView
    void pollTimerChanged(bool enabled, int intervalMs) override;
    void logAppended(const std::string& text) override;
    void logCleared() override;
    void takeFocus() override;
    void ownMessage(const std::string& text) override;

    platform::MessageBoxService& ownBox_;
    bool syncing_ = false;
};

} // namespace server
