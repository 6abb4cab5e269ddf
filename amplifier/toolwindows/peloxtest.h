#pragma once
// The amplifier terminal Pelox_test over PeloxTestModel: a command box with presets,
// the seven send and receive buttons and the exchange log. Closing only hides it.

#include "amplifier/tools/peloxtestmodel.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace amplifier {

class Pelox_test final : public QWidget, private ToolView {
    Q_OBJECT
    // F1 reads the model's topic by this name.
    Q_PROPERTY(int HelpContextID READ helpContextID)
public:
    explicit Pelox_test(QWidget* parent = nullptr);
    ~Pelox_test() override;

    PeloxTestModel& model() { return model_; }
    int helpContextID() const { return model_.HelpContextID; }
    // The first loading (the model's Form_Load).
    void Form_Load();
    void sync();

    // Controls, named as the program names them.
    QComboBox* Send_Recieve_Pelox = nullptr;
    QPushButton* Addtolist = nullptr;
    QPushButton* RecieveLine = nullptr;
    QPushButton* Send_buffer = nullptr;
    QPushButton* SendReceivedLine = nullptr;
    QPushButton* SendLF = nullptr;
    QPushButton* SendLine = nullptr;
    QPushButton* SendLineLF = nullptr;
    QPushButton* RecieveLineLF = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QLabel* SelPelox = nullptr;
    QLabel* SelChan = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // ToolView
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void modelChanged() override { sync(); }

    void buildUi();
    void connectControls();

    PeloxTestModel model_;
    bool syncing_ = false;
};

} // namespace amplifier
