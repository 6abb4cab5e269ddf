#include "editor/createremap/newremaptemplate.h"

#include "core/lists/listsstate.h"
#include "editor/infowindow/abstractcontrol.h"
#include "platform/qt/cp1252.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace editor {

namespace {

QComboBox* combo(QWidget* parent, const char* name, const char* tip)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setToolTip(tip);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(40);
    return c;
}

QLabel* label(QWidget* parent, const char* name, const char* text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

NewRemapTemplate::NewRemapTemplate(QWidget* parent) : QDialog(parent)
{
    setObjectName("NewRemapTemplate");
    setWindowTitle("Tedsmith - Create empty TEDS");
    buildUi();
    connectControls();
    model.changed = [this] { sync(); };
    model.hide = [this] { hide(); };
    listListener_ = core::listsState().Manufacturers.addListener([this] { sync(); });
    // Load: every template listed, nothing selected.
    model.SetupTemplateSelector(-1);
    sync();
}

NewRemapTemplate::~NewRemapTemplate() { core::listsState().Manufacturers.removeListener(listListener_); }

void NewRemapTemplate::buildUi()
{
    auto* top = new QVBoxLayout(this);

    ugidFrame = new QGroupBox(this);
    ugidFrame->setObjectName("ugidFrame");
    auto* ugid = new QVBoxLayout(ugidFrame);
    Label5 = label(ugidFrame, "Label5", "UGID selector by title");
    UgidSelector = combo(ugidFrame, "UgidSelector", "Select template");
    ugid->addWidget(Label5);
    ugid->addWidget(UgidSelector);
    top->addWidget(ugidFrame);

    TemplateFrame = new QGroupBox(this);
    TemplateFrame->setObjectName("TemplateFrame");
    auto* tf = new QGridLayout(TemplateFrame);
    Label7 = label(TemplateFrame, "Label7", "Template selector by title");
    SelectTemplate = combo(TemplateFrame, "SelectTemplate", "Select template");
    Label2 = label(TemplateFrame, "Label2", "Manufacturer selector");
    Manufacturers = combo(TemplateFrame, "Manufacturers", "Select manufacturer for copy or new template");
    Label4 = label(TemplateFrame, "Label4", "Manufacturer field selector");
    ManufacturerField = combo(TemplateFrame, "ManufacturerField",
                              "Select which manufacturer field in actual template to copy manufacturer to");
    Abstract1 = new AbstractControl(TemplateFrame);
    Abstract1->setObjectName("Abstract1");
    Label1 = label(TemplateFrame, "Label1", "UTID:");
    UTID = label(TemplateFrame, "UTID", "");
    Label3 = label(TemplateFrame, "Label3", "Required size :");
    Usedbits = label(TemplateFrame, "Usedbits", "");
    tf->addWidget(Label7, 0, 0, 1, 4);
    tf->addWidget(SelectTemplate, 1, 0, 1, 4);
    tf->addWidget(Label2, 2, 0, 1, 2);
    tf->addWidget(Label4, 2, 2, 1, 2);
    tf->addWidget(Manufacturers, 3, 0, 1, 2);
    tf->addWidget(ManufacturerField, 3, 2, 1, 2);
    tf->addWidget(Abstract1, 4, 0, 1, 4);
    tf->addWidget(Label1, 5, 0);
    tf->addWidget(UTID, 5, 1);
    tf->addWidget(Label3, 5, 2);
    tf->addWidget(Usedbits, 5, 3);
    tf->setRowStretch(4, 1);
    top->addWidget(TemplateFrame, 1);

    CopyManu_template = new QPushButton("Copy Manufacturer to selected field", this);
    CopyManu_template->setObjectName("CopyManu_template");
    CopyManu_template->setToolTip("Copy manufacturer to actual template");
    top->addWidget(CopyManu_template, 0, Qt::AlignLeft);

    cmdFrame = new QGroupBox(this);
    cmdFrame->setObjectName("cmdFrame");
    auto* cmd = new QHBoxLayout(cmdFrame);
    Command1 = new QPushButton("Get new template", cmdFrame);
    Command1->setObjectName("Command1");
    Cancel_Button = new QPushButton("Close", cmdFrame);
    Cancel_Button->setObjectName("Cancel_Button");
    // Parks the focus (no button is the default one).
    nofocus = new QPushButton(cmdFrame);
    nofocus->setObjectName("nofocus");
    nofocus->setFixedSize(1, 1);
    nofocus->setFlat(true);
    cmd->addWidget(Command1);
    cmd->addStretch(1);
    cmd->addWidget(nofocus);
    cmd->addWidget(Cancel_Button);
    top->addWidget(cmdFrame);
    for (auto* b : {Command1, Cancel_Button, nofocus, CopyManu_template}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(620, 520);
}

void NewRemapTemplate::connectControls()
{
    connect(UgidSelector, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (!syncing_)
            model.chooseGroup(p);
    });
    connect(SelectTemplate, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (!syncing_) {
            model.chooseTemplate(p);
            Remap_Nofocus();
        }
    });
    connect(ManufacturerField, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (!syncing_)
            model.chooseManufacturerField(p);
    });
    connect(Manufacturers, &QComboBox::currentIndexChanged, this, [this](int p) {
        if (!syncing_) {
            model.chooseManufacturer(p);
            Remap_Nofocus();
        }
    });
    connect(Command1, &QPushButton::clicked, this, [this] {
        model.Command1_Click();
        Remap_Nofocus();
    });
    connect(CopyManu_template, &QPushButton::clicked, this, [this] {
        if (isVisible())
            model.CopyManu_template_Click();
        Remap_Nofocus();
    });
    connect(Cancel_Button, &QPushButton::clicked, this, [this] {
        Remap_Nofocus();
        model.Cancel_Button_Click();
    });
}

// Refills the box only when its entries changed (the template list is long).
void NewRemapTemplate::fill(QComboBox* c, const std::vector<std::string>& items, int selected)
{
    const QSignalBlocker block(c);
    auto& shown = shown_[c];
    if (shown != items || c->count() != static_cast<int>(items.size())) {
        c->clear();
        for (const auto& s : items)
            c->addItem(platform::fromCp1252(s));
        shown = items;
    }
    c->setCurrentIndex(selected);
}

void NewRemapTemplate::Remap_Nofocus()
{
    if (isVisible())
        nofocus->setFocus();
}

void NewRemapTemplate::Initiate(int mode, TedsDocument& owner)
{
    model.Initiate(mode, owner);
    Remap_Nofocus();
}

void NewRemapTemplate::prepareForTemplate(TedsDocument& owner, int templateIndex, bool matched)
{
    // On show the dialog belongs to the window that opened it.
    if (isVisible())
        return;
    model.Initiate(NewRemapModel::CreateMode, owner);
    if (matched) {
        model.SetupTemplateSelector(templateIndex);
        model.UpdateManufactorLevels(templateIndex);
    }
    sync();
}

void NewRemapTemplate::sync()
{
    if (syncing_)
        return;
    syncing_ = true;
    setWindowTitle(platform::fromCp1252(model.windowCaption()));
    setProperty("HelpContextID", model.helpTopic());
    Command1->setText(platform::fromCp1252(model.command1Caption()));
    CopyManu_template->setVisible(model.copyManufacturerVisible());
    ugidFrame->setVisible(model.groupListVisible());
    fill(UgidSelector, model.ugidEntries(), model.ugidIndex());
    fill(SelectTemplate, model.templateEntries(), model.templatePosition());
    fill(ManufacturerField, model.levels().entries, model.manufacturerFieldIndex());
    const auto& list = core::listsState().Manufacturers;
    fill(Manufacturers, list.items(), list.ListIndex());
    Manufacturers->setEnabled(!model.manufacturersLocked());
    UTID->setText(platform::fromCp1252(model.utidText()));
    Usedbits->setText(platform::fromCp1252(model.usedBitsText()));
    const int t = model.ReadTemplateSelector();
    if (t >= 0)
        Abstract1->UpdateTemplateAbstract(t);
    else
        Abstract1->show("", {});
    syncing_ = false;
}

void NewRemapTemplate::closeEvent(QCloseEvent* e)
{
    // The close box only hides the dialog.
    e->ignore();
    model.Cancel_Button_Click();
}

void NewRemapTemplate::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // Above the TEDS window it works for, which may have been raised meanwhile.
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
}

void NewRemapTemplate::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        model.Cancel_Button_Click();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace editor
