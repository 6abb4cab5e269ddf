#pragma once
// The full TEDS listing: the whole TEDS of a document as text lines (node id, template,
// ids, abstract, one line per field with tag, title and value, checksum state). The
// request server writes these lines into its response file, so their form is fixed.

#include "editor/model/tedsdocument.h"

#include <string>
#include <vector>

namespace editor {

// prefix: number values with SI prefix letters as the display writes them; otherwise
// plain numbers. An unknown type keyword is reported and its line written with an empty
// value. Lines have no line end.
std::vector<std::string> appendFullTEDS(TedsDocument& doc, bool prefix);

} // namespace editor
