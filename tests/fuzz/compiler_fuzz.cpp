// Description sources: the header (.hdl) before the first NUL byte, the description
// (.ddl) after it, compiled as the compile window does it (expansion, UTID lines,
// keycode validation line).

#include "tests/fuzz/fuzzsupport.h"

#include "core/base/message.h"
#include "core/compiler/cdefine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& folder = fuzz::begin();
    const auto [hdl, ddl] = fuzz::splitAtNul(fuzz::bytes(data, size));
    fuzz::writeFile("src.hdl", hdl);
    fuzz::writeFile("src.ddl", ddl);
    try {
        core::CompileDescription(folder / "src");
    } catch (const core::ProgramEnd&) {
    }
    return 0;
}
