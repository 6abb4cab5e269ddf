#pragma once
// The serial-number window Pelox_MaintenanceF over MaintenanceModel. Closing only hides it.

#include "amplifier/tools/maintenancemodel.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace amplifier {

class Pelox_MaintenanceF final : public QWidget, private MaintenanceView {
    Q_OBJECT
public:
    explicit Pelox_MaintenanceF(QWidget* parent = nullptr);
    ~Pelox_MaintenanceF() override;

    MaintenanceModel& model() { return model_; }
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
    // MaintenanceView
    bool windowVisible() override { return isVisible(); }
    void parkFocus() override;
    void modelChanged() override { sync(); }

    MaintenanceModel model_;
};

} // namespace amplifier
