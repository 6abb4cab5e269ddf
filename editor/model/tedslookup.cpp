#include "editor/model/tedslookup.h"

#include "core/base/textfile.h"
#include "core/numeric/numberrules.h"
#include "core/teds/bitfields.h"
#include "editor/model/manufacturerlevels.h"
#include "editor/model/tedsdocument.h"
#include "editor/model/titlelookup.h"

#include <algorithm>

namespace editor {

bool TedsLookup::GetTEDSField(const std::string& search, double& fvalue, std::string& ftext, int& ftemplate,
                              int& Manufacture, bool* available)
{
    if (ftemplate == 0)
        ftemplate = doc_.ActualTemplate();
    if (available)
        *available = true;
    const auto* rec = TemplateMatcher::templateAt(doc_.ActualTemplate());
    return TitleLookup(rec, doc_.TedsBuf, doc_.Title).find(search, fvalue, ftext, Manufacture, available);
}

bool TedsLookup::GetParam(double& value, std::string& unit)
{
    const auto* rec = doc_.hasLibraryTemplate() ? TemplateMatcher::templateAt(doc_.ActualTemplate()) : nullptr;
    return TitleLookup(rec, doc_.TedsBuf, doc_.Title).sensitivity(value, unit);
}

int TedsLookup::updateTAG(const std::string& tagName, const std::string& tagIndex, const std::string& value,
                          bool noValue, std::string* why)
{
    const auto* rec = TemplateMatcher::templateAt(doc_.ActualTemplate());
    if (!rec)
        return TagNotFound;
    const std::string name = core::upper(tagName);
    const std::string index = core::upper(tagIndex);
    const int last = std::min(rec->fieldLast, kRowCount - 1);
    int k = 0;
    for (; k <= last; ++k) {
        const auto& f = rec->fields[static_cast<std::size_t>(k)];
        const std::string fieldTag = core::upper(f.tag ? f.tag->name : f.tagName);
        if (!fieldTag.empty() && fieldTag == name && core::upper(f.tagSuffix) == index &&
            !doc_.rows[static_cast<std::size_t>(k)].fieldFlag)
            break;
    }
    if (k > last)
        return TagNotFound;
    auto& row = doc_.rows[static_cast<std::size_t>(k)];
    row.fieldFlag = true;
    if (noValue)
        return TagAssigned;
    if (name == "MANUFACTURER") {
        long id = core::numeric::CLng(core::numeric::roundHalfEven(core::numeric::leadingNumber(core::trim(value))))
                      .value_or(0);
        if (id == 0)
            id = getManufacturerCode(value);
        if (id < 0)
            return TagManufacturerRefused;  // no manufacturer of that name
        if (rec->manufacturerInSelector && rec->defaultManufacturerId != id && k == rec->manufacturerField)
            return TagManufacturerRefused;
        const auto& f = rec->fields[static_cast<std::size_t>(k)];
        // An id wider than the field would be stored clamped: refused instead.
        if (f.bitCount < 32 && id > (1L << f.bitCount) - 1) {
            if (why)
                *why = "manufacturer id " + std::to_string(id) + " is out of range (0 to " +
                       std::to_string((1L << f.bitCount) - 1) + ")";
            return TagValueRefused;
        }
        const bool wasCurrent = doc_.gridIsCurrent();
        core::BytesToBits(doc_.TedsBuf);
        core::Val2Bits(static_cast<double>(id), f.bitAddress, f.bitCount, doc_.TedsBuf);
        core::BitsToBytes(doc_.TedsBuf);
        doc_.keepGridCurrent(wasCurrent);
    } else if (const EncodeResult fit = doc_.checkRow(k, value); !fit.stored()) {
        // Encoded later, when the node is written: a value the field cannot hold as given
        // is refused now, so that nothing of the request is written.
        if (why)
            *why = fit.reason;
        return TagValueRefused;
    }
    row.value = value;
    doc_.notifyTexts();
    return TagAssigned;
}

} // namespace editor
