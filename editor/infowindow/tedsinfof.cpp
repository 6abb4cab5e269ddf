#include "editor/infowindow/tedsinfof.h"

#include "editor/infowindow/abstractcontrol.h"
#include "platform/qt/cp1252.h"

#include <QDoubleValidator>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace editor {

namespace {

QLabel* value(QWidget* parent, const char* name, const char* text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

TedsInfoF::TedsInfoF(QWidget* parent) : QDialog(parent)
{
    setObjectName("TedsInfoF");
    setWindowTitle("Tedsmith - TEDS information");
    auto* top = new QVBoxLayout(this);
    LinkedtoNode = new QLabel("Linked to node with ID:", this);
    ID = value(this, "ID", "0000000000000000");
    top->addWidget(LinkedtoNode);
    top->addWidget(ID);
    auto* form = new QFormLayout;
    UTID = value(this, "UTID", "");
    UGID = value(this, "UGID", "");
    UTIDT = value(this, "UTIDT", "");
    TDL_file = value(this, "TDL_file", "");
    LblUsedBits = new QLabel("Allocated  bits:", this);
    Usedbits = value(this, "Usedbits", "");
    form->addRow("Unique Template ID:", UTID);
    form->addRow("Unique Group ID:", UGID);
    form->addRow("Template ID Thread:", UTIDT);
    form->addRow("Template description file:", TDL_file);
    form->addRow(LblUsedBits, Usedbits);
    top->addLayout(form);
    Note = value(this, "Note", "note:");
    top->addWidget(Note);
    Abstract = new AbstractControl(this);
    top->addWidget(Abstract, 1);
    resize(460, 420);
}

void TedsInfoF::fill(const TedsInfo& info)
{
    ID->setText(platform::fromCp1252(info.nodeId));
    LblUsedBits->setText(platform::fromCp1252(info.usedBitsCaption));
    Usedbits->setText(platform::fromCp1252(info.usedBits));
    Note->setText(platform::fromCp1252(info.note));
    TDL_file->setText(platform::fromCp1252(info.file));
    UTIDT->setText(platform::fromCp1252(info.utidt));
    UTID->setText(platform::fromCp1252(info.utid));
    UGID->setText(platform::fromCp1252(info.ugid));
    Abstract->show(info.templateName, info.abstractLines);
}

TransferFunction::TransferFunction(QWidget* parent) : QDialog(parent)
{
    setObjectName("TransferFunction");
    setWindowTitle("Tedsmith - Transfer function");
    auto* form = new QFormLayout(this);
    NodeID = value(this, "NodeID", "");
    form->addRow("Node ID:", NodeID);
    Title = value(this, "Title", "Template title");
    form->addRow(Title);
    ActTemp = new QLineEdit("23 ", this);
    ActTemp->setObjectName("ActTemp");
    // Only a number is taken; nothing uses the temperature yet.
    ActTemp->setValidator(new QDoubleValidator(-273.15, 1000.0, 2, ActTemp));
    form->addRow("Used temperature:", ActTemp);
    auto* graph = new QLabel(this);
    graph->setObjectName("PicGraph");
    graph->setMinimumSize(240, 120);
    graph->setFrameShape(QFrame::Box);
    form->addRow(graph);
    form->addRow(new QLabel("Will be implemented when TAGS is implemented", this));
}

} // namespace editor
