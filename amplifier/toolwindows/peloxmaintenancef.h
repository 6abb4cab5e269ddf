#pragma once
// The serial-number window Pelox_MaintenanceF over MaintenanceModel. Closing only hides it.

#include "amplifier/tools/maintenancemodel.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace amplifier {

class Pelox_MaintenanceF final : public QWidget, private ToolView {
    Q_OBJECT
    // F1 reads the model's topic by this name.
    Q_PROPERTY(int HelpContextID READ helpContextID)
public:
    explicit Pelox_MaintenanceF(QWidget* parent = nullptr);
    ~Pelox_MaintenanceF() override;

    MaintenanceModel& model() { return model_; }
    int helpContextID() const { return model_.HelpContextID; }
    void Form_Load();
    void sync();

    // Controls, named as the program names them.
    QLineEdit* SerialNo = nullptr;
    QPushButton* ReqWriteSerialno = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // ToolView
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void modelChanged() override { sync(); }

    MaintenanceModel model_;
};

} // namespace amplifier
