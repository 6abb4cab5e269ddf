// The line tokenizers on every line of the input, each cutting the line until it is
// used up; no piece may be longer than the text it came from.

#include "tests/fuzz/fuzzsupport.h"

#include "core/base/textfile.h"
#include "core/base/tokenizers.h"

#include <functional>

namespace {

// Cuts text with next until it is empty or stops shrinking (NextToken keeps a last
// separator for ever: the callers end their lists on it).
void cutAll(std::string text, const std::function<std::string(std::string&)>& next)
{
    for (int guard = 0; !text.empty() && guard < 10000; ++guard) {
        const std::size_t before = text.size();
        std::string piece;
        try {
            piece = next(text);
        } catch (const core::TokenError&) {
            return;
        }
        fuzz::check(piece.size() + text.size() <= before, "a piece and the rest come from the text");
        if (text.size() == before)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    for (const auto& line : core::splitLines(fuzz::bytes(data, size))) {
        for (const char* sep : {",", " ", ": ", ""})
            cutAll(line, [sep](std::string& t) { return core::NextToken(sep, t); });
        cutAll(line, [](std::string& t) { return core::QuotedText(t); });
        cutAll(line, [](std::string& t) { return core::NextWord(t); });
        cutAll(line, [](std::string& t) { return core::NextCommaItem(t); });
    }
    return 0;
}
