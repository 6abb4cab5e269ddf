#pragma once
// The template download window Pelox_DL_Templates over DlTemplatesModel: the templates
// an amplifier can use with the chosen one's abstract, the download list (names and
// UTIDs side by side, kept in step), and the buttons that read and write the amplifier's
// table and the list files. Shown modally; its buttons are disabled while an exchange runs.

#include "amplifier/tools/dltemplatesmodel.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace amplifier {

class Pelox_DL_Templates final : public QDialog, private DlTemplatesView {
    Q_OBJECT
    // F1 reads the model's topic by this name.
    Q_PROPERTY(int HelpContextID READ helpContextID)
public:
    explicit Pelox_DL_Templates(QWidget* parent = nullptr);
    ~Pelox_DL_Templates() override;

    DlTemplatesModel& model() { return model_; }
    int helpContextID() const { return model_.HelpContextID; }
    // Loads the window for an amplifier (Form_Load, then Initiate).
    void load(int amplifier);
    void sync();

    // Controls, named as the program names them.
    QLabel* Label7 = nullptr;
    QComboBox* SelectTemplate = nullptr;
    QGroupBox* Abstract1 = nullptr;
    QLabel* AbstractTitle = nullptr;
    QPlainTextEdit* TemplateAbstract = nullptr;
    QPushButton* AddToList_cmd = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* TemplatesInPelox = nullptr;
    QListWidget* UTIDinPelox = nullptr;
    QListWidget* TemplateNo = nullptr;  // hidden
    QPushButton* Read_default = nullptr;
    QPushButton* Read_previous = nullptr;
    QPushButton* ReadPelox = nullptr;
    QPushButton* Update_cmd = nullptr;
    QPushButton* ClrList_cmd = nullptr;
    QPushButton* DumpToFile = nullptr;
    QPushButton* Exit_Button = nullptr;
    QLabel* Pelox_ID = nullptr;
    QPushButton* nofocus = nullptr;

public:
    // The close box and Escape: nothing is kept; refused while an exchange runs.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // DlTemplatesView
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void beep() override;
    void hideWindow() override;
    void modelChanged() override { sync(); }

    void buildUi();
    void connectControls();
    void selectRow(int row);
    void fitNames();

    DlTemplatesModel model_;
    bool syncing_ = false;
};

} // namespace amplifier
