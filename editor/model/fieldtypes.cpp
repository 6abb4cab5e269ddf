#include "editor/model/fieldtypes.h"

#include "editor/model/fieldcodecs.h"

#include <algorithm>
#include <array>

namespace editor {

namespace {

using namespace fieldcodecs;

// The one table.
const std::array<FieldType, 13> kTypes = {{
    {"CONRELRES", decodeConRelRes, encodeConRelRes, lookupConRelRes, tooltipConRelRes, listConRelRes},
    {"CONRES", decodeConRes, encodeConRes, lookupConRes, tooltipConRes, listConRes},
    {"SINGLE", decodeSingle, encodeSingle, lookupSingle, tooltipSingle, listSingle},
    {"MANUFACTURER", decodeManufacturer, encodeNothing, lookupUnsigned, tooltipManufacturer},
    {"UNINT", decodeUnint, encodeUnint, lookupUnsigned, tooltipUnint},
    {"CHR5", decodeChr5, encodeChr5, nullptr, tooltipChr5},
    {"DATE", decodeDate, encodeDate, nullptr, tooltipDate},
    {"MDEF_REF-TYPE", decodeMdef, encodeMdef, nullptr, tooltipMdef},
    {"DIRECTION", decodeDirection, encodeDirection, nullptr, tooltipDirection},
    {"BINARY", decodeBinary, encodeBinary, nullptr, tooltipBinary},
    {"SIGN", decodeSign, encodeSign, nullptr, tooltipSign},
    {"ASCII", decodeAscii, encodeAscii, lookupAscii, tooltipAscii},
    {"ASCII-7BIT", decodeAscii7, encodeAscii7, lookupAscii7, tooltipAscii7},
}};

} // namespace

int AllocateFieldSize(const core::TedsBuf& tb, int bitAddress, int bits, int bitsPerChar)
{
    if (bitsPerChar <= 0)
        return 0;
    const int available = std::max(tb.Size * 8 - bitAddress, 0);
    if (bits != 0 && available / bitsPerChar >= bits / bitsPerChar)
        return std::max(bits / bitsPerChar, 0);
    return available / bitsPerChar;
}

bool runsToEndOfMemory(const core::TemplateRecord& t)
{
    for (int k = 0; k <= t.fieldLast && k < core::kFieldsMax; ++k) {
        const auto& f = t.fields[static_cast<std::size_t>(k)];
        if (f.bitCount == 0 && (f.typeKeyword == "ASCII" || f.typeKeyword == "ASCII-7BIT" || f.typeKeyword == "CHR5" ||
                                f.typeKeyword == "BINARY"))
            return true;
    }
    return false;
}

const FieldType* findFieldType(std::string_view keyword)
{
    for (const auto& t : kTypes)
        if (t.keyword == keyword)
            return &t;
    return nullptr;
}

} // namespace editor
