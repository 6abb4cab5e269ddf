// The full TEDS listing: golden lines of the public bridge-sensor TEDS in both number
// modes, and the line rules on small hand-made templates.

#include "core/teds/memoryfile.h"
#include "editor/model/fulltedslisting.h"
#include "tests/editor/model/doctestenv.h"

namespace {

using Lines = std::vector<std::string>;

class FullListing : public doctest::DocTest {
protected:
    // The bridge sensor's TEDS as its memory file holds it, matched and shown.
    void showBridge()
    {
        loadLibrary();
        ASSERT_TRUE(core::LoadMemoryFile(doc.TedsBuf, testing_support::fixturesDir() / "teds" / "bridge-ds2431.tds"));
        doc.TedsBuf.Status = core::TedsStatusReadOk;
        int t = doc.ActualTemplate();
        ASSERT_TRUE(doc.GetTemplate(t));
        doc.setActualTemplate(t);
        doc.ShowForm();
    }
    // A hand-made template shown over a 16-byte image.
    int show(const std::vector<doctest::FieldSpec>& fields)
    {
        const int t = addTemplate("Hand made", fields);
        showWith(t, 16);
        return t;
    }
    core::TemplateField& fieldOf(int t, int k)
    {
        return core::tdlState().Templates[static_cast<std::size_t>(t)].fields[static_cast<std::size_t>(k)];
    }
};

// The field lines of the bridge sensor: tag, title, value with prefixes, plain value.
struct BridgeRow {
    const char* tag;
    const char* title;
    const char* prefixed;
    const char* plain;
};
const BridgeRow kBridgeRows[] = {
    {"Manufacturer", "Manufacturer ID", "HBM (Hottinger Baldwin Messtechnik)", nullptr},
    {"Model", "Model number", "393", nullptr},
    {"VersionLetter", "Version letter", " ", nullptr},
    {"VersionNumber", "Version number", "0", nullptr},
    {"SerialNumber", "Serial number", "0", nullptr},
    {"MinPhysVal", "Minimum physical value", "0 m/s\xB2", nullptr},
    {"MaxPhysVal", "Maximum physical value", "0 m/s\xB2", nullptr},
    {"MinElecVal", "Minimum electrical output", "0 V/V", nullptr},
    {"MaxElecVal", "Maximum electrical output", "0 V/V", nullptr},
    {"BridgeType", "Bridge type (0 quarter, 1 half, 2 full)", "1", nullptr},
    {"SensorImped", "Bridge element impedance", "40.0 Ohm", "40 Ohm"},
    {"RespTime", "Response time", "1.0\xB5 s", "1E-06 s"},
    {"ExciteAmplNom", "Excitation level, nominal", "2.5 V", "2.5 V"},
    {"ExciteAmplMin", "Excitation level, minimum", "1.0 V", "1 V"},
    {"ExciteAmplMax", "Excitation level, maximum", "6.0 V", "6 V"},
    {"CalDate", "Calibration date", "December 31, 2099", nullptr},
    {"CalInitials", "Calibration initials", " ", nullptr},
    {"CalPeriod", "Calibration period (days)", "0", nullptr},
    {"MeasID", "Measurement location ID", "0", nullptr},
    {"UserData", "User data", "", nullptr},
};

Lines bridgeLines(bool prefix)
{
    Lines l = {
        "Node ID 190000005CA6572D",
        std::string("Title ") + doctest::kBridgeTemplate,
        "UTID 31574082",
        "UGID 29362242",
        "abstract IEEE 1451.4 standard template 33",
        "abstract Bridge sensor",
        "abstract Measurand 7, acceleration in m/s\xB2; output range in single-precision values",
    };
    for (const auto& r : kBridgeRows)
        l.push_back(std::string("%") + r.tag + ", \"" + r.title + "\", \"" +
                    (prefix || !r.plain ? r.prefixed : r.plain) + "\"");
    l.push_back("Checksum is ok");
    return l;
}

TEST_F(FullListing, BridgeSensorInBothModes)
{
    showBridge();
    EXPECT_EQ(editor::appendFullTEDS(doc, true), bridgeLines(true));
    EXPECT_EQ(editor::appendFullTEDS(doc, false), bridgeLines(false));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FullListing, CrcErrorAndTheGridsUnwrittenEdits)
{
    showBridge();
    // The listing decodes the bits: a typed, not committed text is not listed.
    doc.setRowValue(2, "Q");
    doc.TedsBuf.Status = core::TedsStatusCrcError;
    const Lines l = editor::appendFullTEDS(doc, false);
    EXPECT_EQ(l.back(), "Checksum is failed");
    EXPECT_EQ(l[9], "%VersionLetter, \"Version letter\", \" \"");
    for (int s : {core::TedsStatusNotRead, core::TedsStatusReadError, core::TedsStatusVirgin}) {
        doc.TedsBuf.Status = s;
        EXPECT_EQ(editor::appendFullTEDS(doc, true).back(), "Checksum is ok") << s;
    }
}

TEST_F(FullListing, NumberFieldsTagsAndSuffixes)
{
    core::listsState().FieldTagList.reset();
    const int t = show({{"CONRES", 8, 0, 0.5, "0.0", "V", 2, "Level"},
                        {"CONRELRES", 4, 1, 0.5, "0.0", "A", 2, "Gain \"x\""},
                        {"SINGLE", 32, 0, 0, "0.000", "g", 2, "Single"}});
    fieldOf(t, 0).tagName = "LEVEL";
    fieldOf(t, 0).tagSuffix = "[2]";
    fieldOf(t, 1).tagName = "GAIN";
    fieldOf(t, 1).tag = std::make_shared<core::FieldTag>(core::FieldTag{"Gain", ""});
    fieldOf(t, 2).tagName = "S";
    core::Val2Bits(3, 0, 8, doc.TedsBuf);       // 1.5
    core::Val2Bits(15, 8, 4, doc.TedsBuf);      // all ones
    core::Val2Bits(0x3E4CCCCD, 12, 32, doc.TedsBuf);  // 0.2f
    doc.ShowForm();

    const Lines plain = editor::appendFullTEDS(doc, false);
    ASSERT_EQ(plain.size(), 8u);  // node, title, UTID, UGID, three fields, checksum: no abstract
    EXPECT_EQ(plain[1], "Title Hand made");
    EXPECT_EQ(plain[2], "UTID 0");
    EXPECT_EQ(plain[4], "%LEVEL[2], \"Level\", \"1.5 V\"");
    EXPECT_EQ(plain[5], "%Gain, \"Gain \"x\"\", \"N/A\"");
    EXPECT_EQ(plain[6], "%S, \"Single\", \"0.2 g\"");
    const Lines prefixed = editor::appendFullTEDS(doc, true);
    EXPECT_EQ(prefixed[4], "%LEVEL[2], \"Level\", \"1.5 V\"");
    EXPECT_EQ(prefixed[5], "%Gain, \"Gain \"x\"\", \"N/A\"");
    EXPECT_EQ(prefixed[6], "%S, \"Single\", \"0.2 g\"");  // the display format is not used
}

TEST_F(FullListing, PrefixLettersAndTheChargeAmplifier)
{
    // 1e9 x (1 + 2 x 0.5)^2 = 4e9 V/C, which is 4 mV/pC.
    const int t = show({{"CONRELRES", 4, 1e9, 0.5, "0.0p", "V/C", 2, "Sensitivity"}});
    fieldOf(t, 0).tagName = "SENS";
    core::Val2Bits(2, 0, 4, doc.TedsBuf);
    doc.ShowForm();
    EXPECT_EQ(editor::appendFullTEDS(doc, true)[4], "%SENS, \"Sensitivity\", \"4.0G V/C\"");
    EXPECT_EQ(editor::appendFullTEDS(doc, false)[4], "%SENS, \"Sensitivity\", \"4000000000 V/C\"");
    doc.Title = "Charge amplifier";
    EXPECT_EQ(editor::appendFullTEDS(doc, true)[4], "%SENS, \"Sensitivity\", \"4.0m V/pC\"");
    EXPECT_EQ(editor::appendFullTEDS(doc, false)[4], "%SENS, \"Sensitivity\", \"4000000000 V/C\"");
}

TEST_F(FullListing, UnknownTypeIsReportedAndListed)
{
    const int t = show({{"UNINT", 8, 0, 0, "", "", 2, "Count"}});
    fieldOf(t, 0).tagName = "C";
    fieldOf(t, 0).typeKeyword = "FANCY";
    box.clear();
    const Lines l = editor::appendFullTEDS(doc, false);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"Unknown type: FANCY"});
    EXPECT_EQ(l[4], "%C, \"Count\", \"\"");
    EXPECT_EQ(l.back(), "Checksum is ok");
}

} // namespace
