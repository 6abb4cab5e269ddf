#include "app/documentfields.h"

#include "editor/tedswindow/tedsf.h"

namespace app {

DocumentFields::DocumentFields() : hook_(&shell::setTedsFieldLookup, [this](shell::NodeWindow& w) { return lookup(w); })
{
}

DocumentFields::~DocumentFields() = default;

shell::TedsFields* DocumentFields::lookup(shell::NodeWindow& w)
{
    auto* teds = dynamic_cast<editor::TedsF*>(&w);
    if (!teds)
        return nullptr;
    doc_ = &teds->doc;
    return this;
}

int DocumentFields::templateIndex() { return doc_->ActualTemplate(); }

bool DocumentFields::GetTEDSField(const std::string& titlePart, double& value, std::string& text, int& fieldIndex)
{
    int tmpl = 0;
    bool available = true;
    return doc_->GetTEDSField(titlePart, value, text, tmpl, fieldIndex, &available) && available;
}

bool DocumentFields::GetParam(double& value, std::string& unit) { return doc_->GetParam(value, unit); }

} // namespace app
