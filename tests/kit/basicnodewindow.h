#pragma once
// A plain node window: the node's name, id and family code, until the full window of
// its kind replaces it. Hidden until the tree opens it; hidden again when its record
// goes.

#include "shell/nodes/nodewindow.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class BasicNodeWindow : public QWidget, public NodeWindow {
    Q_OBJECT
public:
    // caption: the window title; windowName: the name the job queue and messages use.
    BasicNodeWindow(const std::string& caption, const std::string& windowName);
    ~BasicNodeWindow() override;

    using NodeWindow::Inititiate;
    // Binds the window to TrList(index) and fills the labels.
    void Inititiate(int index) override;
    void reqShow() override;
    bool Visible() const override { return isVisible(); }
    void DoJob() override;
    std::string name() const override { return windowName_; }
    void setFamilyCodeLabel(const std::string& caption) override;

    // The record the window was last bound to (its id), "" before the first bind.
    const std::string& nodeId() const { return nodeId_; }
    int family() const { return family_; }

    QLabel* Info1 = nullptr;
    QLineEdit* NodeID = nullptr;
    QLabel* FamilyCodeLabel = nullptr;
    QPushButton* nofocus = nullptr;

protected:
    void onUnload() override { hide(); }
    // Text of Info1 after a bind; the default is the node's transducer name.
    virtual std::string infoText(int index) const;
    // The message for a job number the window does not know.
    virtual std::string noSuchJobText() const { return "No such job in " + windowName_; }

private:
    std::string windowName_;
    std::string nodeId_;
    int family_ = 0;
};

} // namespace shell
