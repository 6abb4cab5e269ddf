// DATE fields: the request server's day-month-year reading, and dates shown and typed in
// English and in the system language (German here), numbers keeping their point.

#include "core/base/message.h"
#include "editor/model/datefields.h"
#include "tests/editor/model/doctestenv.h"

#include <QLocale>

#include <clocale>

namespace {

using doctest::FieldSpec;

class Dates : public doctest::DocTest {};

TEST_F(Dates, ServerDateValue)
{
    struct Case {
        const char* text;
        long days;
        const char* message;  // nullptr: none
    };
    const std::string wrong = "Wrong date format: ";
    const std::vector<Case> cases = {
        {"27-05-2006", 3068, nullptr},
        {"01-01-1998", 0, nullptr},
        {"31-12-2176", 65378, nullptr},
        {"01-01-2177", 0, nullptr},
        {"31-12-1997", 0, nullptr},
        {"15-13-2006", 0, nullptr},
        {"29-02-2000", 789, nullptr},
        {"01-03-2000", 790, nullptr},
        {"29-02-2100", 0, "Error in date (day is too big) !"},
        {"00-05-2006", 0, "Error in date (day is too big) !"},
        {"31-04-2006", 0, "Error in date (day is too big) !"},
        {"27/05/2006", 3068, nullptr},
        {"1-5-2006", 0, "Wrong date format: 1-5-2006\r\n\r\nShall be like this: 'dd-mm-yyyy'"},
        {"2006-05-27", 0, "Wrong date format: 2006-05-27\r\n\r\nShall be like this: 'dd-mm-yyyy'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        box.clear();
        EXPECT_EQ(editor::T_server_CalDateValue(c.text), c.days);
        if (c.message) {
            EXPECT_EQ(box.prompts(), std::vector<std::string>{c.message});
        } else {
            EXPECT_TRUE(box.shown.empty());
        }
    }
    EXPECT_TRUE(editor::Skudaar(2000));
    EXPECT_FALSE(editor::Skudaar(2100));
    EXPECT_TRUE(editor::Skudaar(2004));
    EXPECT_EQ(editor::Antal_dage(2001), 365);
    EXPECT_EQ(editor::Antal_dage(2000), 366);
}

struct Suppressor : core::MessageSuppressor {
    std::vector<std::string> log;
    bool suppressing() override { return true; }
    void addLog(const std::string& text) override { log.push_back(text); }
};

TEST_F(Dates, ServerTextsAreReadDayMonthYear)
{
    const int t = addTemplate("T", {{"DATE", 16}});
    doc.TedsBuf.dimension(2);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    doc.commitRow(0, "05-06-2006");  // the user's reading: day-month-year as well
    EXPECT_EQ(field(0, 16), 3077u);
    doc.commitRow(0, "05-27-2006");  // only month-day-year reads: May 27
    EXPECT_EQ(field(0, 16), 3068u);

    Suppressor server;
    core::setMessageSuppressor(&server);
    doc.commitRow(0, "05-06-2006");
    EXPECT_EQ(field(0, 16), 3077u);
    doc.commitRow(0, "05-27-2006");  // month 27: refused, the field keeps its date
    EXPECT_EQ(field(0, 16), 3077u);
    doc.commitRow(0, "May 27, 2006");  // a shown date (with its comma) reads as ever
    EXPECT_EQ(field(0, 16), 3068u);
    core::setMessageSuppressor(nullptr);
    EXPECT_TRUE(box.shown.empty());
}

// Under the German system language and C library locale: month names shown and read in
// German, English still read, numbers with a point.
class GermanDates : public doctest::DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        const char* old = std::setlocale(LC_ALL, nullptr);
        saved = old ? old : "C";
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
            GTEST_SKIP() << "the de_DE.UTF-8 locale is not generated here (scripts/deps.sh makes it)";
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, saved.c_str());
        DocTest::TearDown();
    }
    std::string saved;
};

TEST_F(GermanDates, ShownAndTyped)
{
    EXPECT_EQ(editor::dateFieldText(3068), "Mai 27, 2006");
    EXPECT_EQ(editor::dateFieldText(59), "M\xE4rz 1, 1998");
    EXPECT_EQ(editor::dateFieldDays("M\xE4rz 1, 1998"), 59);
    EXPECT_EQ(editor::dateFieldDays("m\xE4rz 1, 1998"), 59);
    EXPECT_EQ(editor::dateFieldDays("Dezember 31, 2099"), 37254);
    EXPECT_EQ(editor::dateFieldDays("May 27, 2006"), 3068);
    EXPECT_EQ(editor::dateFieldDays("27-05-2006"), 3068);
    EXPECT_FALSE(editor::dateFieldDays("Maid 27, 2006"));

    const int t = addTemplate("T", {{"DATE", 16}, {"CONRES", 9, 0.1, 0.1, "0.0", "V"}, {"SINGLE", 32, 0, 0, "0.000"}});
    doc.TedsBuf.dimension(8);
    doc.setActualTemplate(t);
    doc.TedsManufacturerId = 31;
    doc.ShowForm();
    EXPECT_EQ(doc.rows[0].value, "Januar 1, 1998");
    doc.commitRow(0, "Oktober 3, 2006");
    EXPECT_EQ(doc.rows[0].value, "Oktober 3, 2006");
    doc.commitRow(1, "2,5");
    EXPECT_EQ(doc.rows[1].value, "2.5V");
    doc.commitRow(2, "1,25");
    EXPECT_EQ(doc.rows[2].value, "1.250");
    EXPECT_EQ(field(25, 32), 0x3FA00000u);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(Dates, EnglishUnderTheCLocale)
{
    EXPECT_EQ(editor::dateFieldText(0), "January 1, 1998");
    EXPECT_EQ(editor::dateFieldText(366), "January 2, 1999");
    EXPECT_EQ(editor::dateFieldText(65535), "June 6, 2177");
    EXPECT_EQ(editor::dateFieldText(4000000000L), "4000000000");  // a wide field beyond year 9999
    EXPECT_EQ(editor::dateFieldDays("january 2, 1999"), 366);
    EXPECT_EQ(editor::dateFieldDays("1997-12-31"), -1);
    EXPECT_FALSE(editor::dateFieldDays(""));
}

} // namespace
