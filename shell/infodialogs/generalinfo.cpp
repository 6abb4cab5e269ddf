#include "shell/infodialogs/generalinfo.h"

#include "core/base/corestate.h"
#include "platform/qt/cp1252.h"
#include "platform/qt/focusparker.h"
#include "shell/infodialogs/infotexts.h"
#include "shell/infodialogs/infowidgets.h"

#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

GeneralInfo::GeneralInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName("GeneralInfo");
    setWindowTitle("Tedsmith - General information");
    setProperty("HelpContextID", kHelpContext);
    auto* form = programForm(this, PrgTypeName, ZQ);
    PrgDir = new QLabel(this);
    PrgDir->setObjectName("PrgDir");
    PrgDir->setWordWrap(true);
    PrgDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Drivers = readOnlyBox(this, "Drivers");
    Files_loaded = readOnlyBox(this, "Files_loaded");
    Files_loaded->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nofocus = platform::makeFocusParker(this);

    Drivers->setPlainText(platform::fromCp1252Lines(driversText()));
    std::string folder = core::coreState().ProgramFolder.string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    PrgDir->setText(platform::fromCp1252(folder));
    Files_loaded->setPlainText(platform::fromCp1252Lines(filesLoadedText()));

    form->addRow("Program directory:", PrgDir);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(new QLabel("Drivers loaded:", this));
    lay->addWidget(Drivers, 1);
    lay->addWidget(new QLabel("Description files loaded:", this));
    lay->addWidget(Files_loaded, 2);
    resize(520, 420);
    nofocus->setFocus();
}

} // namespace shell
