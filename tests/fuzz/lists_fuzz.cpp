// Tag and manufacturer lists: the same text, led by a first line both readers accept,
// read as a tag list and as a manufacturer list.

#include "tests/fuzz/fuzzsupport.h"

#include "core/base/message.h"
#include "core/lists/fieldtags.h"
#include "core/lists/manufacturerlist.h"
#include "core/lists/manufacturerlistmodel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto path = fuzz::writeFile(
        "L.xdl", "Description Language Tags list version 0.0.2 Manufacturer List Description Version 0.2\r\n" +
                     fuzz::bytes(data, size));
    try {
        core::Fieldtags tags;
        tags.ReadTagList(path);
        for (int i = 1; i <= tags.Count(); ++i)
            fuzz::check(tags.TagNameExist(tags.item(i)->name), "every tag read is found by name");
    } catch (const core::ProgramEnd&) {
    }
    try {
        core::ManufacturerListModel list;
        core::ReadManufacturerList(path, list);
    } catch (const core::ProgramEnd&) {
    }
    return 0;
}
