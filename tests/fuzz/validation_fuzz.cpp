// Validation lines of data files: the check of any file, the code routines on its text,
// and the rule that a file validated with both lines passes the next check with score 3.

#include "tests/fuzz/fuzzsupport.h"

#include "core/validation/encryption.h"
#include "core/validation/validation.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const std::string text = fuzz::bytes(data, size);
    const auto path = fuzz::writeFile("V.xdl", text);
    int score = 0;
    core::ValidateFile(path, false, true, score);
    fuzz::check(score >= 0 && score <= 3, "a score from 0 to 3");

    core::ValidateFile(path, true, true);
    score = 0;
    fuzz::check(core::ValidateFile(path, false, true, score) && score == 3, "a validated file passes with score 3");

    const std::string hex = core::TextToHex(text);
    fuzz::check(core::HexToText(hex) == text, "hex text reads back");
    try {
        core::HexToText(text);
    } catch (const std::invalid_argument&) {
        // Text that is no hex: the callers report it.
    }
    core::Decrypt2(text.substr(0, 512));
    std::string key = text.substr(0, 16);
    core::Encrypting(text.substr(0, 256), key);
    return 0;
}
