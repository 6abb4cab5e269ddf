#pragma once
// What the switch window and the amplifier window read of a node's TEDS: the fields of
// the TEDS that the node's TEDS window shows, found by a piece of their title, and the
// transducer sensitivity. The TEDS editor owns the
// document that answers; the program registers the lookup from a TEDS window to its
// fields once, at start-up.

#include <functional>
#include <string>

namespace shell {

class NodeWindow;

class TedsFields {
public:
    virtual ~TedsFields() = default;
    // Index in the template library of the template the TEDS is shown with; -1 none.
    virtual int templateIndex() = 0;
    // From fieldIndex on, the first field of that template whose title contains
    // titlePart (letter case ignored): value and text are its decoded value and display
    // text, fieldIndex is left at it, true. None: fieldIndex one past the last field,
    // value and text untouched, false.
    virtual bool GetTEDSField(const std::string& titlePart, double& value, std::string& text, int& fieldIndex) = 0;
    // The sensitivity (the first field with "Sensitivity @" in its title) and its unit;
    // true when the TEDS gives a number. Otherwise value 0 and the field's unit, or
    // "unknown" without such a field.
    virtual bool GetParam(double& value, std::string& unit)
    {
        value = 0;
        unit = "unknown";
        return false;
    }
};

// The fields of a TEDS window; nullptr when it has none to offer.
using TedsFieldLookup = std::function<TedsFields*(NodeWindow& tedsWindow)>;
// An empty lookup: no TEDS window offers fields.
void setTedsFieldLookup(TedsFieldLookup lookup);
TedsFields* tedsFieldsOf(NodeWindow& tedsWindow);

} // namespace shell
