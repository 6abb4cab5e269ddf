// The document as a view uses it: lock rules, the description view, when the encoding
// pass runs, the field lookup by title, tag assignment and the observer.

#include "core/lists/listsstate.h"
#include "tests/editor/model/doctestenv.h"

#include <cmath>

namespace {

using doctest::FieldSpec;

class Document : public doctest::DocTest {
protected:
    // Six UNINT fields of 8 bits with access classes 0, 1, 2, 3, 2, 2.
    int accessTemplate()
    {
        std::vector<FieldSpec> f;
        for (int access : {0, 1, 2, 3, 2, 2})
            f.push_back({"UNINT", 8, 0, 0, "0", "", access});
        return addTemplate("Access", f);
    }
    std::string locks() const
    {
        std::string s;
        for (int k = 0; k <= doc.fieldLast(); ++k)
            s += doc.rows[static_cast<std::size_t>(k)].locked ? 'L' : 'e';
        return s;
    }
};

TEST_F(Document, LockTable)
{
    struct Case {
        int state;
        bool romLocked;
        int family;
        const char* rows;  // L read only, e editable; access 0 1 2 3 2 2
        bool nodeIdLocked;
    };
    const std::vector<Case> cases = {
        {0, false, 0x2D, "LLeLee", true},  {1, false, 0x2D, "eeeLee", false}, {2, false, 0x2D, "LLLLLL", true},
        {0, true, 0x14, "LLLLLe", true},   {1, true, 0x14, "LLLLLe", false},  {2, true, 0x14, "LLLLLL", true},
        {1, true, 0x2D, "eeeLee", false},  // the lock belongs to a DS2430A only
        {5, false, 0x2D, "eeeLee", false}, // another state changes no row
        {5, true, 0x14, "LLLLLe", false},
    };
    const int t = accessTemplate();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.state) + (c.romLocked ? " locked" : ""));
        doc = editor::TedsDocument{};
        doc.TedsBuf.Family = c.family;
        doc.AppRomLocked = c.romLocked;
        doc.setActualTemplate(t);
        doc.SetLockState(1);  // start from editing
        doc.AppRomLocked = false;
        doc.SetLockState(1);
        doc.AppRomLocked = c.romLocked;
        doc.SetLockState(c.state);
        EXPECT_EQ(locks(), c.rows);
        EXPECT_EQ(doc.NodeIdLocked, c.nodeIdLocked);
        EXPECT_EQ(doc.lockState(), c.state);
    }
}

TEST_F(Document, DescriptionViewNeverReachesTheBits)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0"}});
    doc.TedsBuf.dimension(2);
    doc.TedsBuf.id = "190000005CA6572D";
    core::Val2Bits(5, 0, 8, doc.TedsBuf);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    doc.SwopToolTips();
    EXPECT_TRUE(doc.descriptionView());
    EXPECT_EQ(doc.shownText(0), "0 to 255  step size 1 - 8 bits");
    EXPECT_EQ(doc.shownTooltip(0), "5");
    EXPECT_EQ(doc.nodeIdShown(), "Node ID");
    EXPECT_EQ(doc.crcShown(), "CRC8 of total memory");
    doc.commitRow(0, "whatever the box shows");
    doc.updatebuf();  // a save or write in the description view
    EXPECT_EQ(field(0, 8), 5u);
    EXPECT_EQ(doc.TedsBuf.id, "190000005CA6572D");
    doc.SwopToolTips();
    EXPECT_EQ(doc.shownText(0), "5");
    EXPECT_EQ(doc.nodeIdShown(), "190000005CA6572D");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Document, PassRunsOnlyOverTheGridOfTheseBytes)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0"}, {"ASCII", 16}}, {{0, 8, 0}});
    doc.TedsBuf.dimension(3);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    doc.setRowValue(0, "9");  // typed, not yet committed

    // A virgin read replaces the bytes; the grid of the old ones is not written into them.
    std::fill(doc.TedsBuf.Bytes.begin() + 1, doc.TedsBuf.Bytes.end(), 0xFF);
    doc.TedsBuf.Status = core::TedsStatusVirgin;
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, std::vector<std::uint8_t>({0, 0xFF, 0xFF, 0xFF}));

    // No template found: the bytes stay as they are.
    int index = 0;
    EXPECT_FALSE(doc.GetTemplate(index));
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, std::vector<std::uint8_t>({0, 0xFF, 0xFF, 0xFF}));

    // A node list is never encoded.
    doc.TedsManufacturerId = 1;
    doc.updatebuf();
    EXPECT_EQ(doc.TedsBuf.Bytes, std::vector<std::uint8_t>({0, 0xFF, 0xFF, 0xFF}));
}

TEST_F(Document, FieldLookupByTitle)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0", "", 0, "Model"},
                                    {"UNINT", 12, 0, 0, "hex", "", 0, "Model code"},
                                    {"CONRELRES", 8, 0.001, 0.01, "rp", "V/N", 1, "Sensitivity @ ref."},
                                    {"ASCII", 32, 0, 0, "", "", 2, "Name"},
                                    {"ASCII", 16, 0, 0, "", "", 2, "Blank name"},
                                    {"CHR5", 10, 0, 0, "", "", 2, "Initials"}});
    doc.TedsBuf.dimension(16);
    core::Val2Bits(42, 0, 8, doc.TedsBuf);
    core::Val2Bits(0xABC, 8, 12, doc.TedsBuf);
    core::Val2Bits(100, 20, 8, doc.TedsBuf);
    for (int i = 0; i < 4; ++i)
        core::Val2Bits(std::string("AB  ")[static_cast<std::size_t>(i)], 28 + 8 * i, 8, doc.TedsBuf);
    core::Val2Bits(0x2020, 60, 16, doc.TedsBuf);
    doc.setActualTemplate(t);

    double v = -1;
    std::string text = "untouched";
    int tmpl = 0;
    int from = 0;
    ASSERT_TRUE(doc.GetTEDSField("MODEL", v, text, tmpl, from));
    EXPECT_EQ(tmpl, t);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(text, "untouched");
    from = 1;
    ASSERT_TRUE(doc.GetTEDSField("model", v, text, tmpl, from));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(text, "0ABC");
    from = 0;
    ASSERT_TRUE(doc.GetTEDSField("name", v, text, tmpl, from));
    EXPECT_EQ(text, "AB");
    ++from;
    ASSERT_TRUE(doc.GetTEDSField("name", v, text, tmpl, from));
    EXPECT_EQ(text, " ");
    from = 9;
    v = 7;
    EXPECT_FALSE(doc.GetTEDSField("name", v, text, tmpl, from));
    EXPECT_EQ(v, 7);
    from = 0;
    EXPECT_TRUE(doc.GetTEDSField("Initials", v, text, tmpl, from));
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"unsupported field type, request SW update"});

    double sens = 0;
    std::string unit;
    EXPECT_TRUE(doc.GetParam(sens, unit));
    EXPECT_DOUBLE_EQ(sens, 0.001 * std::pow(1.02, 100));
    EXPECT_EQ(unit, "V/N");
}

TEST_F(Document, NotAvailableIsNoNumber)
{
    const int t = addTemplate("T", {{"CONRELRES", 8, 0.001, 0.01, "rp", "V/N", 1, "Sensitivity @ ref."},
                                    {"CONRES", 4, 1, 1, "0", "V", 1, "Excitation"}});
    doc.TedsBuf.dimension(2);
    core::FillFieldOnes(0, 12, doc.TedsBuf);
    doc.setActualTemplate(t);
    double sens = 5;
    std::string unit;
    EXPECT_FALSE(doc.GetParam(sens, unit));
    EXPECT_EQ(sens, 0);
    EXPECT_EQ(unit, "V/N");
    double v = 3;
    std::string text;
    int tmpl = 0;
    int from = 0;
    bool available = true;
    ASSERT_TRUE(doc.GetTEDSField("excitation", v, text, tmpl, from, &available));
    EXPECT_FALSE(available);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(text, "N/A");
}

TEST_F(Document, NoSensitivityField)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0", "", 0, "sensitivity @ ref."}});
    doc.TedsBuf.dimension(2);
    doc.setActualTemplate(t);
    double sens = 5;
    std::string unit;
    EXPECT_FALSE(doc.GetParam(sens, unit));
    EXPECT_EQ(sens, 0);
    EXPECT_EQ(unit, "unknown");
}

TEST_F(Document, TagAssignment)
{
    loadLibrary();
    const int t = templateNamed(doctest::kBridgeTemplate);
    core::listsState().Manufacturers.setListIndex(0);
    ASSERT_TRUE(doc.GetNewTemplate(t));
    EXPECT_EQ(doc.updateTAG("calinitials", "", "", true), editor::TagAssigned);
    EXPECT_EQ(doc.updateTAG("CalInitials", "", "ABC", false), editor::TagNotFound);  // only one such field
    EXPECT_EQ(doc.updateTAG("MeasID", "[2]", "5", false), editor::TagNotFound);
    EXPECT_EQ(doc.updateTAG("MeasID", "", "12", false), editor::TagAssigned);
    EXPECT_EQ(doc.updateTAG("Manufacturer", "", "metra", false), editor::TagAssigned);
    EXPECT_EQ(field(0, 14), 61u);  // straight into the bits
    EXPECT_EQ(doc.rows[0].value, "metra");
    doc.updatebuf();  // the request's other values follow with the write
    EXPECT_EQ(field(306, 11), 12u);
    EXPECT_EQ(field(0, 14), 61u);
    EXPECT_EQ(doc.rows[0].value, "Metra Mess- und Frequenztechnik (MMF), Radebeul");
}

TEST_F(Document, TagValuesThatDoNotFitAreRefusedWithTheirReason)
{
    loadLibrary();
    const int t = templateNamed(doctest::kBridgeTemplate);
    core::listsState().Manufacturers.setListIndex(0);
    struct Row {
        const char* tag;
        std::string value;
        const char* why;
    };
    const std::vector<Row> rows = {
        {"SerialNumber", "abc", "\"abc\" is not a number"},
        {"SerialNumber", "1e400", "\"1e400\" is out of range (0 to 16777215)"},
        {"SerialNumber", "99999999", "\"99999999\" is out of range (0 to 16777215)"},
        {"SerialNumber", "-5", "\"-5\" is out of range (0 to 16777215)"},
        {"SerialNumber", std::string("12\0", 3), "\"12\\x00\" is not a number"},
        {"CalInitials", std::string("A\0B", 3), "\"A\\x00B\" holds a NUL character, which ends the text"},
        {"Model", "99999999", "\"99999999\" is out of range (0 to 32767)"},
        {"VersionLetter", "AB", "\"AB\" is 2 characters long, the field holds 1"},
        {"CalInitials", "ABCDEFGHIJKLMNOP", "\"ABCDEFGHIJKLMNOP\" is 16 characters long, the field holds 3"},
        {"CalInitials", "A\xE9", "\"\xE9\" cannot be written as CHR5"},
        {"CalDate", "soon", "\"soon\" is not a date"},
        {"Manufacturer", "99999", "manufacturer id 99999 is out of range (0 to 16383)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.tag) + " = " + r.value);
        ASSERT_TRUE(doc.GetNewTemplate(t));
        const auto before = doc.TedsBuf.Bytes;
        std::string why;
        EXPECT_EQ(doc.updateTAG(r.tag, "", r.value, false, &why), editor::TagValueRefused);
        EXPECT_EQ(why, r.why);
        EXPECT_EQ(doc.TedsBuf.Bytes, before);
        EXPECT_TRUE(box.shown.empty()) << box.prompts().front();
        box.clear();
    }
    // Values that fit, rounded to the field's resolution at most, are assigned.
    ASSERT_TRUE(doc.GetNewTemplate(t));
    for (const Row& r : std::vector<Row>{{"SerialNumber", "16777215", ""}, {"CalInitials", "abc", ""},
                                         {"CalDate", "May 27, 2006", ""}, {"VersionLetter", "B ", ""}}) {
        std::string why;
        EXPECT_EQ(doc.updateTAG(r.tag, "", r.value, false, &why), editor::TagAssigned) << r.tag << ": " << why;
    }
}

TEST_F(Document, AWindowPassTellsWhatWasStoredInsteadInMessageAndTooltip)
{
    const int t = addTemplate("T", {{"UNINT", 11, 0, 0, "0"}, {"UNINT", 8, 0, 0, "0"}});
    doc.TedsBuf.dimension(4);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    const std::string description = doc.rows[0].description;
    doc.commitRow(0, "4711");
    EXPECT_EQ(field(0, 11), 2047u);
    EXPECT_EQ(box.prompts(), std::vector<std::string>{"\"4711\" is out of range (0 to 2047), 2047 stored"});
    EXPECT_EQ(doc.shownTooltip(0), "\"4711\" is out of range (0 to 2047), 2047 stored\n" + description);
    // Another row's edit keeps the notice; the row's own next edit clears it.
    box.clear();
    doc.commitRow(1, "7");
    EXPECT_TRUE(box.shown.empty());
    EXPECT_NE(doc.shownTooltip(0), description);
    doc.commitRow(0, "12");
    EXPECT_EQ(doc.shownTooltip(0), description);
}

TEST_F(Document, ObserverHearsOfChanges)
{
    struct Spy : editor::TedsDocumentObserver {
        int texts = 0, layouts = 0, locks = 0;
        void textsChanged() override { ++texts; }
        void layoutChanged() override { ++layouts; }
        void locksChanged() override { ++locks; }
        void showNodeList() override {}
    } spy;
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0"}});
    doc.setObserver(&spy);
    doc.TedsBuf.dimension(2);
    doc.setActualTemplate(t);
    doc.FormatFields(t);
    EXPECT_GT(spy.layouts, 0);
    EXPECT_GT(spy.locks, 0);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    EXPECT_GT(spy.texts, 0);
    const int before = spy.texts;
    doc.commitRow(0, "3");
    EXPECT_GT(spy.texts, before);
    doc.setObserver(nullptr);
}

TEST_F(Document, GroupGapsAndCaptions)
{
    const int t = addTemplate("T", {{"UNINT", 8, 0, 0, "0", "", 0, "a"}, {"UNINT", 8, 0, 0, "0", "", 0, "b"},
                                    {"UNINT", 8, 0, 0, "0", "", 0, "c"}});
    auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
    rec.groupLast = 1;
    rec.groupBreaks[0] = 0;
    rec.groupBreaks[1] = 2;
    doc.setActualTemplate(t);
    doc.FormatFields(t);
    EXPECT_TRUE(doc.rows[0].groupGap);
    EXPECT_FALSE(doc.rows[1].groupGap);
    EXPECT_TRUE(doc.rows[2].groupGap);
    EXPECT_EQ(doc.rows[2].caption, "c");
    EXPECT_FALSE(doc.rows[3].visible);
    doc.Clearfields();
    EXPECT_FALSE(doc.rows[0].visible);
    EXPECT_FALSE(doc.TedsShown);
}

} // namespace
