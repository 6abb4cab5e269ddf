#pragma once
// The amplifier window PeloxF: the amplifier tree, the selected channel's details,
// the TEDS group and the Configuration, Mode and Tools menus, shown over the
// widget-free PeloxModel. Closing the window only hides it.

#include "amplifier/model/peloxmodel.h"

#include <QMainWindow>

#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace amplifier {

class PeloxF final : public QMainWindow, private PeloxView {
    Q_OBJECT
    // F1 reads the model's topic by this name.
    Q_PROPERTY(int HelpContextID READ helpContextID)
public:
    explicit PeloxF(QWidget* parent = nullptr);
    ~PeloxF() override;

    PeloxModel& model() { return model_; }
    int helpContextID() const { return model_.HelpContextID; }
    // Loads the window: the model's loading posts the first chain read.
    void Form_Load();
    // Shows the model's state in the widgets.
    void sync();

    // Controls, named as the program names them.
    QTreeWidget* PeloxTreeView = nullptr;
    QMenu* mPelox = nullptr;
    QAction* mnuPelox = nullptr;
    QMenu* mMode = nullptr;
    std::array<QAction*, 3> mnuMode{};
    QMenu* mTools = nullptr;
    std::array<QAction*, 1> mnuTools{};
    QLabel* Label7 = nullptr;
    QLabel* SelectedPelox = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* channel = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* SelectedChannel = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Sensitivity = nullptr;
    QComboBox* Peloxunit = nullptr;
    QPushButton* Sens2Pelox = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* TedsTitle = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* TSensitivity = nullptr;
    QPushButton* Tsens2Pelox = nullptr;
    QPushButton* ReadTeds = nullptr;
    QPushButton* ShowTheTEDS = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Modetext = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // PeloxView
    void showWindow() override;
    void showDownloadWindow(int amplifierNo) override;
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void modelChanged() override;

    void buildUi();
    void connectControls();
    void syncTree();

    PeloxModel model_;
    // The tree as last mirrored: node ids and texts.
    std::vector<std::pair<int, std::string>> shownTree_;
    bool syncing_ = false;
};

} // namespace amplifier
