#include "editor/infowindow/abstractcontrol.h"

#include "core/tdl/tdlstate.h"
#include "editor/infowindow/tedsinfo.h"
#include "platform/qt/cp1252.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace editor {

AbstractControl::AbstractControl(QWidget* parent) : QWidget(parent)
{
    setObjectName("Abstract");
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    AbstractTitle = new QLabel("Title", this);
    Label6 = new QLabel("Abstract", this);
    TemplateAbstract = new QPlainTextEdit(this);
    TemplateAbstract->setReadOnly(true);
    TemplateAbstract->setToolTip("Abstract of actual template or selected template");
    l->addWidget(AbstractTitle);
    l->addWidget(Label6);
    l->addWidget(TemplateAbstract);
}

void AbstractControl::UpdateTemplateAbstract(int t)
{
    const auto& lib = core::tdlState();
    if (t < 0 || t >= static_cast<int>(lib.Templates.size())) {
        show("", {});
        return;
    }
    const auto& tr = lib.Templates[static_cast<std::size_t>(t)];
    show(tr.name, tr.abstractLines);
}

void AbstractControl::show(const std::string& name, const std::vector<std::string>& lines)
{
    AbstractTitle->setText(platform::fromCp1252(name));
    // Always refilled, so a template without abstract lines leaves no stale text.
    TemplateAbstract->setPlainText(platform::fromCp1252Lines(abstractText(lines)));
}

} // namespace editor
