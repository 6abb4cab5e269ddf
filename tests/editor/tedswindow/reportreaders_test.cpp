// The TEDS report as other programs read it: printed to PDF and read by pdftotext, saved
// as RTF and converted by LibreOffice, and read by unrtf. The whole shipped library and
// manufacturer list are loaded; month names are checked in system languages whose
// letters Windows-1252 cannot write.

#include "core/lists/manufacturerlist.h"
#include "core/teds/bitfields.h"
#include "editor/model/datefields.h"
#include "editor/report/tedsreport.h"
#include "tests/editor/tedswindow/tedsfixture.h"
#include "tests/support/documenttext.h"
#include "tests/support/scripteddialogs.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPdfWriter>

#include <algorithm>
#include <cstdlib>

using namespace teds_test;
namespace ts = testing_support;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> splitLines(const std::string& s)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at <= s.size()) {
        const auto end = s.find('\n', at);
        std::string l = s.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        out.push_back(l);
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return out;
}

// The "caption TAB value" lines of the report just built (the abstract's lines of many
// tabs are text, not a caption with its value).
std::vector<std::string> captionLines(editor::TedsF& w)
{
    w.BuildTedsReport();
    std::vector<std::string> lines;
    for (const auto& l : splitLines(w.RichTextBox1.unicodeText().toStdString()))
        if (l.find('\t') != std::string::npos && l.rfind("Abstract:", 0) != 0)
            lines.push_back(l);
    return lines;
}

// The rows' lines: caption and value as the window shows them.
std::vector<std::string> rowLines(editor::TedsF& w)
{
    std::vector<std::string> lines;
    for (int k = 0; k <= w.doc.fieldLast(); ++k)
        lines.push_back(QString::fromLatin1(w.doc.rows[static_cast<std::size_t>(k)].caption.c_str()).toStdString() +
                        "\t" +
                        QString::fromLatin1(w.doc.shownText(k).c_str()).toStdString());
    return lines;
}

class ReportReaders : public TedsWindowTest {
protected:
    ReportReaders()
    {
        core::resetTdlState();
        core::coreState().ProgramFolder = ts::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(ts::dataDir());
        // As the program loads them: every library file in name order.
        for (const char* f : {"Accessory_Templates.tdl", "IEEE_Calibration_Curve.tdl", "IEEE_Calibration_Response.tdl",
                              "IEEE_Calibration_Table.tdl", "IEEE_Templates.tdl"})
            core::ParseTemplateFile(f);
        core::ReadManufacturerList(ts::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
    }

    fs::path print(editor::TedsF& w, const std::string& name, QPageSize::PageSizeId paper)
    {
        const fs::path pdf = dir / (name + ".pdf");
        printer.printTo(pdf, QPageSize(paper));
        w.PrintTeds();
        return pdf;
    }
    fs::path saveRtf(editor::TedsF& w, const std::string& name)
    {
        const fs::path rtf = dir / (name + ".rtf");
        dialogs.choose(rtf);
        w.SaveTedsRtf();
        return rtf;
    }
    int templateWhere(const std::function<bool(const core::TemplateRecord&, const core::TemplateRecord&)>& better)
    {
        const auto& lib = core::tdlState();
        int best = 0;
        for (int t = 1; t <= lib.TemplateLast; ++t)
            if (better(lib.Templates[static_cast<std::size_t>(t)], lib.Templates[static_cast<std::size_t>(best)]))
                best = t;
        return best;
    }
    // The line's caption and value, a blank apart, fit the text width of A4 inside 2 cm
    // margins at the smallest size a report sets rows in (9 points, Arial).
    bool fitsA4AtSmallestSize(const std::string& line)
    {
        static QPdfWriter device(QString::fromStdString((dir / "metrics.pdf").string()));
        device.setResolution(1200);
        QFont font("Arial");
        font.setPointSizeF(9);
        const QFontMetricsF fm(font, &device);
        const QString l = QString::fromStdString(line);
        const double points = fm.horizontalAdvance(QString(l).replace('\t', "  ")) * 72 / device.resolution();
        return points <= (21.0 - 4.0) / 2.54 * 72;
    }
    int templateWithCaption(const std::string& caption)
    {
        const auto& lib = core::tdlState();
        for (int t = 0; t <= lib.TemplateLast; ++t)
            for (const auto& f : lib.Templates[static_cast<std::size_t>(t)].fields)
                if (f.title == caption)
                    return t;
        return -1;
    }

    ts::TempDir dir;
    ts::ScriptedFileDialogs dialogs;
    ts::ScriptedPrinter printer;
};

// Every TEDS of the demo network, the longest manufacturer name of the list with a user
// text to the end of a DS2433, and the library's longest title and caption, with values
// and with descriptions: on A4 and Letter and through LibreOffice every value begins on
// its caption's line, and every value short enough for a line stays on it whole.
TEST_F(ReportReaders, LongestTextsOfTheLibraryKeepTheirValuesOnTheirLines)
{
    loadDemo();
    scan();
    auto* accelerometer = window(k4k);
    ASSERT_NE(accelerometer, nullptr);
    {
        // The longest manufacturer name of the list, and the user text filled to the end
        // of the memory with the characters RTF escapes.
        const auto& t = core::tdlState().Templates[static_cast<std::size_t>(accelerometer->ActualTemplate())];
        int longest = 0;
        const auto& names = core::listsState().Manufacturers.items();
        for (std::size_t i = 1; i < names.size(); ++i)
            if (names[i].size() > names[static_cast<std::size_t>(longest)].size())
                longest = static_cast<int>(i);
        ASSERT_EQ(names[static_cast<std::size_t>(longest)], "Metra Mess- und Frequenztechnik (MMF), Radebeul");
        core::Val2Bits(61, t.fields[0].bitAddress, t.fields[0].bitCount, accelerometer->doc.TedsBuf);
        accelerometer->doc.ShowTeds();
        accelerometer->SetLockState(editor::LockEditing);
        std::string user;
        for (int i = 0; user.size() < 600; ++i)
            user += "{" + std::to_string(i) + "} back\\slash ";
        accelerometer->doc.commitRow(t.fieldLast, user);
        ASSERT_GE(accelerometer->doc.rows[static_cast<std::size_t>(t.fieldLast)].value.size(), 500u);
        ASSERT_EQ(accelerometer->doc.rows[0].value, names[static_cast<std::size_t>(longest)]);
    }
    std::vector<std::unique_ptr<editor::TedsF>> library;
    for (int t : {templateWhere([](const auto& a, const auto& b) { return a.name.size() > b.name.size(); }),
                  templateWhere([](const auto& a, const auto& b) { return a.fieldLast > b.fieldLast; }),
                  templateWithCaption("Thermocouple type (0 B, 1 E, 2 J, 3 K, 4 N, 5 R, 6 S, 7 T, 8 non-standard)")}) {
        ASSERT_GE(t, 0);
        library.push_back(std::make_unique<editor::TedsF>());
        ASSERT_TRUE(library.back()->doc.GetNewTemplate(t));
    }
    std::vector<editor::TedsF*> windows{window(kSwitch), accelerometer, window("190000005CA6572D")};
    for (auto& w : library)
        windows.push_back(w.get());

    struct Case {
        std::string name;
        std::vector<std::string> lines;
        fs::path rtf;
    };
    std::vector<Case> cases;
    for (std::size_t i = 0; i < windows.size(); ++i)
        for (bool descriptions : {false, true}) {
            auto& w = *windows[i];
            ASSERT_NE(&w, nullptr);
            w.doc.setDescriptionView(descriptions);
            const std::string name = "teds" + std::to_string(i) + (descriptions ? "-descriptions" : "");
            const auto lines = captionLines(w);
            std::vector<std::string> shortLines;  // what fits a line of A4 at the smallest size
            for (const auto& l : lines)
                if (fitsA4AtSmallestSize(l))
                    shortLines.push_back(l);
            for (auto paper : {QPageSize::A4, QPageSize::Letter}) {
                const std::string text = ts::pdfLayoutText(print(w, name + "-" + std::to_string(paper), paper));
                ASSERT_FALSE(text.empty());
                EXPECT_EQ(ts::valuesNotBegunOnTheirLine(text, lines), std::vector<std::string>{})
                    << name << " printed on " << QPageSize(paper).name().toStdString();
                EXPECT_EQ(ts::linesNotKeptTogether(text, shortLines), std::vector<std::string>{})
                    << name << " printed on " << QPageSize(paper).name().toStdString();
            }
            cases.push_back({name, shortLines, saveRtf(w, name)});
            w.doc.setDescriptionView(false);
        }
    std::vector<fs::path> rtfs;
    for (const auto& c : cases)
        rtfs.push_back(c.rtf);
    std::string why;
    const auto pdfs = ts::officeToPdf(rtfs, dir.path(), &why);
    if (!pdfs)
        GTEST_SKIP() << why;
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(ts::linesNotKeptTogether(ts::pdfLayoutText((*pdfs)[i]), cases[i].lines), std::vector<std::string>{})
            << cases[i].name << " through LibreOffice";
}

// The user text with braces and backslashes comes back from the RTF whole, and the
// Windows-1252 letters of the units too (unrtf).
TEST_F(ReportReaders, UnrtfReadsEscapedTextsBack)
{
    if (!ts::haveCommand("unrtf"))
        GTEST_SKIP() << "unrtf is not installed";
    loadDemo();
    scan();
    auto* w = window(k4k);
    ASSERT_NE(w, nullptr);
    const int user = w->doc.fieldLast();
    w->SetLockState(editor::LockEditing);
    w->doc.commitRow(user, "a {brace} and a \\ backslash, \\par \\u1076? {\\b not bold}");
    const std::string text = ts::unrtfText(saveRtf(*w, "escapes"));
    for (const auto& l : rowLines(*w))
        EXPECT_EQ(ts::linesNotKeptTogether(text, {l}), std::vector<std::string>{}) << text;
}

// The printer dialog chose a paper narrower than A4 (A5, Executive): the report still
// keeps every value on its caption's line.
TEST_F(ReportReaders, NarrowerPaperChosenInThePrinterDialogKeepsValuesOnTheirLines)
{
    loadDemo();
    scan();
    for (const char* id : {kSwitch, k4k}) {
        auto* w = window(id);
        ASSERT_NE(w, nullptr);
        const auto lines = rowLines(*w);
        for (auto paper : {QPageSize::A5, QPageSize::Executive}) {
            const std::string text = ts::pdfLayoutText(print(*w, std::string(id) + std::to_string(paper), paper));
            ASSERT_FALSE(text.empty());
            EXPECT_EQ(ts::linesNotKeptTogether(text, lines), std::vector<std::string>{})
                << id << " on " << QPageSize(paper).name().toStdString() << ":\n" << text;
        }
    }
}

// A report of two pages holds every row once: no line at the foot of a page is drawn
// there (cut off by the margin) and again at the head of the next.
TEST_F(ReportReaders, EveryRowOnceAcrossPageBreaks)
{
    for (int t : {templateWhere([](const auto& a, const auto& b) { return a.fieldLast > b.fieldLast; }),
                  templateWhere([](const auto& a, const auto& b) { return a.name.size() > b.name.size(); })})
    for (bool descriptions : {false, true}) {
        editor::TedsF w;
        ASSERT_TRUE(w.doc.GetNewTemplate(t));
        w.doc.setDescriptionView(descriptions);
        const auto rows = rowLines(w);
        for (auto paper : {QPageSize::A4, QPageSize::Letter, QPageSize::A5}) {
            const fs::path pdf =
                print(w, "pages" + std::to_string(t) + "-" + std::to_string(paper) + (descriptions ? "d" : ""), paper);
            ASSERT_GE(std::atoi(ts::runCommand("pdfinfo '" + pdf.string() + "' | sed -n 's/^Pages: *//p'").c_str()), 2)
                << "the case needs a report of two pages";
            std::string pages = ts::pdfLayoutText(pdf);
            std::replace(pages.begin(), pages.end(), '\f', '\n');  // a page's first line after its form feed
            const auto text = splitLines(pages);
            for (const auto& r : rows) {
                // The caption and the first word of its value, as one line of text begins.
                const std::string caption = r.substr(0, r.find('\t'));
                const std::string value = r.substr(r.find('\t') + 1);
                const std::string head = ts::squeezedText(caption + " " + value.substr(0, value.find(' ')));
                int seen = 0;
                for (const auto& l : text)
                    seen += ts::squeezedText(l).rfind(head, 0) == 0;
                EXPECT_EQ(seen, 1) << "'" << head << "' on " << QPageSize(paper).name().toStdString()
                                   << (descriptions ? " with descriptions" : "");
            }
        }
    }
}

// --- Month names of the system language ----------------------------------------------

// The system language for the test's life.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~ScopedLanguage() { QLocale::setDefault(QLocale::system()); }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;
};

// ru_RU, el_GR, ja_JP and de_DE: the date printed keeps the language's month name in the
// printout, through LibreOffice and through unrtf; the calibration date row shows a
// month name the row reads back (no "?" for letters Windows-1252 cannot hold), in the
// window and in every reader alike.
TEST_F(ReportReaders, MonthNamesOfEverySystemLanguageReachEveryReader)
{
    editor::setReportClock([] { return QDateTime(QDate(2026, 2, 14), QTime(9, 30, 5)); });
    struct Written {
        std::string language, row;
        fs::path pdf, rtf;
    };
    std::vector<Written> written;
    loadDemo();
    scan();
    auto* w = window(k4k);
    ASSERT_NE(w, nullptr);
    for (const char* language : {"ru_RU", "el_GR", "ja_JP", "de_DE"}) {
        ScopedLanguage scoped(language);
        w->ReadNode_msg(false);  // decoded in this language
        double v = 0;
        std::string text;
        int t = 0, f = 0;
        ASSERT_TRUE(w->doc.GetTEDSField("Calibration date", v, text, t, f));
        written.push_back({language, w->doc.rows[static_cast<std::size_t>(f)].value,
                           print(*w, std::string("month-") + language, QPageSize::A4),
                           saveRtf(*w, std::string("month-") + language)});
    }
    editor::setReportClock(nullptr);

    std::vector<fs::path> rtfs;
    for (const auto& out : written)
        rtfs.push_back(out.rtf);
    std::string why;
    const auto pdfs = ts::officeToPdf(rtfs, dir.path(), &why);
    for (std::size_t i = 0; i < written.size(); ++i) {
        const auto& out = written[i];
        const QLocale locale(QString::fromStdString(out.language));
        std::vector<std::string> printed;
        for (const QString& m : {locale.monthName(2, QLocale::ShortFormat), locale.standaloneMonthName(2, QLocale::ShortFormat)})
            printed.push_back(("TEDS printed: " + m + " 14, 2026 09:30:05").toStdString());
        // Blanks left out: a reader may set one where the font changes (before "月").
        const auto unblanked = [](std::string t) {
            t.erase(std::remove_if(t.begin(), t.end(), [](char c) { return c == ' ' || c == '\t'; }), t.end());
            return t;
        };
        auto showsPrinted = [&](const std::string& text) {
            for (const auto& p : printed)
                for (const auto& l : splitLines(text))
                    if (unblanked(l).find(unblanked(p)) != std::string::npos)
                        return true;
            return false;
        };
        std::vector<std::pair<std::string, std::string>> readers{{"print", ts::pdfLayoutText(out.pdf)}};
        if (pdfs)
            readers.push_back({"LibreOffice", ts::pdfLayoutText((*pdfs)[i])});
        if (ts::haveCommand("unrtf"))
            readers.push_back({"unrtf", ts::unrtfText(out.rtf)});
        for (const auto& [reader, text] : readers)
            EXPECT_TRUE(showsPrinted(text)) << out.language << " through " << reader << ": " << printed[0] << "\n"
                                            << text;

        // The row: a date that reads back, the same in every reader.
        EXPECT_EQ(out.row.find('?'), std::string::npos) << out.language << ": " << out.row;
        {
            ScopedLanguage scoped(QString::fromStdString(out.language));
            EXPECT_EQ(editor::dateFieldDays(out.row), editor::dateFieldDays("August 23, 2022")) << out.language << ": " << out.row;
        }
        const std::string shown = QString::fromLatin1(out.row.c_str()).toStdString();
        for (const auto& [reader, text] : readers)
            EXPECT_EQ(ts::linesNotKeptTogether(text, {"Calibration date\t" + shown}), std::vector<std::string>{})
                << out.language << " through " << reader;
    }
    if (!pdfs)
        GTEST_SKIP() << why;
}

} // namespace
