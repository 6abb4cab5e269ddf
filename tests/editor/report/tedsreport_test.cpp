// The TEDS report: its paragraphs, runs and tab stops for the bridge sensor's TEDS and
// for small templates (no abstract, no user field, not validated, not linked), and
// the report box's own members.

#include "core/teds/memoryfile.h"
#include "editor/report/reportlayout.h"
#include "editor/report/richtextbox.h"
#include "editor/report/tedsreport.h"
#include "platform/qt/cp1252.h"
#include "tests/editor/model/doctestenv.h"
#include "tests/support/qtapp.h"

#include <QTextBlock>
#include <QTextFragment>

namespace {

// One paragraph of the report: text, bold and point size of its runs, tab stops and
// hanging indent (twips).
struct Para {
    std::string text;
    bool bold = false;
    double size = 0;  // 0: no text, no run
    std::vector<int> tabs;
    int indent = 0;
};

std::ostream& operator<<(std::ostream& o, const Para& p)
{
    o << '"' << p.text << "\" bold " << p.bold << " size " << p.size << " indent " << p.indent << " tabs";
    for (int t : p.tabs)
        o << ' ' << t;
    return o;
}

// A "caption TAB value" paragraph as it stands on paper: the caption ends before the
// tab, the value ends inside the text width, and the value's tab is the hanging indent.
void expectBesideItsCaption(const Para& p)
{
    const auto tab = p.text.find('\t');
    ASSERT_NE(tab, std::string::npos) << p;
    ASSERT_EQ(p.tabs.size(), 1u) << p;
    const QString family = editor::RichTextBox::kDefaultFont;
    const double caption = editor::textWidthTwips(platform::fromCp1252(p.text.substr(0, tab)), family, p.size);
    const double value = editor::textWidthTwips(platform::fromCp1252(p.text.substr(tab + 1)), family, p.size);
    EXPECT_LT(caption, p.tabs[0]) << p;
    EXPECT_LE(p.tabs[0] + value, editor::kReportTextWidthTwips) << p;
    EXPECT_EQ(p.indent, p.tabs[0]) << p;
}

std::vector<Para> paragraphs(const editor::RichTextBox& box)
{
    std::vector<Para> out;
    for (QTextBlock b = box.document().begin(); b.isValid(); b = b.next()) {
        Para p;
        p.text = platform::toCp1252(b.text());
        p.tabs = editor::RichTextBox::tabsOf(b.blockFormat());
        p.indent = editor::RichTextBox::hangingIndentOf(b.blockFormat());
        bool first = true;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const bool bold = f.fontWeight() >= QFont::Bold;
            const double size = f.fontPointSize();
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
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
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
    struct Line {
        std::string text;
        bool bold;
        double size;
    };
    std::vector<Line> expected = {
        {"Tedsmith", true, 20},
        {"QT 8061 version: 1.4.2", false, 12},
        {"", false, 0},
        {"Used template:", true, 12},
        {doctest::kBridgeTemplate, false, 12},
        {"Abstract:\tIEEE 1451.4 standard template 33\tBridge sensor\tMeasurand 7, acceleration in m/s\xB2; output "
         "range in single-precision values",
         false, 12},
        {"Description file: \t" + rec.file, false, 12},
        {"UTIDT: 2", false, 12},
        {"UTID: 31574082", false, 12},
        {"UGID: 29362242\tIEEE 1451.4 Bridge sensor, temperature K, 11-bit range", false, 12},
        {"Allocated bits excl. user: \t320", false, 12},
        {"", false, 0},
        {"TEDS printed: Mar 7, 2026 09:05:03", false, 12},
        {"", false, 0},
        {doctest::kBridgeTemplate, true, 14},
        {"Node ID\t190000005CA6572D", false, 12},
    };
    for (int k = 0; k <= rec.fieldLast; ++k)
        expected.push_back({doc.rows[static_cast<std::size_t>(k)].caption + "\t" + doc.rows[static_cast<std::size_t>(k)].value,
                            false, 12});
    expected.push_back({"CRC check\tOK", false, 12});
    expected.push_back({"", false, 0});  // behind the last line end
    // The user text runs to the end of the memory: its field has no bits of its own.
    EXPECT_EQ(rec.fields[static_cast<std::size_t>(rec.fieldLast)].bitCount, 0);
    EXPECT_EQ(rec.lengthBits, 320);
    EXPECT_EQ(rec.UTIDT, 2);
    const auto got = paragraphs(box);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].text, expected[i].text) << i;
        EXPECT_EQ(got[i].bold, expected[i].bold) << i;
        EXPECT_EQ(got[i].size, expected[i].size) << i;
    }
    EXPECT_EQ(got[18].text, "Version letter\t ");
    // The title and abstract lines keep the tab at 1 cm, wrapped abstract lines start there.
    for (std::size_t i = 0; i <= 5; ++i)
        EXPECT_EQ(got[i].tabs, std::vector<int>{566}) << i;
    EXPECT_EQ(got[5].indent, 566);
    // Every value beside its caption, on one column per block: the template's lines and
    // the rows (the node id and the CRC state among them) at 12 points.
    for (std::size_t i = 6; i < got.size() - 1; ++i)
        if (got[i].text.find('\t') != std::string::npos)
            expectBesideItsCaption(got[i]);
    EXPECT_EQ(got[6].tabs, got[9].tabs);
    EXPECT_EQ(got[6].tabs, got[10].tabs);
    for (std::size_t i = 15; i < got.size() - 1; ++i)
        EXPECT_EQ(got[i].tabs, got[15].tabs) << i;
    EXPECT_GT(got[15].tabs[0], got[6].tabs[0]);  // "Bridge type (0 quarter, 1 half, 2 full)" is the widest
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
