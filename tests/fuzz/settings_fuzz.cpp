// The settings file: any file read key by key, then one key written and read back.
// The input is the file before the first NUL byte and the value written after it.

#include "tests/fuzz/fuzzsupport.h"

#include "core/base/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::begin();
    const auto [file, value] = fuzz::splitAtNul(fuzz::bytes(data, size));
    const auto path = fuzz::writeFile("settings.txt", file);
    for (const char* key : {"ComSpeed", "Com port", "Version", ""}) {
        std::string text;
        core::Inifile_Read_String_Value(path, key, text);
        int number = 0;
        core::Inifile_Read_Integer_Value(path, key, number);
        fuzz::check(number >= -32768 && number <= 32767, "integer settings keep 16 bits");
    }
    if (!core::Inifile_CreateKeyWithValue(path, "TEDS file dir", value))
        return 0;
    std::string back;
    const int r = core::Inifile_Read_String_Value(path, "TEDS file dir", back);
    fuzz::check(r != core::IniMissing, "a key written is found");
    const bool plain = value.find_first_of("\r\n,") == std::string::npos && value.find(": ") == std::string::npos;
    if (r == core::IniFound && plain)
        fuzz::check(back == value, "a plain value reads back as written");
    return 0;
}
