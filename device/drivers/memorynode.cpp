#include "device/drivers/memorynode.h"

#include "core/base/corestate.h"
#include "core/base/message.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "device/base/devicestate.h"
#include "device/drivers/busblock.h"
#include "device/drivers/confirmation.h"
#include "device/drivers/driverstate.h"
#include "device/drivers/fam12.h"
#include "device/drivers/fam14.h"
#include "device/drivers/fam23.h"
#include "device/drivers/fam2d.h"
#include "device/memimage/tedspacking.h"

#include <algorithm>

namespace device {

namespace {

void message(const std::string& text) { core::ShowMessage(text, platform::MsgOkOnly, ""); }

void readFam12(MemImage& mi, bool) { Read_fam12(mi); }
void readFam14(MemImage& mi, bool fullImage)
{
    Read_fam14(mi, fullImage);
    deviceState().AppRomLocked = mi.RomUsed;
}
void readFam23(MemImage& mi, bool) { Read_fam23(mi); }
void readFam2D(MemImage& mi, bool) { Read_fam2D(mi); }

// attempted: false when the user said no before anything was sent.
bool writeFam12(const core::TedsBuf&, MemImage& mi, bool& confirmed, bool& attempted)
{
    if (!confirmed) {
        confirmed = confirmProgramming("Are you sure you will program the DS2406 ROM ?", ConfirmBox::Plain);
        if (!confirmed) {
            attempted = false;
            return false;
        }
    }
    return Write_fam12(mi);
}

bool writeFam14(const core::TedsBuf& tb, MemImage& mi, bool& confirmed, bool& attempted)
{
    // Asked only when this node's register is free: the lock state is the node's own,
    // not that of the DS2430A read last.
    if (!confirmed && !tb.DraftLayout && !fam14RegisterLocked(tb.id).value_or(true)) {
        confirmed = confirmProgramming("Are you sure you will program the application register (ROM) in DS2430 ?",
                                       ConfirmBox::Plain);
        if (!confirmed) {
            attempted = false;
            return false;
        }
    }
    return Write_fam14(mi, confirmed);
}

bool writeFam23(const core::TedsBuf&, MemImage& mi, bool&, bool&) { return Write_fam23(mi); }
bool writeFam2D(const core::TedsBuf&, MemImage& mi, bool&, bool&) { return Write_fam2D(mi); }

bool eraseFam14(MemImage& mi)
{
    bool confirmed = false;
    return Write_fam14(mi, confirmed);
}

// The drivers of the memory families of the family table.
constexpr MemoryDriver drivers[] = {
    {FamilyDS2406, readFam12, writeFam12, nullptr},
    {FamilyDS2430A, readFam14, writeFam14, eraseFam14},
    {FamilyDS2433, readFam23, writeFam23, Write_fam23},
    {FamilyDS2431, readFam2D, writeFam2D, Write_fam2D},
};

bool templateValidated(int index)
{
    const core::TdlState& t = core::tdlState();
    if (index < 0 || index > t.TemplateLast || index >= static_cast<int>(t.Templates.size()))
        return false;
    return t.Templates[static_cast<std::size_t>(index)].validated;
}

// The files a write relies on are known to be valid, or pass the check now.
bool filesValid(const core::TedsBuf& tb)
{
    if (templateValidated(tb.TemplateIndex) && core::coreState().AllFilesValid)
        return true;
    driverState().ValidationResult = fileValidation().CheckAllFilesValidated(false);
    if (driverState().ValidationResult)
        return true;
    core::MsgBox("Validation of files failed, please validate, and try again", platform::MsgOkOnly, "");
    return false;
}

} // namespace

const MemoryDriver* memoryDriver(int family)
{
    const auto it = std::find_if(std::begin(drivers), std::end(drivers),
                                 [family](const MemoryDriver& d) { return d.family == family; });
    return it == std::end(drivers) ? nullptr : &*it;
}

void Read_Node(core::TedsBuf& tb, bool fullImage)
{
    MemImage mi;
    mi.RomId = tb.id;
    mi.ReadOK = false;
    if (const MemoryDriver* d = memoryDriver(tb.Family)) {
        d->read(mi, fullImage);
    } else {
        message("Device family not known");
    }

    tb.ReadOK = mi.ReadOK;
    if (!mi.ReadOK) {
        tb.Status = core::TedsStatusNotRead;
        return;
    }
    const int n = mi.byteCount();
    tb.RawSize = n;
    tb.RawImage.assign(mi.Data.begin(), mi.Data.begin() + n + 1);
    Check_And_Decode(mi, tb);
    if (allErased(tb.RawImage, 1, n))
        tb.Status = core::TedsStatusVirgin;
}

bool Write_Node(core::TedsBuf& tb, bool& confirmed, WriteReport* report)
{
    // Until a writer counts: nothing was sent.
    driverState().lastWrite = WriteReport{true};
    const auto done = [&](bool ok) {
        if (report)
            *report = driverState().lastWrite;
        return ok;
    };
    if (!filesValid(tb))
        return done(false);
    MemImage mi;
    Build_MemImage(tb, mi);
    if (!memoryDriver(tb.Family) || mi.byteCount() <= 0)
        return done(false);

    bool attempted = true;
    // Writers that do not count leave the report unknown.
    driverState().lastWrite = WriteReport{};
    const bool written = memoryDriver(tb.Family)->write(tb, mi, confirmed, attempted);
    if (!attempted)
        driverState().lastWrite = WriteReport{true};
    if (written) {
        const int n = mi.byteCount();
        tb.ReadOK = true;
        tb.RawSize = n;
        tb.RawImage.assign(mi.Data.begin(), mi.Data.begin() + n + 1);
    } else if (attempted) {
        // Part of the image may have reached the node: what was read before is stale.
        tb.ReadOK = false;
    }
    return done(written);
}

std::string failedWriteText(const WriteReport& report)
{
    if (!report.known)
        return "part of it may have reached the node";
    if (report.reached == 0 && !report.uncertain)
        return "nothing reached the node";
    return std::to_string(report.reached) + " of " + std::to_string(report.changed) +
           " changed pages reached the node" + (report.uncertain ? ", one more may have" : "");
}

bool Erase_Node(core::TedsBuf& tb)
{
    MemImage mi;
    mi.RomId = tb.id;
    mi.RomUsed = false;
    mi.ChecksumOK = true;
    mi.DeviceKnown = false;

    DriverNodeList* list = driverNodeList();
    if (list == nullptr || !list->NodeInList(tb.id)) {
        message("Node ID not found on the microLAN");
        return false;
    }
    const MemoryDriver* d = memoryDriver(tb.Family);
    const FamilyInfo& f = familyInfo(tb.Family);
    if (d == nullptr || d->erase == nullptr || !f.erasable) {
        const std::string text = "Write not succeded - family unknown or does not applie";
        message(text);
        core::Tracewindow(text);
        return false;
    }
    // The data memory only: no checksum bytes, the erased node holds FFh throughout.
    mi.Pages = f.pages;
    mi.PageSize = f.pageSize;
    mi.Data.assign(static_cast<std::size_t>(mi.byteCount()) + 1, 0xFF);
    mi.Data[0] = 0;

    const bool ok = d->erase(mi);
    // The node no longer holds what tb read from it, so no page may be skipped later.
    tb.ReadOK = false;
    if (!ok) {
        message("Write not succeded");
        return false;
    }
    return true;
}

} // namespace device
