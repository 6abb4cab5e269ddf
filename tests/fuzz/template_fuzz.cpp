// Template description files: parse, UTID upkeep (check and rewrite), parse again. A
// rewrite that succeeds must leave a file whose UTIDs all match and that a second
// rewrite does not change.

#include "tests/fuzz/fuzzsupport.h"

#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/tdl/templateparser.h"
#include "core/tdl/tdlstate.h"

namespace {

void parse()
{
    try {
        core::ParseTemplateFile("F.tdl");
    } catch (const core::ProgramEnd&) {
        // A file the parser cannot trust ends the program after its message.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto path = fuzz::writeFile("F.tdl", std::string(core::kDescriptionLanguageVersion) + "\r\n" + fuzz::bytes(data, size));
    parse();
    core::UpdateUTIDs(path, false);
    if (core::UpdateUTIDs(path, true).ok) {
        const auto once = core::readFileBytes(path);
        const auto again = core::UpdateUTIDs(path, true);
        fuzz::check(again.ok && again.allMatched, "a rewritten file passes the UTID check");
        fuzz::check(core::readFileBytes(path) == once, "a second rewrite changes nothing");
    }
    core::resetTdlState();
    parse();
    return 0;
}
