#include "editor/model/titlelookup.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "editor/model/fieldtypes.h"

#include <algorithm>

namespace editor {

bool TitleLookup::find(const std::string& search, double& fvalue, std::string& ftext, int& Manufacture,
                       bool* available) const
{
    if (!rec_)
        return false;
    const std::string wanted = core::upper(search);
    const int last = std::min(rec_->fieldLast, core::kFieldsMax - 1);
    if (Manufacture < 0)
        Manufacture = 0;
    while (Manufacture <= last) {
        const auto& f = rec_->fields[static_cast<std::size_t>(Manufacture)];
        if (core::upper(f.title).find(wanted) == std::string::npos) {
            ++Manufacture;
            continue;
        }
        const FieldType* type = findFieldType(f.typeKeyword);
        if (!type || !type->lookup || !teds_.holdsBits(f.bitAddress, f.bitCount)) {
            core::ShowMessage("unsupported field type, request SW update", 0, "");
            return true;
        }
        const FieldLookup r = type->lookup(FieldContext{f, Manufacture, teds_, title_});
        if (r.hasValue)
            fvalue = r.value;
        if (r.hasText)
            ftext = r.text;
        if (available)
            *available = r.available;
        return true;
    }
    return false;
}

bool TitleLookup::sensitivity(double& value, std::string& unit) const
{
    const int last = rec_ ? std::min(rec_->fieldLast, core::kFieldsMax - 1) : -1;
    for (int k = 0; k <= last; ++k) {
        const auto& f = rec_->fields[static_cast<std::size_t>(k)];
        if (f.title.find("Sensitivity @") == std::string::npos)
            continue;
        unit = f.unit;
        if (f.typeKeyword != "CONRELRES" && f.typeKeyword != "CONRES" && f.typeKeyword != "UNINT") {
            core::ShowMessage("unexpected sens type", 0, "");
            return false;
        }
        const FieldLookup r = findFieldType(f.typeKeyword)->lookup(FieldContext{f, k, teds_, title_});
        if (!r.available) {
            value = 0;  // the not-available mark is no sensitivity
            return false;
        }
        value = r.value;
        return true;
    }
    value = 0;
    unit = "unknown";
    return false;
}

} // namespace editor
