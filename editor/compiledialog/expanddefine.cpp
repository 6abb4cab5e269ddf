#include "editor/compiledialog/expanddefine.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/compiler/cdefine.h"
#include "platform/qt/cp1252.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace editor {

namespace {

std::optional<std::string> qtOpenFile(const std::string& title, const std::string& filter, const std::string& folder,
                                      const std::string& fileName)
{
    const QString start = platform::fromCp1252(folder + fileName);
    const QString path = QFileDialog::getOpenFileName(nullptr, platform::fromCp1252(title), start,
                                                      platform::fromCp1252(filter));
    if (path.isEmpty())
        return std::nullopt;
    return platform::toCp1252(path);
}

} // namespace

ExpandDefine::ExpandDefine(QWidget* parent)
    : QDialog(parent),
      DescriptionFileName(new QLineEdit(this)),
      Inputfiles(new QLineEdit(this)),
      OutputFiles(new QLineEdit(this)),
      workdir(new QLineEdit(this)),
      Browse(new QPushButton(tr("Browse"), this)),
      Command1(new QPushButton(tr("Compile"), this)),
      nofocus(new QPushButton(this)),
      openFile_(qtOpenFile)
{
    setWindowTitle(tr("Compile description file"));
    DescriptionFileName->setObjectName("DescriptionFileName");
    Inputfiles->setObjectName("Inputfiles");
    OutputFiles->setObjectName("OutputFiles");
    workdir->setObjectName("workdir");
    Browse->setObjectName("Browse");
    Command1->setObjectName("Command1");
    nofocus->setObjectName("nofocus");
    Inputfiles->setReadOnly(true);
    OutputFiles->setReadOnly(true);
    workdir->setReadOnly(true);
    // Parked off the visible area; it only takes the focus.
    nofocus->setGeometry(-100, -100, 10, 10);
    nofocus->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Description file"), this), 0, 0);
    grid->addWidget(DescriptionFileName, 0, 1);
    grid->addWidget(Browse, 0, 2);
    grid->addWidget(new QLabel(tr("Input files"), this), 1, 0);
    grid->addWidget(Inputfiles, 1, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Output file"), this), 2, 0);
    grid->addWidget(OutputFiles, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Folder"), this), 3, 0);
    grid->addWidget(workdir, 3, 1, 1, 2);
    grid->addWidget(Command1, 4, 2);

    std::string pf = core::coreState().ProgramFolder.string();
    if (pf.empty() || (pf.back() != '/' && pf.back() != '\\'))
        pf += '/';
    folder_ = pf;
    workdir->setText(platform::fromCp1252(folder_));

    connect(DescriptionFileName, &QLineEdit::textChanged, this, &ExpandDefine::nameChanged);
    connect(Browse, &QPushButton::clicked, this, &ExpandDefine::browseClicked);
    connect(Command1, &QPushButton::clicked, this, &ExpandDefine::compileClicked);
}

std::string ExpandDefine::text(const QLineEdit* e) const { return platform::toCp1252(e->text()); }

void ExpandDefine::nameChanged()
{
    const std::string name = text(DescriptionFileName);
    Inputfiles->setText(platform::fromCp1252(name + ".hdl; " + name + ".ddl"));
    OutputFiles->setText(platform::fromCp1252(name + ".tdl"));
}

void ExpandDefine::browseClicked()
{
    const auto path = openFile_ ? openFile_("Select Description file to compile", "Description file (*.ddl) | *.ddl",
                                            folder_, text(DescriptionFileName) + ".ddl")
                                : std::nullopt;
    nofocus->setFocus();
    if (!path)
        return;
    const auto slash = path->find_last_of("/\\");
    const auto dot = path->find_last_of('.');
    if (slash == std::string::npos || dot == std::string::npos || dot < slash) {
        core::ShowMessage("Error in filename");
        return;
    }
    folder_ = path->substr(0, slash + 1);
    DescriptionFileName->setText(platform::fromCp1252(path->substr(slash + 1, dot - slash - 1)));
    workdir->setText(platform::fromCp1252(folder_));
}

void ExpandDefine::compileClicked()
{
    core::CompileDescription(folder_ + text(DescriptionFileName));
    accept();
}

} // namespace editor
