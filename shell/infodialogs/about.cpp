#include "shell/infodialogs/about.h"

#include "core/base/corestate.h"
#include "platform/qt/cp1252.h"
#include "shell/infodialogs/infotexts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
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

About::About(QWidget* parent) : QDialog(parent)
{
    setObjectName("About");
    setWindowTitle("Tedsmith - About");
    setProperty("HelpContextID", kHelpContext);
    PrgTypeName = new QLabel(kProgramTypeNo, this);
    ZQ = new QLabel(text(core::coreState().ProgramVersion), this);
    Disclaimer = readOnlyBox(this, "Disclaimer");
    Disclaimer->setPlainText(lines(disclaimerText()));
    auto* form = new QFormLayout;
    form->addRow("Program type no.:", PrgTypeName);
    form->addRow("Program version:", ZQ);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(Disclaimer);
    resize(480, 300);
}

} // namespace shell
