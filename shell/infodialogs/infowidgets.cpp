#include "shell/infodialogs/infowidgets.h"

#include "core/base/corestate.h"
#include "platform/qt/cp1252.h"
#include "shell/infodialogs/infotexts.h"

#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace shell {

QPlainTextEdit* readOnlyBox(QWidget* parent, const char* name)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    return box;
}

QFormLayout* programForm(QWidget* parent, QLabel*& typeNo, QLabel*& version)
{
    typeNo = new QLabel(kProgramTypeNo, parent);
    version = new QLabel(platform::fromCp1252(core::coreState().ProgramVersion), parent);
    auto* form = new QFormLayout;
    form->addRow("Program type no.:", typeNo);
    form->addRow("Program version:", version);
    return form;
}

} // namespace shell
