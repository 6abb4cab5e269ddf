#pragma once
// The dual-switch window "Tedsmith - Switch" of a DS2406's second record: the two
// outputs as buttons or as four switch positions, the read frame, the Tools and Mode
// menus. A thin view over SwitchModel; its jobs run from the queue.

#include "shell/nodes/nodewindow.h"
#include "shell/nodemodels/switchmodel.h"

#include <QWidget>

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace shell {

class SwitchF final : public QWidget, public NodeWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 43;

    SwitchF();
    ~SwitchF() override;

    using NodeWindow::Inititiate;
    void Inititiate(int index) override;
    void reqShow() override;
    bool Visible() const override { return isVisible(); }
    void DoJob() override;
    void Refresh() override { sync(); }
    std::string name() const override { return "SwitchF"; }

    SwitchModel& model() { return model_; }
    // Shows the model's state in the widgets.
    void sync();

    QLineEdit* Info1 = nullptr;
    QLabel* NodeID = nullptr;
    QLabel* Demo_adaptor = nullptr;
    QGroupBox* DIP_Switch = nullptr;
    QPushButton* SW_A = nullptr;
    QPushButton* SW_B = nullptr;
    QGroupBox* ModeSelector = nullptr;
    std::array<QRadioButton*, 4> SW_select{};
    QGroupBox* FrameRead = nullptr;
    QPushButton* cbRead = nullptr;
    QLabel* lbPIOA = nullptr;
    QLabel* lbPIOB = nullptr;
    QLabel* Lbl_user = nullptr;
    QLineEdit* UserData = nullptr;
    QPushButton* nofocus = nullptr;
    QMenu* mTools = nullptr;
    QMenu* mMode = nullptr;
    std::array<QAction*, 2> mnuTools{};
    std::array<QAction*, 3> mnuMode{};

protected:
    void onUnload() override { hide(); }
    void changeEvent(QEvent* e) override;

private:
    void buildUi();
    void parkFocus();

    SwitchModel model_;
    bool syncing_ = false;
    int shape_ = -1;  // the frames shown when the window last fitted its height
};

} // namespace shell
