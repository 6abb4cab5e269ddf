#include "shell/infodialogs/generalinfo.h"

#include "core/base/corestate.h"
#include "platform/qt/cp1252.h"
#include "shell/infodialogs/infotexts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

namespace {

QString text(const std::string& s) { return platform::fromCp1252(s); }

// CR LF line ends as the text box shows them.
QString lines(const std::string& s)
{
    QString t = text(s);
    t.replace("\r\n", "\n");
    return t;
}

QPlainTextEdit* readOnlyBox(QWidget* parent, const char* name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

} // namespace

GeneralInfo::GeneralInfo(QWidget* parent) : QDialog(parent)
{
    setObjectName("GeneralInfo");
    setWindowTitle("Tedsmith - General information");
    setProperty("HelpContextID", kHelpContext);
    PrgTypeName = new QLabel(kProgramTypeNo, this);
    ZQ = new QLabel(text(core::coreState().ProgramVersion), this);
    PrgDir = new QLabel(this);
    PrgDir->setObjectName("PrgDir");
    PrgDir->setWordWrap(true);
    PrgDir->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Drivers = readOnlyBox(this, "Drivers");
    Files_loaded = readOnlyBox(this, "Files_loaded");
    Files_loaded->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nofocus = new QPushButton("nofocus", this);
    nofocus->setGeometry(-200, -200, 10, 10);

    Drivers->setPlainText(lines(driversText()));
    std::string folder = core::coreState().ProgramFolder.string();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    PrgDir->setText(text(folder));
    Files_loaded->setPlainText(lines(filesLoadedText()));

    auto* form = new QFormLayout;
    form->addRow("Program type no.:", PrgTypeName);
    form->addRow("Program version:", ZQ);
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
