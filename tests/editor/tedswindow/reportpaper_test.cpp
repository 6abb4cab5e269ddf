// The TEDS report as other programs show it: printed to PDF on A4 and on Letter and read
// back with pdftotext, and saved as RTF and converted by LibreOffice. For every TEDS of
// the demo network and for a TEDS naming the longest manufacturer of the list, every
// report line keeps its value beside its caption; a month name that Windows-1252 cannot
// hold reaches both. LibreOffice's part is skipped, saying so, when it is not installed.

#include "tedsfixture.h"

#include "core/lists/manufacturerlist.h"
#include "core/teds/bitfields.h"
#include "editor/report/reportlayout.h"
#include "editor/report/tedsreport.h"
#include "platform/qt/cp1252.h"
#include "tests/support/documenttext.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/scripteddialogs.h"

#include <QLocale>

#include <algorithm>

namespace {

using namespace teds_test;
namespace ts = testing_support;

struct FileMenu final : editor::StandInTedsNeighbours {
    void fileMenu(int item, editor::TedsF& w) override { editor::runFileMenu(item, w); }
};

// The demo network's TEDS nodes: two bridge sensors, the 256-bit memory, the
// accelerometer and the node list.
const std::vector<std::string> kDemoTeds = {kSwitch, "190000005CA6572D", kApp, k4k, k1k};

class ReportOnPaper : public TedsWindowTest {
protected:
    ReportOnPaper()
    {
        editor::setTedsNeighbours(&fileMenu);
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        core::coreState().ProgramTitle = "Tedsmith";
        core::ReadManufacturerList(ts::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
        editor::setReportClock([] { return QDateTime(QDate(2026, 3, 10), QTime(9, 5, 3)); });
        loadDemo();
        scan();
        box.clear();
    }
    ~ReportOnPaper() override
    {
        editor::setReportClock(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    // The windows of the demo's TEDS, then the 1-kbit bridge sensor's window naming the
    // list's longest manufacturer.
    std::vector<std::pair<std::string, editor::TedsF*>> reports()
    {
        std::vector<std::pair<std::string, editor::TedsF*>> out;
        for (const auto& id : kDemoTeds) {
            editor::TedsF* w = window(id);
            EXPECT_NE(w, nullptr) << id;
            if (w)
                out.emplace_back(id, w);
        }
        editor::TedsF* w = window("190000005CA6572D");
        if (!w)
            return out;
        const auto& list = core::listsState().Manufacturers;
        int longest = 0;
        for (int p = 1; p < list.ListCount(); ++p)
            if (list.List(p).size() > list.List(longest).size())
                longest = p;
        const int id = core::listsState().ManufacturerIds[static_cast<std::size_t>(longest)];
        const auto& field = core::tdlState().Templates[static_cast<std::size_t>(w->ActualTemplate())].fields[0];
        core::Val2Bits(id, field.bitAddress, field.bitCount, w->doc.TedsBuf);
        w->doc.ShowTeds();
        EXPECT_EQ(w->doc.rows[0].value, list.List(longest));
        out.emplace_back("longest manufacturer", w);
        return out;
    }

    // The report's "caption TAB value" lines (UTF-8).
    static std::vector<std::string> tabLines(editor::TedsF& w)
    {
        w.BuildTedsReport();
        std::vector<std::string> out;
        for (const QString& l : w.RichTextBox1.unicodeText().split("\r\n"))
            if (l.contains('\t') && !l.startsWith("Abstract:"))
                out.push_back(l.toStdString());
        w.RichTextBox1.clear();
        return out;
    }

    std::string saveRtf(editor::TedsF& w, const std::string& name)
    {
        dialogs.choose(dir / name);
        w.mnuFile_Click(4);  // "Save TEDS as rtf document"
        return ts::readAll(dir / (name + ".rtf"));
    }

    ts::TempDir dir;
    FileMenu fileMenu;
    ts::ScriptedFileDialogs dialogs;
    ts::ScriptedPrinter printer;
};

TEST_F(ReportOnPaper, PrintedOnA4AndLetterEveryValueStaysBesideItsCaption)
{
    const std::pair<QPageSize::PageSizeId, const char*> papers[] = {{QPageSize::A4, "A4"}, {QPageSize::Letter, "letter"}};
    for (const auto& [id, w] : reports()) {
        const auto lines = tabLines(*w);
        ASSERT_GE(lines.size(), 2u) << id;
        for (const auto& [paper, name] : papers) {
            const auto pdf = dir / (std::string(name) + ".pdf");
            printer.printTo(pdf, QPageSize(paper));
            w->mnuFile_Click(3);  // "Print TEDS"
            ASSERT_TRUE(std::filesystem::exists(pdf)) << id << " " << name;
            EXPECT_NE(ts::runCommand("pdfinfo '" + pdf.string() + "'").find(std::string("(") + name + ")"),
                      std::string::npos)
                << name;
            const std::string text = ts::pdfLayoutText(pdf);
            ASSERT_FALSE(text.empty()) << "pdftotext gave nothing";
            EXPECT_EQ(ts::linesNotKeptTogether(text, lines), std::vector<std::string>{})
                << id << " on " << name << ":\n" << text;
            std::filesystem::remove(pdf);
        }
    }
    EXPECT_TRUE(box.prompts().empty());
}

TEST_F(ReportOnPaper, RtfNamesItsPaperAndLibreOfficeKeepsEveryValueBesideItsCaption)
{
    std::vector<std::filesystem::path> rtfs;
    std::vector<std::vector<std::string>> expected;
    std::vector<std::string> ids;
    for (const auto& [id, w] : reports()) {
        const std::string name = "report" + std::to_string(rtfs.size());
        const std::string rtf = saveRtf(*w, name);
        // A4 with 2 cm margins, and no tab stop beyond the text width.
        EXPECT_NE(rtf.find("\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134"), std::string::npos)
            << id;
        for (auto at = rtf.find("\\tx"); at != std::string::npos; at = rtf.find("\\tx", at + 1))
            EXPECT_LT(std::stoi(rtf.substr(at + 3)), editor::kReportTextWidthTwips) << id;
        rtfs.push_back(dir / (name + ".rtf"));
        expected.push_back(tabLines(*w));
        ids.push_back(id);
    }
    if (ts::officeProgram().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: install Debian's libreoffice-writer-nogui "
                        "(scripts/deps.sh does) to check the RTF report in another word processor";
    std::string why;
    const auto pdfs = ts::officeToPdf(rtfs, dir.path(), &why);
    ASSERT_TRUE(pdfs) << why;
    for (std::size_t i = 0; i < pdfs->size(); ++i) {
        const std::string text = ts::pdfLayoutText((*pdfs)[i]);
        ASSERT_FALSE(text.empty()) << ids[i];
        EXPECT_EQ(ts::linesNotKeptTogether(text, expected[i]), std::vector<std::string>{}) << ids[i] << ":\n" << text;
    }
}

TEST_F(ReportOnPaper, MonthNameOutsideWindows1252ReachesPaperAndRtf)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString month = QLocale().monthName(3, QLocale::ShortFormat);
    ASSERT_EQ(platform::fromCp1252(platform::toCp1252(month)).contains('?'), true) << "not a test of the escape";
    const std::string printed = ("TEDS printed: " + month + " 10, 2026 09:05:03").toStdString();
    editor::TedsF* w = window("190000005CA6572D");
    ASSERT_NE(w, nullptr);

    // RTF: every letter as \uN with "?" (\'3f) for readers without Unicode (N the UTF-16
    // unit), no "?" in place of a letter.
    const std::string rtf = saveRtf(*w, "month");
    std::string escaped;
    for (const QChar c : month)
        escaped += c.unicode() < 0x80 ? std::string(1, static_cast<char>(c.unicode()))
                                      : "\\u" + std::to_string(static_cast<std::int16_t>(c.unicode())) + "\\'3f";
    EXPECT_NE(rtf.find("TEDS printed: " + escaped + " 10, 2026"), std::string::npos) << rtf.substr(0, 1200);

    // Printed as it is.
    printer.printTo(dir / "month.pdf");
    w->mnuFile_Click(3);
    EXPECT_NE(ts::pdfLayoutText(dir / "month.pdf").find(printed), std::string::npos);

    if (ts::officeProgram().empty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF's month was checked in the file only";
    std::string why;
    const auto pdfs = ts::officeToPdf({dir / "month.rtf"}, dir.path(), &why);
    ASSERT_TRUE(pdfs) << why;
    EXPECT_NE(ts::pdfLayoutText(pdfs->front()).find(printed), std::string::npos);
}

} // namespace
