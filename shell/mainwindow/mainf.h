#pragma once
// The main window: node tree, communication panels, menus, and the 1000 ms timer
// that drives the job queue.

#include "shell/jobs/jobtarget.h"

#include <QMainWindow>

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;
class QTreeWidget;

namespace shell {

class MainF final : public QMainWindow, public JobTarget {
    Q_OBJECT
public:
    explicit MainF(QWidget* parent = nullptr);
    ~MainF() override;

    // JobTarget
    void DoJob() override;
    void Refresh() override;
    std::string name() const override { return "MainF"; }

    void Form_Load();
    void postInitialize();
    // Parks the keyboard focus on the off-screen button.
    void parkFocus();

    // Controls, named as the program names them.
    QTreeWidget* TRTreeView = nullptr;
    QTimer* ProcessJobQue = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> obSpeed{};
    QLineEdit* tbComm_mode = nullptr;
    QGroupBox* Frame2 = nullptr;
    std::array<QRadioButton*, 3> ModeO{};
    QScrollBar* VolScroll = nullptr;
    QCheckBox* Vol_mute = nullptr;
    QPushButton* nofocus = nullptr;
    QLabel* ScanLight = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Editor_text = nullptr;
    QLabel* ZQ_text = nullptr;
    QLabel* SimulatedLabel = nullptr;  // says when the network is simulated
    QMenu* mFile = nullptr;
    QMenu* msetup = nullptr;
    QMenu* mTools = nullptr;
    QMenu* mDebug = nullptr;
    QMenu* mhelp = nullptr;
    std::array<QAction*, 1> mnuhelp{};

private:
    void buildUi();
};

} // namespace shell
