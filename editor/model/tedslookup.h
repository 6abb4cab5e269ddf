#pragma once
// The fields of a document reached by name: a field found by its title, the sensitivity,
// a request line's value put into the field of a tag. What the request server and the other windows ask of a
// document; works on the document passed in, which keeps the public names as forwards.

#include <string>

namespace editor {

class TedsDocument;

// Results of updateTAG.
// TagValueRefused: the value does not fit its field (refused, clamped or cut); the row
// keeps its text and the bits stay.
enum TagResult : int { TagAssigned = 0, TagManufacturerRefused = 1, TagNotFound = 2, TagValueRefused = 3 };

class TedsLookup {
public:
    explicit TedsLookup(TedsDocument& doc) : doc_(doc) {}

    // The first field from Manufacture on whose title contains search (any case),
    // decoded. A CONRES / CONRELRES field of all ones gives ftext "N/A", fvalue
    // unchanged and *available false. ftemplate 0 becomes ActualTemplate().
    bool GetTEDSField(const std::string& search, double& fvalue, std::string& ftext, int& ftemplate,
                      int& Manufacture, bool* available = nullptr);
    // The sensitivity ("Sensitivity @" in the title) and its unit. True when a number was
    // given. No such field: 0 and "unknown". A field of all ones (not available): value
    // 0, its unit, false.
    bool GetParam(double& value, std::string& unit);
    // A request line's value for the field of a tag ("[2]"-style index or ""): put into
    // the row (the manufacturer straight into the bits). Result TagResult; *why (when
    // given) says why a value was refused.
    int updateTAG(const std::string& tagName, const std::string& tagIndex, const std::string& value, bool noValue,
                  std::string* why = nullptr);

private:
    TedsDocument& doc_;
};

} // namespace editor
