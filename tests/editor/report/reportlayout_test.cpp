// Fitting "caption TAB value" blocks into the report's text width, and what the RTF
// writer makes of the result: the paper and margins, hanging indents, and characters
// Windows-1252 cannot hold.

#include "editor/report/reportlayout.h"
#include "editor/report/richtextbox.h"
#include "editor/report/rtfwriter.h"
#include "tests/support/qtapp.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

using editor::ColumnLine;

const QString kFamily = editor::RichTextBox::kDefaultFont;

double width(const QString& text, double size) { return editor::textWidthTwips(text, kFamily, size); }

class ReportLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
};

TEST_F(ReportLayout, ShortLinesShareOneColumnRightOfTheWidestCaption)
{
    const std::vector<ColumnLine> lines = {{"Node ID", "190000005CA6572D"}, {"Bridge element impedance", "40.0Ohm"},
                                           {"CRC check", "OK"}, {"UTID: 5", "", false}};
    const auto fit = editor::fitColumns(lines, kFamily, 12, 9);
    EXPECT_EQ(fit.size, 12);
    EXPECT_GT(fit.columnTwips, width("Bridge element impedance", 12));
    EXPECT_LT(fit.columnTwips, width("Bridge element impedance", 12) + editor::kTwipsPerCm);
    EXPECT_EQ(fit.tabs, std::vector<int>(4, fit.columnTwips));
    EXPECT_EQ(fit.fits, std::vector<bool>(4, true));
}

TEST_F(ReportLayout, ALongValueSetsTheBlockSmallerAndKeepsItAligned)
{
    const std::vector<ColumnLine> lines = {{"Sensitivity @ reference condition", "2.5V"},
                                           {"Manufacturer ID", "Metra Mess- und Frequenztechnik (MMF), Radebeul"}};
    ASSERT_GT(width(lines[0].caption, 12) + width(lines[1].value, 12),
              editor::kReportTextWidthTwips - editor::kTwipsPerCm);
    const auto fit = editor::fitColumns(lines, kFamily, 12, 9);
    EXPECT_LT(fit.size, 12);
    EXPECT_GE(fit.size, 9);
    EXPECT_EQ(fit.tabs[0], fit.tabs[1]);
    EXPECT_EQ(fit.fits, std::vector<bool>(2, true));
    EXPECT_LE(fit.tabs[1] + width(lines[1].value, fit.size), editor::kReportTextWidthTwips);
    // A block that may not shrink moves the value next to its caption instead.
    const auto keep = editor::fitColumns(lines, kFamily, 12, 12);
    EXPECT_EQ(keep.size, 12);
    EXPECT_EQ(keep.fits, std::vector<bool>(2, true));
    EXPECT_EQ(keep.tabs[0], keep.columnTwips);
    EXPECT_LT(keep.tabs[1], keep.columnTwips);
    EXPECT_GT(keep.tabs[1], width(lines[1].caption, 12));
}

TEST_F(ReportLayout, ACaptionBeyondHalfTheWidthTabsOnItsOwn)
{
    const QString longCaption = "Thermocouple type (0 B, 1 E, 2 J, 3 K, 4 N, 5 R, 6 S, 7 T, 8 non-standard)";
    const auto fit = editor::fitColumns({{"Node ID", "190000005CA6572D"}, {longCaption, "K"}, {"CRC check", "OK"}},
                                        kFamily, 12, 9);
    EXPECT_EQ(fit.size, 12);
    EXPECT_EQ(fit.columnTwips, fit.tabs[0]);
    EXPECT_EQ(fit.tabs[2], fit.tabs[0]);
    EXPECT_LE(fit.columnTwips, editor::kReportTextWidthTwips / 2 + editor::kTwipsPerCm / 10 + 1);
    EXPECT_GT(fit.tabs[1], width(longCaption, 12));
    EXPECT_EQ(fit.fits, std::vector<bool>(3, true));
}

TEST_F(ReportLayout, AValueTooLongForAnySizeWrapsBelowItsTab)
{
    const QString value = QString("a very long description ").repeated(8);
    const auto fit = editor::fitColumns({{"Model number", value}, {"Node ID", "190000005CA6572D"}}, kFamily, 12, 9);
    EXPECT_EQ(fit.size, 9);
    EXPECT_FALSE(fit.fits[0]);
    EXPECT_TRUE(fit.fits[1]);
    EXPECT_LT(fit.tabs[0], editor::kReportTextWidthTwips - editor::kTwipsPerCm / 2);
}

TEST_F(ReportLayout, PaperFollowsTheMeasurementSystem)
{
    const auto a4 = editor::reportPaper(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(a4.widthTwips, editor::kA4WidthTwips);
    EXPECT_EQ(a4.heightTwips, editor::kA4HeightTwips);
    const auto letter = editor::reportPaper(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(letter.widthTwips, editor::kLetterWidthTwips);
    EXPECT_EQ(letter.heightTwips, editor::kLetterHeightTwips);
    // The report's text width fits inside either paper's margins.
    for (const auto& p : {a4, letter})
        EXPECT_LE(editor::kReportTextWidthTwips, p.widthTwips - 2 * p.marginTwips);
}

TEST_F(ReportLayout, RtfNamesPaperIndentsAndUnicodeLetters)
{
    editor::RichTextBox box;
    box.setTabTwips(2835);
    box.setHangingIndent(2835);
    box.addText(QString::fromUtf8("Caption\tмар. 10 µs {x}"), "", false, false, false, 11.5, 0, true, true);
    box.setHangingIndent(0);
    box.addText("plain", "", false, false, false, 12, 0, true, true);
    const std::string rtf = editor::toRtf(box.document());
    EXPECT_NE(rtf.find("\\paperw11906\\paperh16838\\margl1134\\margr1134\\margt1134\\margb1134\r\n"), std::string::npos);
    EXPECT_NE(rtf.find("\\uc1"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\li2835\\fi-2835\\tx2835 {\\f0\\fs23 Caption\\tab \\u1084\\'3f\\u1072\\'3f\\u1088\\'3f. 10 \\'b5s \\{x\\}}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\pard\\tx2835 {\\f0\\fs24 plain}"), std::string::npos) << rtf;
    // A letter of the supplementary planes: two UTF-16 units, each escaped.
    editor::RichTextBox wide;
    wide.addText(QString::fromUtf8("\xF0\x9D\x84\x9E"), "", false, false, false, 12, 0, false, true);
    EXPECT_NE(editor::toRtf(wide.document()).find("\\u-10188\\'3f\\u-8930\\'3f"), std::string::npos);
}

} // namespace
