#pragma once
// The window "Tedsmith - Not supported" of a node whose family the program does not
// handle: the record's name, the node id (selectable, to copy it) and its family code.
// No jobs, no device access.

#include "shell/nodes/nodewindow.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace shell {

class Not_SupportedF final : public QWidget, public NodeWindow {
    Q_OBJECT
public:
    Not_SupportedF();

    using NodeWindow::Inititiate;
    void Inititiate(int index) override;
    void reqShow() override { show(); raise(); }
    bool Visible() const override { return isVisible(); }
    // Shows "No such job in Not_SupportedF", whatever the number.
    void DoJob() override;
    std::string name() const override { return "Not_SupportedF"; }
    void setFamilyCodeLabel(const std::string& caption) override;

    QLabel* Info1 = nullptr;
    QLineEdit* NodeID = nullptr;
    QLabel* FamilyCodeLabel = nullptr;
    QLabel* Label2 = nullptr;

protected:
    void onUnload() override { hide(); }
};

} // namespace shell
