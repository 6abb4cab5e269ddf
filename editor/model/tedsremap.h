#pragma once
// Making a new TEDS and moving one onto another template: the empty TEDS laid out by a
// template (selectors and manufacturer written, the display shown), the remap that
// carries the value texts field by field by tag, and the manufacturer writer. Works on
// the document passed in, which keeps the public names as forwards.

#include "core/tdl/currency.h"

namespace editor {

class TedsDocument;

// The create/remap dialog, prepared without being shown when a template is matched or
// forced (its template selector, abstract and manufacturer selection). The document
// keeps the manufacturer levels of its own template itself; the app registers the
// dialog here.
class TemplateDialogHook {
public:
    virtual ~TemplateDialogHook() = default;
    // Initiate(0, owner), then for a match SetupTemplateSelector and UpdateTemplateAbstract.
    virtual void prepareForTemplate(TedsDocument& owner, int templateIndex, bool matched) = 0;
};
TemplateDialogHook* templateDialogHook();
void setTemplateDialogHook(TemplateDialogHook* hook);

class TedsRemap {
public:
    explicit TedsRemap(TedsDocument& doc) : doc_(doc) {}

    // Empty TEDS from the first template with that UTID, without a dialog. False (and
    // nothing changed) when no template has it.
    bool CreateNewTEDS_force(const core::Currency& utid);
    // Empty TEDS laid out by template t: selectors, manufacturer, display. False when
    // refused (message given, nothing changed).
    bool GetNewTemplate(int t);
    // Moves the TEDS to template t, carrying the value texts field by field by tag (the
    // n-th field of a tag to the n-th field of that tag); the fields left without a
    // partner are listed in "Fields not remapped:". t = ActualTemplate() repeats the last
    // remap of this run (t then holds its target).
    void Remap_Template(int& t);
    // Writes the chosen manufacturer into one level's field (level < 0: every level). A
    // template that fixes its manufacturer gets that one at level 0.
    void UpdateManufactorBits(int level);

private:
    TedsDocument& doc_;
};

} // namespace editor
