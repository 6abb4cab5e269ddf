#include "tests/kit/basicnodewindow.h"

#include "core/base/message.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodemodels/boundrecord.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

BasicNodeWindow::BasicNodeWindow(const std::string& caption, const std::string& windowName)
    : QWidget(nullptr), windowName_(windowName)
{
    setObjectName(QString::fromStdString(windowName));
    setWindowTitle(platform::fromCp1252(caption));
    Info1 = new QLabel(this);
    Info1->setObjectName("Info1");
    auto* idLabel = new QLabel("Node ID:", this);
    NodeID = new QLineEdit(this);
    NodeID->setObjectName("NodeID");
    NodeID->setReadOnly(true);
    FamilyCodeLabel = new QLabel(this);
    FamilyCodeLabel->setObjectName("FamilyCodeLabel");
    nofocus = platform::makeFocusParker(this);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Info1);
    auto* row = new QHBoxLayout;
    row->addWidget(idLabel);
    row->addWidget(NodeID, 1);
    lay->addLayout(row);
    lay->addWidget(FamilyCodeLabel);
    resize(360, 140);
}

BasicNodeWindow::~BasicNodeWindow() = default;

std::string BasicNodeWindow::infoText(int index) const
{
    const TrRecord* r = record(index);
    return r ? GetTRName(r->id) : std::string();
}

void BasicNodeWindow::Inititiate(int index)
{
    const TrRecord& r = boundRecord(index);
    nodeId_ = r.id;
    family_ = r.family;
    NodeID->setText(platform::fromCp1252(nodeId_));
    FamilyCodeLabel->setText(
        platform::fromCp1252("Family code h" + core::ByteToHex2(static_cast<unsigned>(family_) & 0xFF)));
    Info1->setText(platform::fromCp1252(infoText(index)));
}

void BasicNodeWindow::reqShow()
{
    show();
    raise();
    nofocus->setFocus();
}

void BasicNodeWindow::DoJob()
{
    core::MsgBox(noSuchJobText());
}

void BasicNodeWindow::setFamilyCodeLabel(const std::string& caption)
{
    FamilyCodeLabel->setText(platform::fromCp1252(caption));
}

} // namespace shell
