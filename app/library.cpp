#include "app/library.h"

#include "core/base/corestate.h"
#include "core/compiler/cdefine.h"
#include "core/lists/fieldtags.h"
#include "core/lists/listsstate.h"
#include "core/lists/manufacturerlist.h"
#include "core/tdl/templatefileupkeep.h"
#include "core/tdl/tdlstate.h"
#include "core/teds/memoryfile.h"
#include "core/tdl/templateparser.h"
#include "core/validation/validation.h"
#include "device/drivers/driverstate.h"

namespace app {

bool LibraryGate::filesValidated(const core::TedsBuf& image)
{
    const auto& lib = core::tdlState();
    const int t = image.TemplateIndex;
    const bool templateValid = t >= 0 && t <= lib.TemplateLast && t < static_cast<int>(lib.Templates.size()) &&
                               lib.Templates[static_cast<std::size_t>(t)].validated;
    if (templateValid && core::coreState().AllFilesValid)
        return true;
    device::driverState().ValidationResult = core::CheckAllFilesValidated(false);
    return device::driverState().ValidationResult;
}

core::StartupLibrary templateLibrary()
{
    core::StartupLibrary lib;
    lib.loadTagList = [] { core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(core::coreState().ProgramFolder); };
    lib.parseTemplateFile = [](const std::string& name) { core::ParseTemplateFile(name); };
    lib.templatesLoaded = [] { return core::TemplatesLoaded(); };
    lib.validateListFile = [](const std::filesystem::path& p) { return core::ValidateFile(p, false, true); };
    lib.readManufacturerList = [](const std::filesystem::path& p) { core::ReadManufacturerList(p, core::listsState().Manufacturers); };
    lib.compile = [](const std::filesystem::path& name) { return core::CompileDescription(name); };
    return lib;
}

} // namespace app
