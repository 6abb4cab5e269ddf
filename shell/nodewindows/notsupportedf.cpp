#include "shell/nodewindows/notsupportedf.h"

#include "core/base/message.h"
#include "platform/qt/cp1252.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodemodels/boundrecord.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace shell {

Not_SupportedF::Not_SupportedF()
{
    setObjectName("Not_SupportedF");
    setWindowTitle("Tedsmith - Not supported");
    Info1 = new QLabel("Transducer  ?", this);
    Info1->setObjectName("Info1");
    auto* text1 = new QLineEdit("Node ID:", this);
    text1->setReadOnly(true);
    text1->setFrame(false);
    NodeID = new QLineEdit(this);
    NodeID->setObjectName("NodeID");
    NodeID->setReadOnly(true);
    FamilyCodeLabel = new QLabel(this);
    FamilyCodeLabel->setObjectName("FamilyCodeLabel");
    Label2 = new QLabel("For this microLAN family you can only read the node ID.", this);
    Label2->setObjectName("Label2");

    auto* lay = new QGridLayout(this);
    lay->addWidget(Info1, 0, 0, 1, 2);
    lay->addWidget(text1, 1, 0);
    lay->addWidget(NodeID, 1, 1);
    lay->addWidget(FamilyCodeLabel, 2, 0, 1, 2);
    lay->addWidget(Label2, 3, 0, 1, 2);
    resize(380, 140);
}

void Not_SupportedF::Inititiate(int index)
{
    const TrRecord& r = boundRecord(index);
    Info1->setText(platform::fromCp1252(r.name));
    NodeID->setText(platform::fromCp1252(r.id));
    setFamilyCodeLabel("Family code h" + core::ByteToHex2(static_cast<unsigned>(r.family) & 0xFF) + " not supported");
}

void Not_SupportedF::DoJob() { core::MsgBox("No such job in Not_SupportedF"); }

void Not_SupportedF::setFamilyCodeLabel(const std::string& caption)
{
    FamilyCodeLabel->setText(platform::fromCp1252(caption));
}

} // namespace shell
