#pragma once
// A small template library for the create and remap tests: duplicate tags, two
// manufacturer levels, a template that fixes its manufacturer, the older layout and one
// too large for a DS2430A; and a short manufacturer list.

#include "core/base/textfile.h"
#include "tests/editor/model/doctestenv.h"

namespace smalllib {

// Bit layout of "Source": Manufacturer 0..13, Model 14..28, MeasID 29..39 and 40..50,
// CalInitials 51..65 (three CHR5), SerialNumber 66..89, selector 90..97 (101).
// "Target": Manufacturer 0..13, CalInitials 14..28, MeasID 29..44, Model 45..60,
// VersionLetter 61..65, selector 66..73 (102).
// "Two makers": sensor maker 0..13, Model 14..28, cable maker 29..42, selector 43..50.
// "Fixed": Manufacturer 0..13 fixed to 45 by a selector over it, Model 14..28.
// "Old layout": UTIDT 1, Manufacturer 0..13, Model 14..28, selector 29..36.
constexpr const char* kLibrary =
    "Description Language Version 0.2.6\r\n"
    "TEMPLATE Source\r\nUTIDT 2\r\nUGID 0\r\n"
    "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
    "%Model,\"Model number\",ID,15,UNINT,\"0\"\r\n"
    "%MeasID,\"First location\",USR,11,UNINT,\"0\"\r\n"
    "%MeasID,\"Second location\",USR,11,UNINT,\"0\"\r\n"
    "%CalInitials,\"Initials\",CAL,15,CHR5\r\n"
    "%SerialNumber,\"Serial number\",ID,24,UNINT,\"0\"\r\n"
    "SELECTOR 8,101\r\nENDTEMPLATE\r\n"
    "TEMPLATE Target\r\nUTIDT 2\r\nUGID 0\r\n"
    "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
    "%CalInitials,\"Initials\",CAL,15,CHR5\r\n"
    "%MeasID,\"Location\",USR,16,UNINT,\"0\"\r\n"
    "%Model,\"Model number\",ID,16,UNINT,\"0\"\r\n"
    "%VersionLetter,\"Version letter\",ID,5,CHR5\r\n"
    "SELECTOR 8,102\r\nENDTEMPLATE\r\n"
    "TEMPLATE Two makers\r\nUTIDT 2\r\nUGID 0\r\n"
    "%Manufacturer,\"Sensor manufacturer\",ID,14,MANUFACTURER\r\n"
    "%Model,\"Model number\",ID,15,UNINT,\"0\"\r\n"
    "%Manufacturer,\"Cable manufacturer\",USR,14,MANUFACTURER\r\n"
    "SELECTOR 8,103\r\nENDTEMPLATE\r\n"
    "TEMPLATE Fixed\r\nUTIDT 2\r\nUGID 0\r\n"
    "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
    "MATCH 0,14,45\r\n"
    "%Model,\"Model number\",ID,15,UNINT,\"0\"\r\n"
    "ENDTEMPLATE\r\n"
    "TEMPLATE Old layout\r\nUTIDT 1\r\nUGID 0\r\n"
    "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
    "%Model,\"Model number\",ID,15,UNINT,\"0\"\r\n"
    "SELECTOR 8,104\r\nENDTEMPLATE\r\n"
    "TEMPLATE Big\r\nUTIDT 2\r\nUGID 0\r\n"
    "%Manufacturer,\"Manufacturer ID\",ID,14,MANUFACTURER\r\n"
    "%UserData,\"User data\",USR,400,ASCII-7BIT\r\n"
    "SELECTOR 8,105\r\nENDTEMPLATE\r\n";

enum SmallTemplate : int { Source, Target, TwoMakers, Fixed, OldLayout, Big };

class SmallLibraryTest : public doctest::DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        ASSERT_TRUE(core::writeFileAtomic(dir / "Small.tdl", kLibrary));
        core::ParseTemplateFile("Small.tdl");
        ASSERT_EQ(core::tdlState().TemplateLast, Big);
        auto& lists = core::listsState();
        const std::vector<std::pair<int, std::string>> makers = {
            {17, "Seventeen Sensors"}, {31, "HBM (Hottinger Baldwin Messtechnik)"}, {45, "Fixed Maker"},
            {61, "Metra Mess- und Frequenztechnik (MMF), Radebeul"}, {4096, "Unknown manufacturer"}};
        for (std::size_t p = 0; p < makers.size(); ++p) {
            lists.ManufacturerIds[p] = makers[p].first;
            lists.Manufacturers.AddItem(makers[p].second);
        }
        choose(31);
        box.clear();
    }
    void choose(int id) { core::listsState().Manufacturers.setListIndex(core::ManufacturerIndexFromId(id)); }
};

} // namespace smalllib
