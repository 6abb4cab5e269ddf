// The TEDS report: its paragraphs, runs and tab stops for the bridge sensor's TEDS and
// for small templates (no abstract, no user field, not validated, not linked), and
// the report box's own members.

#include "core/teds/memoryfile.h"
#include "editor/report/richtextbox.h"
#include "editor/report/tedsreport.h"
#include "platform/qt/cp1252.h"
#include "tests/editor/model/doctestenv.h"

#include <QTextBlock>
#include <QTextFragment>

namespace {

// One paragraph of the report: text, bold and point size of its runs, tab stops (twips).
struct Para {
    std::string text;
    bool bold = false;
    int size = 0;  // 0: no text, no run
    std::vector<int> tabs;
    bool operator==(const Para&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Para& p)
{
    o << '"' << p.text << "\" bold " << p.bold << " size " << p.size << " tabs";
    for (int t : p.tabs)
        o << ' ' << t;
    return o;
}

std::vector<Para> paragraphs(const editor::RichTextBox& box)
{
    std::vector<Para> out;
    for (QTextBlock b = box.document().begin(); b.isValid(); b = b.next()) {
        Para p;
        p.text = platform::toCp1252(b.text());
        p.tabs = editor::RichTextBox::tabsOf(b.blockFormat());
        bool first = true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const bool bold = f.fontWeight() >= QFont::Bold;
            const int size = static_cast<int>(f.fontPointSize());
            if (first) {
                p.bold = bold;
                p.size = size;
                first = false;
            } else if (p.bold != bold || p.size != size) {
                ADD_FAILURE() << "mixed runs in " << p.text;
            }
        }
        out.push_back(p);
    }
    return out;
}

const QDateTime kPrinted(QDate(2026, 3, 7), QTime(9, 5, 3));

class Report : public doctest::DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        core::coreState().ProgramTitle = "Tedsmith";
        core::coreState().ProgramVersion = "1.4.2";
    }
    editor::RichTextBox box;
};

TEST_F(Report, BridgeSensorLinkedToItsNode)
{
    loadLibrary();
    ASSERT_TRUE(core::LoadMemoryFile(doc.TedsBuf, testing_support::fixturesDir() / "teds" / "bridge-ds2431.tds"));
    doc.TedsBuf.Status = core::TedsStatusReadOk;
    int t = 0;
    ASSERT_TRUE(doc.GetTemplate(t));
    doc.setActualTemplate(t);
    doc.ShowForm();
    doc.ActualNodeID = doc.TedsBuf.id;
    const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
    ASSERT_TRUE(rec.validated);

    editor::BuildTedsReport(box, doc, kPrinted);
    const std::vector<int> t1 = {566}, t9 = {5102}, t12 = {7086};
    std::vector<Para> expected = {
        {"Tedsmith", true, 20, t1},
        {"QT 8061 version: 1.4.2", false, 12, t1},
        {"", false, 0, t1},
        {"Used template:", true, 12, t1},
        {doctest::kBridgeTemplate, false, 12, t1},
        {"Abstract:\tIEEE 1451.4 standard template 33\tBridge sensor\tMeasurand 7, acceleration in m/s\xB2; output "
         "range in single-precision values",
         false, 12, t1},
        {"Description file: \t" + rec.file, false, 12, t9},
        {"UTIDT: 2", false, 12, t9},
        {"UTID: 31574082", false, 12, t9},
        {"UGID: 29362242\tIEEE 1451.4 Bridge sensor, temperature K, 11-bit range", false, 12, t9},
        {"Allocated bits excl. user: \t320", false, 12, t9},
        {"", false, 0, t12},
        {"TEDS printed: Mar 7, 2026 09:05:03", false, 12, t12},
        {"", false, 0, t12},
        {doctest::kBridgeTemplate, true, 14, t12},
        {"Node ID\t190000005CA6572D", false, 12, t12},
    };
    for (int k = 0; k <= rec.fieldLast; ++k)
        expected.push_back({doc.rows[static_cast<std::size_t>(k)].caption + "\t" + doc.rows[static_cast<std::size_t>(k)].value,
                            false, 12, t12});
    expected.push_back({"CRC check\tOK", false, 12, t12});
    expected.push_back({"", false, 0, t12});  // behind the last line end
    // The user text runs to the end of the memory: its field has no bits of its own.
    EXPECT_EQ(rec.fields[static_cast<std::size_t>(rec.fieldLast)].bitCount, 0);
    EXPECT_EQ(rec.lengthBits, 320);
    EXPECT_EQ(rec.UTIDT, 2);
    const auto got = paragraphs(box);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], expected[i]) << i;
    EXPECT_EQ(got[18].text, "Version letter\t ");
}

TEST_F(Report, SmallTemplateWithoutAbstractUserFieldOrValidation)
{
    const int t = addTemplate("Small", {{"UNINT", 8, 0, 0, "", "", 2, "Count"}, {"UNINT", 4, 0, 0, "", "", 2, "Users"}});
    // The group head is the library's last template.
    const int group = addTemplate("Group head", {{"UNINT", 8}});
    ASSERT_EQ(group, core::tdlState().TemplateLast);
    core::tdlState().Templates[static_cast<std::size_t>(group)].UTID = core::Currency::fromScaled(77 * 10000);
    auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
    rec.file = "small.tdl";
    rec.UGID = core::Currency::fromScaled(77 * 10000);
    rec.UTID = core::Currency::fromScaled(5 * 10000);
    showWith(t, 16);
    doc.FormatFields(t);
    core::Val2Bits(9, 0, 8, doc.TedsBuf);
    doc.TedsBuf.id = "0123456789ABCDEF";
    doc.TedsBuf.Status = core::TedsStatusCrcError;
    doc.ShowForm();

    for (int utidt : {0, 1}) {
        rec.UTIDT = utidt;
        editor::BuildTedsReport(box, doc, kPrinted);
        const auto got = paragraphs(box);
        std::vector<std::string> texts;
        for (const auto& p : got)
            texts.push_back(p.text);
        const std::vector<std::string> expected = {
            "Tedsmith",
            "QT 8061 version: 1.4.2",
            "",
            "Used template:",
            "Small",
            "Description file: \tsmall.tdl",
            "Template description file is not valid",
            utidt == 0 ? "Standard version: Beta template\tUTIDT = 0" : "Standard version: IEEE P1451.4 v 0.9x\t(UTIDT = 1)",
            "UTID: 5",
            "UGID: 77\tGroup head",
            "Allocated bits excl. user: \t8",  // "Users" contains "user"
            "",
            "TEDS printed: Mar 7, 2026 09:05:03",
            "TEDS is not linked to node",  // the window's node is "Not assigned"
            "",
            "Small",
            "Node ID\t0123456789ABCDEF",
            "Count\t9",
            "Users\t0",
            "CRC check\tFailed",
            "",
        };
        EXPECT_EQ(texts, expected) << utidt;
    }
    // In the description view the rows give their descriptions.
    doc.setDescriptionView(true);
    editor::BuildTedsReport(box, doc, kPrinted);
    EXPECT_EQ(paragraphs(box)[17].text, "Count\t" + doc.rows[0].description);
}

TEST_F(Report, BoxMembers)
{
    box.setTab(1);
    box.setTab(9);
    EXPECT_EQ(box.tabs(), (std::vector<int>{566, 5102}));
    box.ClearTab();
    box.setTab(12.5);
    EXPECT_EQ(box.tabs(), (std::vector<int>{7086}));

    box.addTEDS_to_print("abc", "", false, false, false, 0, 0, false, true);
    box.setSelStart(1);
    box.addTEDS_to_print("XY", "Courier", true, true, true, 9, 0x0000FF, false, false);
    EXPECT_EQ(box.text(), "aXYbc");
    EXPECT_EQ(box.selStart(), 3);
    QTextCursor c(&box.document());
    c.setPosition(2);
    const QTextCharFormat f = c.charFormat();
    EXPECT_TRUE(f.fontItalic());
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_EQ(f.fontPointSize(), 9);
    EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0));
    box.addTEDS_to_print("end", "", false, false, false, 0, 0, true, true);
    EXPECT_EQ(box.text(), "aXYbcend\r\n");
    EXPECT_EQ(box.selStart(), 9);
}

} // namespace
