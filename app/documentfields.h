#pragma once
// The fields of a TEDS window's document as the shell's windows ask for them (the switch
// window's gains, the amplifier window's sensitivity): a lookup from a node window to
// its TEDS fields, registered with the shell for as long as the object lives.

#include "platform/base/scopedhook.h"
#include "shell/nodes/tedsfields.h"

namespace editor {
class TedsDocument;
}

namespace app {

class DocumentFields final : public shell::TedsFields {
public:
    // Registers the lookup: a TEDS window answers with its document, others with none.
    DocumentFields();
    ~DocumentFields() override;
    DocumentFields(const DocumentFields&) = delete;
    DocumentFields& operator=(const DocumentFields&) = delete;

    int templateIndex() override;
    bool GetTEDSField(const std::string& titlePart, double& value, std::string& text, int& fieldIndex) override;
    bool GetParam(double& value, std::string& unit) override;

private:
    shell::TedsFields* lookup(shell::NodeWindow& w);

    // Bound anew for each lookup.
    editor::TedsDocument* doc_ = nullptr;
    platform::ScopedHook<shell::TedsFieldLookup> hook_;
};

} // namespace app
