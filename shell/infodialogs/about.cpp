#include "shell/infodialogs/about.h"

#include "platform/qt/cp1252.h"
#include "shell/infodialogs/infotexts.h"
#include "shell/infodialogs/infowidgets.h"

#include <QFormLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace shell {

About::About(QWidget* parent) : QDialog(parent)
{
    setObjectName("About");
    setWindowTitle("Tedsmith - About");
    setProperty("HelpContextID", kHelpContext);
    auto* form = programForm(this, PrgTypeName, ZQ);
    Disclaimer = readOnlyBox(this, "Disclaimer");
    Disclaimer->setPlainText(platform::fromCp1252Lines(disclaimerText()));
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(Disclaimer);
    resize(480, 300);
}

} // namespace shell
