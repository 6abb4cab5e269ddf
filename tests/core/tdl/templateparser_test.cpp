#include "core/base/message.h"
#include "core/tdl/templateparser.h"
#include "core/validation/validation.h"
#include "tests/core/tdl/tdltestenv.h"

#include <gtest/gtest.h>

using core::ProgramEnd;
using tdltest::crlf;
namespace fs = std::filesystem;

namespace {

class ParserTest : public tdltest::TdlTest {};

void expectField(const core::TemplateField& f, const char* tag, const char* suffix, const char* title, int access,
                 int address, int bits, const char* type)
{
    SCOPED_TRACE(title);
    EXPECT_EQ(f.tagName, tag);
    EXPECT_EQ(f.tagSuffix, suffix);
    EXPECT_EQ(f.title, title);
    EXPECT_EQ(f.access, access);
    EXPECT_EQ(f.bitAddress, address);
    EXPECT_EQ(f.bitCount, bits);
    EXPECT_EQ(f.typeKeyword, type);
}

TEST_F(ParserTest, RealisticFileFieldByField)
{
    fs::copy_file(testing_support::fixturesDir() / "tdl" / "multi" / "Sample.tdl", dir / "Sample.tdl");
    core::ParseTemplateFile("Sample.tdl");
    EXPECT_TRUE(box.shown.empty()) << box.shown[0].prompt;

    const auto& st = core::tdlState();
    ASSERT_EQ(st.TemplateParseLast, 1);
    EXPECT_EQ(st.TemplateLast, 1);
    ASSERT_EQ(st.Templates.size(), 3u);  // one spare record
    EXPECT_EQ(st.Templates[2].fieldLast, -1);
    EXPECT_EQ(core::TemplatesLoaded(), 2);

    const auto& a = T(0);
    EXPECT_EQ(a.name, "Morvelund test accelerometer");
    EXPECT_EQ(a.file, "Sample.tdl");
    EXPECT_FALSE(a.validated);
    EXPECT_EQ(a.UTIDT, 2);
    EXPECT_EQ(a.UGID.text(), "1234");
    EXPECT_EQ(a.UTID.text(), "1602");  // 2 + 25 * 2^6
    ASSERT_EQ(a.abstractCount, 2);
    EXPECT_EQ(a.abstractLines[0], "First abstract line");
    EXPECT_EQ(a.abstractLines[1], "Second, with comma");
    ASSERT_EQ(a.fieldLast, 11);
    expectField(a.fields[0], "MANUFACTURER", "", "Manufacturer ID", 0, 0, 14, "MANUFACTURER");
    expectField(a.fields[1], "MODEL", "", "Model number", 0, 14, 15, "UNINT");
    EXPECT_EQ(a.fields[1].format, "0");
    expectField(a.fields[2], "VERSIONLETTER", "", "Version letter", 0, 29, 5, "CHR5");
    expectField(a.fields[3], "VERSIONNUMBER", "", "Version number", 0, 34, 6, "UNINT");
    expectField(a.fields[4], "SERIALNUMBER", "", "Serial number", 0, 40, 24, "UNINT");
    EXPECT_EQ(a.fields[4].format, "hex");
    expectField(a.fields[5], "SENS@REF", "", "Sensitivity @ reference", 1, 74, 16, "CONRELRES");
    EXPECT_DOUBLE_EQ(a.fields[5].p1, 5e-7);
    EXPECT_DOUBLE_EQ(a.fields[5].p2, 0.00015);
    EXPECT_EQ(a.fields[5].format, "rp");
    EXPECT_EQ(a.fields[5].unit, "V/(m/s\xb2)");
    expectField(a.fields[6], "TF_HP_S", "", "High-pass cut-off", 1, 90, 8, "CONRELRES");
    expectField(a.fields[7], "DIRECTION", "", "Direction", 1, 98, 2, "DIRECTION");
    expectField(a.fields[8], "TEMPCOEF", "", "Temperature coefficient", 1, 104, 6, "CONRES");  // after ALIGN 8
    EXPECT_DOUBLE_EQ(a.fields[8].p1, -0.8);
    EXPECT_DOUBLE_EQ(a.fields[8].p2, 0.025);
    EXPECT_EQ(a.fields[8].unit, "%/\xb0" "C");
    expectField(a.fields[9], "CALDATE", "", "Calibration date", 1, 110, 16, "DATE");
    expectField(a.fields[10], "MEASID", "", "Measurement id", 2, 126, 11, "UNINT");
    expectField(a.fields[11], "USERDATA", "", "User data", 3, 137, 21, "ASCII-7BIT");
    ASSERT_TRUE(a.fields[1].tag);
    EXPECT_EQ(a.fields[1].tag->name, "Model");
    EXPECT_EQ(a.fields[1].tag->Comment, "Model number");
    ASSERT_EQ(a.selectorLast, 1);
    EXPECT_EQ(a.selectors[0].bitAddress, 64);
    EXPECT_EQ(a.selectors[0].width, 2);
    EXPECT_EQ(a.selectors[1].bitAddress, 66);
    EXPECT_EQ(a.selectors[1].match, 25);
    ASSERT_EQ(a.groupLast, 0);
    EXPECT_EQ(a.groupBreaks[0], 5);
    EXPECT_EQ(a.lengthBits, 158);
    EXPECT_EQ(a.manufacturerField, 0);
    EXPECT_FALSE(a.manufacturerInSelector);

    const auto& b = T(1);
    EXPECT_EQ(b.name, "Morvelund test bridge");
    EXPECT_EQ(b.UGID.text(), "0");
    EXPECT_EQ(b.UTID.text(), "34603986");  // 2 + 61 * 2^4 + 0 * 2^18 + 33 * 2^20
    ASSERT_EQ(b.selectorLast, 2);
    EXPECT_EQ(b.selectors[0].bitAddress, 0);
    EXPECT_EQ(b.selectors[0].width, 14);
    EXPECT_EQ(b.selectors[0].match, 61);
    EXPECT_EQ(b.selectors[1].bitAddress, 64);  // after ADDRESS 64
    ASSERT_EQ(b.fieldLast, 2);
    expectField(b.fields[1], "MODEL", "[2]", "Model number 2", 0, 14, 15, "UNINT");
    expectField(b.fields[2], "MINPHYSVAL", "", "Minimum physical value", 1, 74, 32, "SINGLE");
    EXPECT_EQ(b.fields[2].format, "0.000");
    EXPECT_EQ(b.fields[2].unit, "m/s2");
    ASSERT_EQ(b.groupLast, 2);
    EXPECT_EQ(b.groupBreaks[0], 2);
    EXPECT_EQ(b.groupBreaks[1], 3);
    EXPECT_EQ(b.groupBreaks[2], 4);
    EXPECT_TRUE(b.manufacturerInSelector);
    EXPECT_EQ(b.defaultManufacturerId, 61);
    EXPECT_EQ(b.lengthBits, 106);
}

TEST_F(ParserTest, ValidatedFlagComesFromTheValidationLines)
{
    const auto p = dir / "Sample.tdl";
    fs::copy_file(testing_support::fixturesDir() / "tdl" / "multi" / "Sample.tdl", p);
    ASSERT_TRUE(core::ValidateFile(p, true, true));
    core::ParseTemplateFile("Sample.tdl");
    EXPECT_TRUE(T(0).validated);
    EXPECT_TRUE(T(1).validated);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ParserTest, LaterFilesFollowEarlierOnes)
{
    writeTdl("A.tdl", "TEMPLATE One\nENDTEMPLATE\n");
    writeTdl("B.tdl", "TEMPLATE Two\nENDTEMPLATE\nTEMPLATE Three\nENDTEMPLATE\n");
    core::ParseTemplateFile("A.tdl");
    EXPECT_EQ(core::tdlState().TemplateLast, 0);
    core::ParseTemplateFile("B.tdl");
    EXPECT_EQ(core::tdlState().TemplateLast, 2);
    EXPECT_EQ(T(0).name, "One");
    EXPECT_EQ(T(1).name, "Two");
    EXPECT_EQ(T(2).name, "Three");
    EXPECT_EQ(T(2).file, "B.tdl");
    EXPECT_EQ(core::tdlState().Templates.size(), 4u);
}

TEST_F(ParserTest, WrongVersionLineIgnoresTheFile)
{
    dir.write("Bad.tdl", crlf("Description Language Version 0.2.6 \nTEMPLATE X\nENDTEMPLATE\n"));
    core::ParseTemplateFile("Bad.tdl");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Wrong version of Description Language, file: Bad.tdl\r\nfile ignored");
    EXPECT_EQ(box.shown[0].buttons, 0);
    EXPECT_EQ(box.shown[0].title, "");
    EXPECT_EQ(core::TemplatesLoaded(), 0);
    EXPECT_EQ(core::tdlState().TemplateLast, 0);
}

TEST_F(ParserTest, SelectorMovesTheCounterMatchDoesNot)
{
    writeTdl("S.tdl",
             "TEMPLATE S\nADDRESS 10\nSELECTOR 4,2\n%MODEL,\"a\",ID,1,UNINT,\"0\"\n"
             "MATCH 0,8,20\n%MODEL,\"b\",ID,1,UNINT,\"0\"\nENDTEMPLATE\n");
    core::ParseTemplateFile("S.tdl");
    const auto& t = T(0);
    EXPECT_EQ(t.selectors[0].bitAddress, 10);
    EXPECT_EQ(t.selectors[0].width, 4);
    EXPECT_EQ(t.selectors[0].match, 2);
    EXPECT_EQ(t.fields[0].bitAddress, 14);
    EXPECT_EQ(t.selectors[1].bitAddress, 0);
    EXPECT_EQ(t.selectors[1].width, 8);
    EXPECT_EQ(t.selectors[1].match, 20);
    EXPECT_EQ(t.fields[1].bitAddress, 15);
}

TEST_F(ParserTest, AlignRoundsUpToTheNextMultiple)
{
    writeTdl("A.tdl",
             "TEMPLATE A\nADDRESS 17\nALIGN 8\n%MODEL,\"a\",ID,0,UNINT,\"0\"\nADDRESS 24\nALIGN 8\n"
             "%MODEL,\"b\",ID,0,UNINT,\"0\"\nENDTEMPLATE\n");
    core::ParseTemplateFile("A.tdl");
    EXPECT_EQ(T(0).fields[0].bitAddress, 24);
    EXPECT_EQ(T(0).fields[1].bitAddress, 24);
}

TEST_F(ParserTest, UtidFromTypeAndSelectors)
{
    writeTdl("U.tdl", "TEMPLATE U\nUTIDT 2\nUTID 99\nSELECTOR 14,45\nSELECTOR 15,7\nENDTEMPLATE\n");
    core::ParseTemplateFile("U.tdl");
    EXPECT_EQ(T(0).UTID.text(), "1835730");
    EXPECT_EQ(T(0).lengthBits, 29);
}

TEST_F(ParserTest, ManufacturerInsideMatchSelector)
{
    // Field at bits 16..29 inside a selector at bits 12..35.
    const std::int32_t v = 0x5A5A5A;
    writeTdl("M.tdl", "TEMPLATE M\nMATCH 12,24," + std::to_string(v) +
                          "\nADDRESS 16\n%MANUFACTURER,\"Manufacturer\",ID,14,MANUFACTURER\nENDTEMPLATE\n");
    core::ParseTemplateFile("M.tdl");
    EXPECT_TRUE(T(0).manufacturerInSelector);
    EXPECT_EQ(T(0).defaultManufacturerId, (v / 16) & 16383);
}

TEST_F(ParserTest, ManufacturerOfOneTemplateDoesNotLeakIntoTheNext)
{
    writeTdl("M.tdl",
             "TEMPLATE With\nMATCH 0,14,61\n%MANUFACTURER,\"Manufacturer\",ID,14,MANUFACTURER\nENDTEMPLATE\n"
             "TEMPLATE Without\nMATCH 0,14,61\n%MODEL,\"Model\",ID,14,UNINT,\"0\"\nENDTEMPLATE\n");
    core::ParseTemplateFile("M.tdl");
    EXPECT_TRUE(T(0).manufacturerInSelector);
    EXPECT_FALSE(T(1).manufacturerInSelector);
    EXPECT_EQ(T(1).defaultManufacturerId, 0);
    EXPECT_EQ(T(1).manufacturerField, 0);
}

TEST_F(ParserTest, OnlyTheFirstManufacturerFieldCounts)
{
    writeTdl("M.tdl",
             "TEMPLATE M\n%MODEL,\"Model\",ID,14,UNINT,\"0\"\n%MANUFACTURER,\"A\",ID,14,MANUFACTURER\n"
             "%MANUFACTURER,\"B\",ID,14,MANUFACTURER\nENDTEMPLATE\n");
    core::ParseTemplateFile("M.tdl");
    EXPECT_EQ(T(0).manufacturerField, 1);
}

TEST_F(ParserTest, GroupAndSpacingBreaks)
{
    std::string body = "TEMPLATE G\nGROUP 3, 5, 2\n";
    for (int i = 0; i < 12; ++i)
        body += "%MODEL,\"f" + std::to_string(i) + "\",ID,1,UNINT,\"0\"\n";
    body += "SPACING\nENDTEMPLATE\n";
    writeTdl("G.tdl", body);
    core::ParseTemplateFile("G.tdl");
    const auto& t = T(0);
    ASSERT_EQ(t.groupLast, 3);
    EXPECT_EQ(t.groupBreaks[0], 3);
    EXPECT_EQ(t.groupBreaks[1], 8);
    EXPECT_EQ(t.groupBreaks[2], 10);
    EXPECT_EQ(t.groupBreaks[3], 12);
}

// A record keeps what its template uses: no room for 41 fields in a template of two.
TEST_F(ParserTest, RecordsHoldWhatTheTemplateUses)
{
    writeTdl("S.tdl", "TEMPLATE Small\nGROUP 1, 1, 1\nSELECTOR 4,2\n%MODEL,\"a\",ID,4,UNINT,\"0\"\n"
                      "%MODEL,\"b\",ID,4,UNINT,\"0\"\nGROUP 2\nENDTEMPLATE\n"
                      "TEMPLATE Empty\nENDTEMPLATE\n");
    core::ParseTemplateFile("S.tdl");
    EXPECT_TRUE(box.shown.empty());
    const auto& t = T(0);
    EXPECT_EQ(t.fields.stored(), 2u);
    EXPECT_EQ(t.selectors.stored(), 1u);
    ASSERT_EQ(t.groupLast, 0);  // the second GROUP line replaces the first
    EXPECT_EQ(t.groupBreaks.stored(), 1u);
    EXPECT_EQ(t.groupBreaks[0], 2);
    EXPECT_EQ(T(1).fields.stored(), 0u);
    EXPECT_EQ(T(1).selectors.stored(), 0u);
    // Beyond the last field a record reads as the empty field it always was.
    EXPECT_EQ(t.fields[40].title, "");
    EXPECT_EQ(t.fields.stored(), 2u);
}

// A separator with nothing after it ends the list; the program goes on.
TEST_F(ParserTest, GroupWithTrailingSeparators)
{
    struct Row {
        const char* line;
        std::vector<int> breaks;
    };
    const Row rows[] = {{"GROUP 3,5,", {3, 8}}, {"GROUP 3,5,,,", {3, 8}}, {"GROUP 3,", {3}}, {"GROUP ,", {}}};
    int i = 0;
    for (const Row& r : rows) {
        const std::string name = "G" + std::to_string(i) + ".tdl";
        writeTdl(name, std::string("TEMPLATE G\n") + r.line + "\nENDTEMPLATE\n");
        core::ParseTemplateFile(name);
        const auto& t = T(i++);
        ASSERT_EQ(t.groupLast + 1, static_cast<int>(r.breaks.size())) << r.line;
        for (std::size_t k = 0; k < r.breaks.size(); ++k)
            EXPECT_EQ(t.groupBreaks[k], r.breaks[k]) << r.line;
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ParserTest, SkippedLinesAndUnknownCommand)
{
    writeTdl("C.tdl",
             "TEMPLATE C\n  UTIDT 5\n#comment\n*star\n\nVALIDATION_whatever\nfoo bar\nENDTEMPLATE\n");
    core::ParseTemplateFile("C.tdl");
    EXPECT_EQ(T(0).UTIDT, 5);  // an indented command is read without its blanks
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in Template Description file\r\n  Filename    : C.tdl\r\n  Title       : C\r\n"
              "  Command  : FOO not known\r\n  in line  : 8");
}

TEST_F(ParserTest, IndentedCommandAndFieldLinesAreRead)
{
    // What the compiler writes for tab-indented macro calls.
    writeTdl("I.tdl", "TEMPLATE I\n\tUTIDT 2\n\t%MODEL,\"m\",ID,4,UNINT,\"0\"\n \t SELECTOR 2,1\n\t# comment\n\t\nENDTEMPLATE\n");
    core::ParseTemplateFile("I.tdl");
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(core::TemplatesLoaded(), 1);
    EXPECT_EQ(T(0).UTIDT, 2);
    ASSERT_EQ(T(0).fieldLast, 0);
    EXPECT_EQ(T(0).fields[0].tagName, "MODEL");
    ASSERT_EQ(T(0).selectorLast, 0);
    EXPECT_EQ(T(0).selectors[0].bitAddress, 4);
    EXPECT_EQ(T(0).lengthBits, 6);
}

TEST_F(ParserTest, UnknownFieldTypeKeepsTheFieldAndGoesOn)
{
    writeTdl("T.tdl", "TEMPLATE T\n%MODEL,\"Model\",ID,4,WEIRD, more text\n%MODEL,\"Next\",ID,4,UNINT,\"0\"\nENDTEMPLATE\n");
    core::ParseTemplateFile("T.tdl");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in Template Description file\r\n  Filename    : T.tdl\r\n  Title       : T\r\n"
              "  Description : Model\r\n  Field type  : WEIRD not known\r\n  in line  : 3\r\n\r\n more text");
    ASSERT_EQ(T(0).fieldLast, 1);
    EXPECT_EQ(T(0).fields[0].typeKeyword, "WEIRD");
    EXPECT_EQ(T(0).fields[1].bitAddress, 4);
}

TEST_F(ParserTest, UnknownTagEndsTheProgram)
{
    writeTdl("T.tdl", "TEMPLATE T\n%nosuch[3],\"X\",ID,4,UNINT,\"0\"\nENDTEMPLATE\n");
    EXPECT_THROW(core::ParseTemplateFile("T.tdl"), ProgramEnd);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Tagname: \"%NOSUCH\" in desciptionfile: T.tdl\r\ndoes not exist in taglistfile: TagList.xdl\r\n\r\n"
              "If Tagname: \"%NOSUCH\" is ok, then add it in taglistfile: TagList.xdl");
}

TEST_F(ParserTest, FortySecondFieldEndsTheProgram)
{
    std::string body = "TEMPLATE Big\n";
    for (int i = 0; i < 42; ++i)
        body += "%MODEL,\"f\",ID,1,UNINT,\"0\"\n";
    writeTdl("Big.tdl", body + "ENDTEMPLATE\n");
    EXPECT_THROW(core::ParseTemplateFile("Big.tdl"), ProgramEnd);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "Too many fields in template: Big");
    EXPECT_EQ(box.shown[1].prompt,
              "Error in template description file: Big.tdl near line : 44\r\nMODEL,\"f\",ID,1,UNINT,\"0\"\r\n\r\n"
              "Please report to " + core::SupportAddress() +
                  "\r\nPlease remove this file and start again, program will close now to avoid unpredictable results");
}

struct FatalCase {
    const char* name;
    std::string line;
    int lineNo;  // in the file
};

class ParserFatalTest : public tdltest::TdlTest, public ::testing::WithParamInterface<FatalCase> {};

TEST_P(ParserFatalTest, ReportsFileAndLineAndEnds)
{
    const auto& c = GetParam();
    writeTdl("E.tdl", "TEMPLATE E\n" + c.line + "\nENDTEMPLATE\n");
    EXPECT_THROW(core::ParseTemplateFile("E.tdl"), ProgramEnd);
    ASSERT_FALSE(box.shown.empty());
    EXPECT_EQ(box.shown.back().prompt.rfind("Error in template description file: E.tdl near line : " +
                                                std::to_string(c.lineNo) + "\r\n", 0),
              0u)
        << box.shown.back().prompt;
}

std::string manyLines(const std::string& line, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? "\n" : "") + line;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParserFatalTest,
    ::testing::Values(FatalCase{"NonNumericBitCount", "%MODEL,\"m\",ID,abc,UNINT,\"0\"", 3},
                      FatalCase{"NonNumericUgid", "UGID group", 3}, FatalCase{"NonNumericUtid", "UTID x1", 3},
                      FatalCase{"AlignZero", "ALIGN 0", 3}, FatalCase{"AlignWord", "ALIGN eight", 3},
                      FatalCase{"MissingClosingQuote", "%MODEL,\"m,ID,4,UNINT,\"0", 3},
                      FatalCase{"CommaPast255", "%MODEL" + std::string(300, 'X') + ",\"m\",ID,4,UNINT,\"0\"", 3},
                      FatalCase{"NegativeBitCount", "%MODEL,\"m\",ID,-4,UNINT,\"0\"", 3},
                      FatalCase{"NegativeSelectorWidth", "SELECTOR -2,1", 3},
                      FatalCase{"NegativeAddress", "ADDRESS -8", 3}, FatalCase{"NegativeMatchAddress", "MATCH -1,4,2", 3},
                      FatalCase{"SelectorValueMissing", "SELECTOR 4", 3},
                      FatalCase{"BitCountBeyond16Bits", "%MODEL,\"m\",ID,40000,UNINT,\"0\"", 3},
                      FatalCase{"AddressBeyond16Bits", "ADDRESS 32000\n%MODEL,\"m\",ID,1000,UNINT,\"0\"", 4},
                      FatalCase{"UtidBeyondFixedPoint", "SELECTOR 60,1\nSELECTOR 2,1", 5},
                      FatalCase{"SeventeenthSelector", manyLines("SELECTOR 1,0", 17), 19},
                      FatalCase{"TwelfthGroupBreak", "GROUP 1,1,1,1,1,1,1,1,1,1,1,1", 3},
                      FatalCase{"TwelfthSpacing", manyLines("SPACING", 12), 14}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParserTest, LinesBeforeTheFirstTemplateAreReportedAndSkipped)
{
    writeTdl("A.tdl", "TEMPLATE First\nUTIDT 2\nENDTEMPLATE\n");
    writeTdl("B.tdl", "UTIDT 7\n%MODEL,\"m\",ID,4,UNINT,\"0\"\nSELECTOR 4,1\nTEMPLATE Second\nENDTEMPLATE\n");
    core::ParseTemplateFile("A.tdl");
    core::ParseTemplateFile("B.tdl");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in Template Description file\r\n  Filename    : B.tdl\r\n"
              "  Line outside TEMPLATE ... ENDTEMPLATE ignored\r\n  in line  : 2");
    EXPECT_EQ(T(0).UTIDT, 2);
    EXPECT_EQ(T(0).fieldLast, -1);
    EXPECT_EQ(T(0).selectorLast, -1);
    EXPECT_EQ(T(1).name, "Second");
}

TEST_F(ParserTest, FieldLineWithAnEmptyLibraryIsSkipped)
{
    writeTdl("B.tdl", "%MODEL,\"m\",ID,4,UNINT,\"0\"\nTEMPLATE Only\nENDTEMPLATE\n");
    core::ParseTemplateFile("B.tdl");
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(core::TemplatesLoaded(), 1);
}

TEST_F(ParserTest, TemplateWithoutEndtemplateIsDropped)
{
    writeTdl("D.tdl", "TEMPLATE Open one\nUTIDT 2\nTEMPLATE Good\nENDTEMPLATE\nTEMPLATE Open at end\nUTIDT 3\n");
    core::ParseTemplateFile("D.tdl");
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt,
              "Error in Template Description file\r\n  Filename    : D.tdl\r\n  Title       : Open one\r\n"
              "  ENDTEMPLATE missing, template ignored\r\n  in line  : 4");
    EXPECT_EQ(box.shown[1].prompt,
              "Error in Template Description file\r\n  Filename    : D.tdl\r\n  Title       : Open at end\r\n"
              "  ENDTEMPLATE missing, template ignored\r\n  in line  : 7");
    EXPECT_EQ(core::TemplatesLoaded(), 1);
    EXPECT_EQ(core::tdlState().TemplateLast, 0);
    EXPECT_EQ(T(0).name, "Good");
    EXPECT_EQ(T(1).name, "");  // the spare record
}

TEST_F(ParserTest, AnyLineEndIsAccepted)
{
    dir.write("L.tdl", std::string(core::kDescriptionLanguageVersion) + "\nTEMPLATE Lf\r\nUTIDT 2\rENDTEMPLATE");
    core::ParseTemplateFile("L.tdl");
    ASSERT_EQ(core::TemplatesLoaded(), 1);
    EXPECT_EQ(T(0).UTIDT, 2);
}

} // namespace
