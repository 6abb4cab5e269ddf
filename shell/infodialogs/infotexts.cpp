#include "shell/infodialogs/infotexts.h"

#include "core/base/corestate.h"
#include "core/tdl/tdlstate.h"
#include "core/validation/validation.h"
#include "device/base/devicestate.h"
#include "platform/onewire/tmex.h"

namespace shell {

namespace {

constexpr const char* kCrLf = "\r\n";

void dropTrailingCrLf(std::string& s)
{
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, kCrLf) == 0)
        s.resize(s.size() - 2);
}

} // namespace

std::string disclaimerText()
{
    const std::string& title = core::coreState().ProgramTitle;
    const std::string lines[] = {
        "Disclaimer",
        "",
        "The program \"" + title + "\", its templates and its documentation are provided as they are.",
        "",
        "No warranty is given that they are free of errors or fit for a particular purpose.",
        "",
        "Check every TEDS written with this program before the transducer is used for measurements.",
    };
    std::string out;
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        if (i > 0)
            out += kCrLf;
        out += lines[i];
    }
    return out;
}

std::string driversText()
{
    const auto& ds = device::deviceState();
    std::string out;
    if (ds.InterfaceType == device::InterfaceType::Adapter) {
        platform::TmexVersionBuffer buffer{};
        platform::Get_Version(buffer);
        out = platform::versionText(buffer) + kCrLf;
        platform::TmexVersionBuffer typeBuffer{};
        if (platform::TMGetTypeVersion(static_cast<std::int16_t>(ds.PortType), typeBuffer) > 0)
            out += platform::versionText(typeBuffer) + kCrLf;
    } else if (ds.InterfaceType == device::InterfaceType::AmplifierLink) {
        out = "for Pelox sw ver. 1.2.16 or later";
    } else {
        out = "no interface selected";
    }
    dropTrailingCrLf(out);
    return out;
}

std::string Validate_local(const std::string& file)
{
    int score = 0;
    const bool passed = core::ValidateFile(core::coreState().ProgramFolder / file, false, false, score);
    if (passed)
        return file + kCrLf;
    switch (score) {
    case 0:
        return "Validation error in : " + file + kCrLf;
    case 1:
        return "public validation error in : " + file + kCrLf;
    case 2:
        return "Only public validation in : " + file + kCrLf;
    case 3:
        return file + kCrLf;
    default:
        return "";
    }
}

std::string filesLoadedText()
{
    std::string out = Validate_local("ManufacturerList.xdl") + Validate_local("TagList.xdl");
    const auto& lib = core::tdlState();
    if (!lib.Templates.empty()) {
        std::string current = lib.Templates[0].file;
        out += Validate_local(current);
        for (int i = 0; i <= lib.TemplateLast && i < static_cast<int>(lib.Templates.size()); ++i) {
            const std::string& f = lib.Templates[static_cast<std::size_t>(i)].file;
            if (f != current) {
                current = f;
                out += Validate_local(current);
            }
        }
    }
    dropTrailingCrLf(out);
    return out;
}

} // namespace shell
