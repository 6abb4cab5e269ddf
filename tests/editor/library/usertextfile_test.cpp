// A TEDS saved from the TEDS window into a memory file and read back into a window
// (File > "Save TEDS as", File > "Read TEDS"): the user text comes back as it was.

#include "editor/tedswindow/tedsf.h"
#include "tests/editor/library/attackfixture.h"
#include "tests/support/qtapp.h"
#include "tests/support/documenttext.h"
#include "tests/support/scripteddialogs.h"

namespace library_attack {
namespace {

class UserTextFile : public LibraryTest {
protected:
    void SetUp() override
    {
        testing_support::ensureApplication();
        auto& ls = core::listsState();
        ls.Manufacturers.setListIndex(std::min(5, ls.Manufacturers.ListCount() - 1));
    }
    static int standardTemplate(int id, int family)
    {
        for (int i = 0; i <= templateLast(); ++i) {
            const auto& t = tmpl(i);
            if (t.file != "IEEE_Templates.tdl" || contains(t.name, "follows") || t.selectorLast < 1) continue;
            if (t.selectors[1].bitAddress != 66 || t.selectors[1].match != id || t.UTIDT < 2) continue;
            if (t.lengthBits <= chipBits(family)) return i;
        }
        return -1;
    }
    static std::string userText(editor::TedsDocument& doc)
    {
        const auto listed = listedFields(editor::appendFullTEDS(doc, false));
        if (listed.empty() || tagBase(listed.back().tag) != "USERDATA") return "<no user text>";
        return listed.back().value;
    }
    testing_support::ScriptedFileDialogs dialogs;
    testing_support::TempDir dir;
};

TEST_F(UserTextFile, SavedAndReadBackIntoAWindow)
{
    for (const auto& chip : chips()) {
        for (int id : {25, 36}) {
            const int t = standardTemplate(id, chip.family);
            if (t < 0) continue;
            for (double part : {0.5, 1.0}) {
                editor::TedsF w;
                auto& doc = w.doc;
                doc.TedsBuf = core::TedsBuf{};
                doc.TedsBuf.Family = chip.family;
                doc.TedsBuf.id = "5A0000000012342D";
                doc.LinkedToNode = true;
                ASSERT_TRUE(doc.GetNewTemplate(t));
                const int k = fieldOf(tmpl(t), "USERDATA");
                const int room = (8 * doc.TedsBuf.Size - tmpl(t).fields[k].bitAddress) / 7;
                std::string text;
                for (int i = 0; i < static_cast<int>(room * part); ++i) text += static_cast<char>('A' + i % 26);
                doc.commitRow(k, text);
                ASSERT_EQ(userText(doc), text);
                const auto path = dir / (std::string(chip.name) + ".tds");
                dialogs.choose(path);
                ASSERT_TRUE(w.SaveTedsFile()) << chip.name;

                editor::TedsF reader;
                dialogs.choose(path);
                ASSERT_TRUE(reader.Open_file(reader, true)) << chip.name;
                EXPECT_EQ(reader.doc.ActualTemplate(), t) << chip.name;
                EXPECT_EQ(userText(reader.doc), text) << tmpl(t).name << " on " << chip.name << ", " << text.size()
                                                      << " of " << room;
            }
        }
    }
}

// The report of a TEDS whose user text fills a DS2433: the printed pages hold the whole
// text, in order.
TEST_F(UserTextFile, TheReportPrintsALongUserTextWhole)
{
    const int t = standardTemplate(33, device::FamilyDS2433);
    ASSERT_GE(t, 0);
    editor::TedsF w;
    auto& doc = w.doc;
    doc.TedsBuf.Family = device::FamilyDS2433;
    doc.TedsBuf.id = "5A00000000123423";
    doc.LinkedToNode = true;
    ASSERT_TRUE(doc.GetNewTemplate(t));
    const int k = fieldOf(tmpl(t), "USERDATA");
    const int room = (8 * doc.TedsBuf.Size - tmpl(t).fields[k].bitAddress) / 7;
    std::string text;
    for (int word = 0; static_cast<int>(text.size()) < room; ++word) text += "word" + std::to_string(word) + " ";
    text = text.substr(0, static_cast<std::size_t>(room));
    while (text.back() == ' ' || text.back() == 'w' || text.back() == 'o' || text.back() == 'r' || text.back() == 'd')
        text.pop_back();
    doc.commitRow(k, text);
    ASSERT_EQ(userText(doc), text);

    testing_support::ScriptedPrinter printer;
    const auto pdf = dir / "report.pdf";
    printer.printTo(pdf);
    w.PrintTeds();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    std::string printed = testing_support::pdfLayoutText(pdf);
    ASSERT_FALSE(printed.empty());
    // Every word of the text, in order.
    std::size_t at = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        const std::size_t found = printed.find(word, at);
        ASSERT_NE(found, std::string::npos) << "'" << word << "' missing from the report after position " << at;
        at = found + word.size();
        start = end + 1;
    }
}

} // namespace
} // namespace library_attack
