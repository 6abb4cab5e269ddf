// Field codec texts: SI numbers, CONRES and CONRELRES values, SINGLE and binary texts,
// dates and CHR5 texts, each read and (where it reads) written back. Input: the value
// text, a NUL, the format text; the first bytes choose the field parameters.

#include "tests/fuzz/fuzzsupport.h"

#include "core/codecs/chr5.h"
#include "core/codecs/conres.h"
#include "core/codecs/datetext.h"
#include "core/codecs/singlefield.h"
#include "core/codecs/sinumber.h"
#include "core/numeric/datevalue.h"
#include "core/teds/tedsbuf.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto [text, format] = fuzz::splitAtNul(fuzz::bytes(data, size));
    const int bits = size > 0 ? data[0] % 40 : 8;
    const double start = size > 1 ? (static_cast<int>(data[1]) - 128) * 0.5 : 0;
    const double step = size > 2 ? data[2] / 64.0 : 0.25;

    const double si = core::ParseSiNumber(text);
    core::siReading(text);
    core::siReading(text, true);
    const std::string fmt = format.substr(0, 64);
    if (std::isfinite(si)) {
        core::FormatSiNumber(si, fmt, false, step);
        core::FormatSiNumber(si, fmt, true, step);
    }
    if (const auto code = core::ConResEncode(text, start, step, bits))
        fuzz::check(*code >= 0 && (bits >= 53 || *code < std::ldexp(1.0, bits)), "a CONRES code fits its bits");
    if (const auto code = core::ConRelResEncode(text, start + 1, step, bits, 1.0); code && std::isfinite(*code))
        core::ConRelResDecode(static_cast<std::int64_t>(std::fmod(*code, 1e15)), start + 1, step);

    const auto single = core::SingleToBits(text);
    if (single.fitsU64())
        core::SingleFromBits(static_cast<double>(single.low64() & 0xFFFFFFFFu));
    const auto bin = core::BinTextToValue(text, bits);
    core::ValueToBinText(core::numeric::Number(bin), bits);
    core::ValueToBinText(core::numeric::Number(text), bits);

    core::numeric::CivilDate date;
    if (core::ParseDateText(text, date)) {
        fuzz::check(core::numeric::isValidDate(date.year, date.month, date.day), "a date read is a valid date");
        core::numeric::formatDate(date, fmt);
        core::numeric::dateFromSerial(core::numeric::dateSerial(date));
    }

    core::TedsBuf tb;
    tb.dimension(64);
    std::string chr5 = text.substr(0, 200);
    core::UpperCaseForChr5(chr5);
    core::StringToChr5Bits(chr5, size > 3 ? data[3] : 0, bits, tb);
    return 0;
}
