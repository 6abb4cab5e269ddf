#include "app/library.h"

#include "core/base/corestate.h"

namespace app {

core::StartupLibrary templateLibrary()
{
    core::StartupLibrary lib;
    lib.loadTagList = [] { core::RequireFile(core::coreState().ProgramFolder / "TagList.xdl"); };
    lib.parseTemplateFile = [](const std::string&) {};
    lib.templatesLoaded = [] { return 0; };
    lib.validateListFile = [](const std::filesystem::path&) { return true; };
    lib.readManufacturerList = [](const std::filesystem::path&) {};
    lib.compile = [](const std::filesystem::path&) { return false; };
    return lib;
}

} // namespace app
