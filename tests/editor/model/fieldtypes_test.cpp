// Field types through the document: what a field shows, that a pass without edits keeps
// its bits, what a typed text stores and shows, and the description texts.

#include "tests/editor/model/doctestenv.h"

namespace {

using doctest::FieldSpec;

class FieldTypes : public doctest::DocTest {
protected:
    // Template of one field at bit 0 over a 16-byte image holding rawHex there, shown.
    void show(const FieldSpec& spec, const std::string& rawHex, int size = 16)
    {
        const int t = addTemplate("T", {spec});
        doc.TedsBuf.dimension(size);
        std::string hex = rawHex;
        ASSERT_TRUE(core::HexToBits(hex, 0, spec.bits, doc.TedsBuf));
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = 31;
        doc.ShowForm();
    }
    std::string rawHex(int bits) const { return core::BitsToHexString(doc.TedsBuf, 0, bits); }
};

struct KeepCase {
    FieldSpec spec;
    std::string raw;     // field bits as hex
    std::string shown;   // value text
    bool retypeKeeps;    // typing the shown text again stores the same bits
};

TEST_F(FieldTypes, ShownTextAndPassWithoutEditKeepBits)
{
    const std::vector<KeepCase> cases = {
        {{"UNINT", 8, 0, 0, "0"}, "00", "0", true},
        {{"UNINT", 8, 0, 0, "0"}, "FF", "255", true},
        {{"UNINT", 32, 0, 0, "0"}, "80000000", "2147483648", true},
        {{"UNINT", 32, 0, 0, "0"}, "FFFFFFFF", "4294967295", true},
        {{"UNINT", 64, 0, 0, "0"}, "FFFFFFFFFFFFFFFF", "18446744073709551615", true},
        {{"UNINT", 64, 0, 0, ""}, "0123456789ABCDEF", "81985529216486895", true},
        {{"UNINT", 12, 0, 0, "hex"}, "0ABC", "0ABC", true},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0018", "2.5V", true},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "01FF", "N/A", true},
        {{"CONRES", 4, 0, 0.15, "0.0"}, "03", "0.5", true},
        {{"CONRES", 1, 2, 1, "0", "V"}, "00", "2V", true},
        {{"CONRES", 1, 2, 1, "0", "V"}, "01", "N/A", true},
        {{"CONRELRES", 8, 0.1, 0.1, "rp", "g"}, "FF", "N/A", true},
        {{"CONRELRES", 16, 5E-7, 0.00015, "rp", "V"}, "03E8", "674.9nV", true},
        {{"SINGLE", 32, 0, 0, "0.000"}, "3FC00000", "1.500", true},
        {{"SINGLE", 32, 0, 0, "0.000", "V"}, "7FC00000", "NaNV", true},
        {{"SINGLE", 32, 0, 0, "0.000"}, "7F800000", "Infinity", true},
        {{"SINGLE", 32, 0, 0, "0.000"}, "FF800000", "-Infinity", true},
        {{"SINGLE", 32, 0, 0, "0.000"}, "00000001", "0.000", false},   // denormal: kept unless typed
        {{"SINGLE", 32, 0, 0, "0.000"}, "3F9E0610", "1.235", false},   // 1.2345678 shown rounded
        // The general form: the fewest digits that read back as the same single.
        {{"SINGLE", 32, 0, 0, "", "V"}, "3DCCCCCD", "0.1V", true},
        {{"SINGLE", 32, 0, 0, "", "V"}, "7F7FFFFF", "3.4028235E+38V", true},    // the largest single
        {{"SINGLE", 32, 0, 0, "", "V"}, "FF7FFFFF", "-3.4028235E+38V", true},
        {{"SINGLE", 32, 0, 0, "", "V"}, "15AE43FD", "7.038531E-26V", true},     // not through a double
        {{"SINGLE", 32, 0, 0, "", "1/\xB0" "C"}, "3B801132", "0.0039083 1/\xB0" "C", true},  // a unit that is no digit
        {{"SINGLE", 32, 0, 0, "", "1/\xB0" "C"}, "00000000", "0 1/\xB0" "C", true},
        {{"CONRES", 4, 0, 1, "0", "1/s"}, "03", "3 1/s", true},
        {{"CHR5", 10}, "039B", ",.", true},                            // codes 27, 28
        {{"CHR5", 10}, "03DD", "/_", true},                            // codes 29, 30
        {{"CHR5", 15}, "0000", " ", true},
        {{"CHR5", 15}, "7C21", "AA", false},  // A A then the stop code 31; typed, the third is a blank
        {{"ASCII", 24}, "204241", "AB", true},                         // "AB" and a blank
        {{"ASCII", 16}, "0000", "", false},                            // code 0: no text
        {{"ASCII-7BIT", 14}, "34C8", "Hi", true},
        {{"DATE", 16}, "0000", "January 1, 1998", true},
        {{"DATE", 16}, "016E", "January 2, 1999", true},
        {{"DATE", 16}, "0BFC", "May 27, 2006", true},
        {{"MDEF_REF-TYPE", 8}, "09", "KM501 (1 mV/pC)", true},
        {{"MDEF_REF-TYPE", 8}, "0B", " 11", true},
        {{"DIRECTION", 2}, "02", "Z", true},
        {{"DIRECTION", 3}, "05", "5", false},  // no text of its own: shown as the number
        {{"SIGN", 1}, "01", "-1", true},
        {{"SIGN", 2}, "02", "2", false},
        {{"BINARY", 8}, "5A", "Not yet supported", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec.type + " " + c.raw);
        core::resetTdlState();
        doc = editor::TedsDocument{};
        show(c.spec, c.raw);
        EXPECT_EQ(doc.rows[0].value, c.shown);
        const auto before = doc.TedsBuf.Bytes;
        doc.updatebuf();
        EXPECT_EQ(doc.TedsBuf.Bytes, before);
        EXPECT_EQ(doc.rows[0].value, c.shown);
        EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        doc.rows[0].hasDecoded = false;  // as if typed again
        doc.updatebuf();
        EXPECT_EQ(doc.TedsBuf.Bytes == before, c.retypeKeeps) << rawHex(c.spec.bits);
        // A shown text that stores as typed says nothing; one that does not is told.
        if (c.retypeKeeps)
            EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        box.clear();
    }
}

struct EditCase {
    FieldSpec spec;
    std::string raw;      // bits before
    std::string typed;
    std::string stored;   // bits after, hex
    std::string shown;    // redisplayed text
    std::string message;  // "" for none
};

TEST_F(FieldTypes, TypedTextStoresAndRedisplays)
{
    const std::string notNumber = "Not a valid number, not changed !";
    const std::vector<EditCase> cases = {
        {{"UNINT", 8, 0, 0, "0"}, "07", "300", "FF", "255", "\"300\" is out of range (0 to 255), 255 stored"},
        {{"UNINT", 8, 0, 0, "0"}, "07", "2.5", "02", "2", ""},
        {{"UNINT", 8, 0, 0, "0"}, "07", "3.5", "04", "4", ""},
        {{"UNINT", 8, 0, 0, "0"}, "07", "-4", "00", "0", "\"-4\" is out of range (0 to 255), 0 stored"},
        {{"UNINT", 11, 0, 0, "0"}, "0007", "99999999", "07FF", "2047",
         "\"99999999\" is out of range (0 to 2047), 2047 stored"},
        {{"UNINT", 11, 0, 0, "0"}, "0007", "1e400", "07FF", "2047", "\"1e400\" is out of range (0 to 2047), 2047 stored"},
        {{"UNINT", 8, 0, 0, "0"}, "07", "abc", "07", "7", notNumber},
        {{"UNINT", 32, 0, 0, "0"}, "00", "4294967295", "FFFFFFFF", "4294967295", ""},
        {{"UNINT", 32, 0, 0, "0"}, "00", "3000000000", "B2D05E00", "3000000000", ""},
        {{"UNINT", 12, 0, 0, "hex"}, "0000", "abc", "0ABC", "0ABC", ""},
        {{"UNINT", 12, 0, 0, "hex"}, "0123", "XYZ", "0123", "0123", notNumber},
        {{"UNINT", 12, 0, 0, "hex"}, "0000", "1FFF", "0FFF", "0FFF", "overflow in hex when creating binary image"},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0000", "2.46", "0018", "2.5V", ""},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0000", "N/A", "01FF", "N/A", ""},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0000", "1k", "01FE", "51.1V",  // the range's end, not N/A
         "\"1k\" is out of range (100m to 51.1V), 51.1V stored"},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0005", "abc", "0000", "0.1V", "\"abc\" is not a number, 0.1V stored"},
        {{"CONRES", 9, 0.1, 0.1, "0.0", "V"}, "0005", "51.13", "01FE", "51.1V", ""},  // rounds to the last code
        {{"CONRES", 8, 0, 0.01, "0.00", "mm\xB2"}, "00", "1.17mm\xB2", "75", "1.17mm\xB2", ""},
        {{"CONRES", 8, 0, 0.01, "0.00", "mm\xB2"}, "00", "1.17 mm\xB2", "75", "1.17mm\xB2", ""},
        {{"CONRES", 8, 1, 0, "0.0"}, "05", "3", "05", "1.0", "Error in CONRES field parameters, start and step = 1, 0, field not changed"},
        {{"CONRELRES", 8, 0.1, 0.1, "rp", "m\xB3"}, "00", "0.12m\xB3", "01", "120mm\xB3", ""},
        {{"CONRELRES", 8, 0, 0.1, "rp"}, "05", "3", "05", "0.00", "Error in CONRELRES field parameters, start and tolerance = 0, 0.1, field not changed"},
        {{"SINGLE", 32, 0, 0, "0.000"}, "00000000", "1,5", "3FC00000", "1.500", ""},
        {{"SINGLE", 32, 0, 0, "0.000"}, "3FC00000", "abc", "00000000", "0.000", "\"abc\" is not a number, 0.000 stored"},
        {{"SINGLE", 32, 0, 0, "0.000"}, "00000000", "1e39", "7F800000", "Infinity",
         "\"1e39\" is out of range (single precision, up to 3.4028235E+38), Infinity stored"},
        {{"SINGLE", 32, 0, 0, "0.000"}, "00000000", "nan", "7FC00000", "NaN", ""},
        {{"SINGLE", 32, 0, 0, "", "1/\xB0" "C\xB2"}, "00000000", "-5.775E-7 1/\xB0" "C\xB2", "B51B057F",
         "-5.775E-07 1/\xB0" "C\xB2", ""},
        {{"SINGLE", 32, 0, 0, "", "1/\xB0" "C"}, "00000000", "11/\xB0" "C", "3F800000", "1 1/\xB0" "C", ""},  // the unit is taken off
        {{"SINGLE", 32, 0, 0, "", "V"}, "00000000", "3.4028235E+38", "7F7FFFFF", "3.4028235E+38V", ""},
        {{"SINGLE", 32, 0, 0, "", "V"}, "00000000", "3.5E+38", "7F800000", "InfinityV",
         "\"3.5E+38\" is out of range (single precision, up to 3.4028235E+38), InfinityV stored"},
        {{"CHR5", 10}, "0000", "ab", "0041", "AB", ""},
        {{"CHR5", 10}, "0000", "_/", "03BE", "_/", ""},
        {{"CHR5", 15}, "0000", "abcdefghijklmnop", "0C41", "ABC", "\"ABCDEFGHIJKLMNOP\" is 16 characters long, the field holds 3, ABC stored"},
        {{"CHR5", 15}, "0000", "A\xE9", "03E1", "A", "\"\xE9\" cannot be written as CHR5, A stored"},
        {{"DATE", 16}, "0000", "May 27, 2006", "0BFC", "May 27, 2006", ""},
        {{"DATE", 16}, "0000", "27-05-2006", "0BFC", "May 27, 2006", ""},
        {{"DATE", 16}, "0000", "1990-01-01", "0000", "January 1, 1998",
         "\"1990-01-01\" is out of range (January 1, 1998 to June 6, 2177), January 1, 1998 stored"},
        {{"DATE", 16}, "0001", "soon", "0001", "January 2, 1998",
         "Not a valid date, date not changed !\r\nuse day-month-year (ex. 27-05-2006)"},
        {{"MDEF_REF-TYPE", 8}, "00", "kv503", "03", "KV503", ""},
        {{"MDEF_REF-TYPE", 8}, "00", "km501 (10 mv/pc)", "0A", "KM501 (10 mV/pC)", ""},
        {{"MDEF_REF-TYPE", 8}, "00", "42.7", "2A", " 42", ""},
        {{"MDEF_REF-TYPE", 8}, "05", "xyz", "05", "KV505", notNumber},
        {{"DIRECTION", 2}, "00", "y", "01", "Y", ""},
        {{"DIRECTION", 2}, "00", "q", "03", "n/a", "\"q\" is no direction (X, Y, Z or n/a), n/a stored"},
        {{"DIRECTION", 2}, "00", "n/a", "03", "n/a", ""},
        {{"SIGN", 1}, "01", "+1", "00", "+1", ""},
        {{"SIGN", 1}, "01", "1", "00", "+1", ""},
        {{"SIGN", 1}, "00", "x", "01", "-1", "\"x\" is no sign (+1 or -1), -1 stored"},
        {{"ASCII", 24}, "000000", "ABCD", "434241", "ABC", "\"ABCD\" is 4 characters long, the field holds 3, ABC stored"},
        {{"ASCII", 24}, "000000", "AB   ", "204241", "AB", ""},  // blanks past the field are no loss
        {{"ASCII", 24}, "434241", "", "202020", " ", ""},
        {{"ASCII-7BIT", 14}, "0000", "\xE9", "107F", "",  // clamped to 127, the stop code
         "\"\xE9\" cannot be written as ASCII-7BIT, an empty text stored"},
        {{"BINARY", 8}, "5A", "00", "5A", "Not yet supported", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec.type + " '" + c.typed + "'");
        core::resetTdlState();
        doc = editor::TedsDocument{};
        show(c.spec, c.raw);
        box.clear();
        doc.commitRow(0, c.typed);
        EXPECT_EQ(rawHex(c.spec.bits), c.stored);
        EXPECT_EQ(doc.rows[0].value, c.shown);
        if (c.message.empty()) {
            EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        } else {
            ASSERT_EQ(box.shown.size(), 1u);
            EXPECT_EQ(box.shown[0].prompt, c.message);
        }
        box.clear();
    }
}

TEST_F(FieldTypes, RefusedRowDoesNotStopThePass)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0"}, {"UNINT", 8, 0, 0, "0"}, {"SIGN", 1}});
    doc.TedsBuf.dimension(4);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    doc.setRowValue(0, "oops");
    doc.setRowValue(1, "12");
    doc.setRowValue(2, "-1");
    doc.updatebuf();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(field(0, 8), 0u);
    EXPECT_EQ(doc.rows[0].value, "0");
    EXPECT_EQ(field(8, 8), 12u);
    EXPECT_EQ(field(16, 1), 1u);
    EXPECT_EQ(doc.TedsBuf.Bytes[2], 12);
}

TEST_F(FieldTypes, UnknownTypeIsReportedAndTheRestShown)
{
    const int t = addTemplate("T", {{"FOO", 8}, {"UNINT", 8, 0, 0, "0"}});
    doc.TedsBuf.dimension(4);
    core::Val2Bits(9, 8, 8, doc.TedsBuf);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    ASSERT_EQ(box.prompts(), std::vector<std::string>{"Unknown type: FOO"});
    EXPECT_EQ(doc.rows[1].value, "9");
    box.clear();
    doc.commitRow(0, "1");
    ASSERT_EQ(box.prompts().size(), 2u);
    EXPECT_EQ(box.prompts()[0], "Field type should not occure FOO");
}

TEST_F(FieldTypes, Descriptions)
{
    struct Case {
        FieldSpec spec;
        int size;
        int at;  // bit address (a spacer field fills the bits before it)
        std::string tooltip;
    };
    const std::vector<Case> cases = {
        {{"UNINT", 8, 0, 0, "0", "V"}, 16, 0, "0 to 255 V step size 1 - 8 bits"},
        {{"UNINT", 1, 0, 0, "0", ""}, 16, 0, "0 to 1  step size 1 - 1 bit"},
        {{"CHR5", 10}, 16, 0, "Capital letters only, max. 2 chars - 10 bits"},
        {{"CHR5", 5}, 16, 0, "Capital letters only, max. 1 char - 5 bits"},
        {{"ASCII", 20}, 16, 0, "ASCII char, max. 2 chars - 16 bits ,  unused bits =  4"},
        {{"ASCII", 16}, 2, 24, "ASCII char, max. 0 chars - 0 bits ,  unused bits =  0"},
        {{"ASCII-7BIT", 14}, 16, 0, "ASCII-7bit char, max. 2 chars - 14 bits ,  unused bits =  0"},
        {{"CONRES", 4, 0, 0.5, "0.0", "V"}, 16, 0, "0.00 to 7.0V (step size 500m) - 4 bits"},
        {{"CONRELRES", 8, 0.1, 0.1, "rp", "g"}, 16, 0, "100m to 12943046Tg (resolution 10%) - 8 bits"},
        {{"MANUFACTURER", 14}, 16, 0, "Enumeration of manufacturer, (use Remap to change) - 14 bits"},
        {{"DATE", 16}, 16, 0, "Date format (mmmm d, yyyy) - 16 bits"},
        {{"MDEF_REF-TYPE", 8}, 16, 0, "Specific function 0 - 255 - 8 bits"},
        {{"DIRECTION", 2}, 16, 0, "Direction x, y, z or n/a - 2 bits"},
        {{"BINARY", 8}, 16, 0, "HEX - 8 bits"},
        {{"SIGN", 1}, 16, 0, "Sign +1 or -1 - 1 bits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec.type);
        core::resetTdlState();
        doc = editor::TedsDocument{};
        std::vector<FieldSpec> fields;
        if (c.at > 0)
            fields.push_back({"UNINT", c.at, 0, 0, "0"});
        fields.push_back(c.spec);
        const int t = addTemplate("T", fields);
        doc.TedsBuf.dimension(c.size);
        doc.setActualTemplate(t);
        doc.TedsManufacturerId = 31;
        doc.ShowForm();
        EXPECT_EQ(doc.rows[fields.size() - 1].description, c.tooltip);
        box.clear();
    }
}

TEST_F(FieldTypes, ChargeAmplifierShowsVoltsPerPicocoulomb)
{
    const int t = addTemplate("Charge amplifier", {{"CONRELRES", 8, 1e9, 0.01, "0.00p", "V/C"}});
    doc.TedsBuf.dimension(4);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    EXPECT_EQ(doc.rows[0].value, "1.00mV/pC");
    doc.commitRow(0, "1.02mV/pC");  // 1.02e-3 x 1e12 = 1.02e9 V/C: code 1
    EXPECT_EQ(field(0, 8), 1u);
}

} // namespace
