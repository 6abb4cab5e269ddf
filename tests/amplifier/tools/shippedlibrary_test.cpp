// The template download over the shipped template library: what qualifies, the lines
// the simulated amplifier accepts, the dump and the shipped default lists.

#include "toolsenv.h"

#include "amplifier/tools/dltemplatesmodel.h"
#include "amplifier/tools/traline.h"
#include "core/base/textfile.h"
#include "sim/amplifier/templatedefinition.h"

using namespace tools_test;

class ShippedLibrary : public ToolsTest {};

TEST_F(ShippedLibrary, QualifyingTemplatesGiveLinesTheAmplifierTakes)
{
    loadShippedLibrary();
    const auto& st = core::tdlState();
    int qualifying = 0;
    for (int t = 0; t <= st.TemplateLast; ++t) {
        const auto& rec = st.Templates[static_cast<std::size_t>(t)];
        for (const bool m6188 : {false, true}) {
            const auto line = amplifier::Build_TRA_TE_Line(rec, m6188);
            if (!line.qualifies)
                continue;
            qualifying += m6188 ? 0 : 1;
            const auto d = platform::sim::parseTemplateDefinition(line.line.substr(7));
            ASSERT_TRUE(d) << line.line;
            EXPECT_EQ(d->integers.size(), m6188 ? 14u : 12u);
            EXPECT_EQ(d->utidText(), rec.UTID.text());
        }
    }
    EXPECT_GT(qualifying, 0);
}

TEST_F(ShippedLibrary, SelectionDumpAndDefaultLists)
{
    loadShippedLibrary();
    for (const char* f : {"Default_Pelox_UTID.txt", "Default_6188_UTID.txt"})
        fs::copy_file(testing_support::dataDir() / f, program / f);
    startChain();
    amplifier::DlTemplatesModel m;
    m.Form_Load();
    m.Initiate(1);
    EXPECT_TRUE(box.shown.empty());
    // The 8 paths of templates 25 and 27 with one sensitivity, the same 8 with whatever
    // follows in place of the end section, and the 4 legacy templates.
    EXPECT_EQ(m.SelectTemplate.size(), 20u);
    EXPECT_EQ(m.SelectTemplate.front(), "IEEE 1451.4 Accelerometer");
    EXPECT_EQ(m.AbstractTitle, "IEEE 1451.4 Accelerometer");
    EXPECT_EQ(m.TemplateAbstract.substr(0, 32), "IEEE 1451.4 standard template 25");

    // Every template of the shipped default list can be used: all of them load.
    m.Read_default_Click();
    EXPECT_EQ(m.TemplatesInPelox.size(), 12u);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(m.UTIDinPelox.front(), "        919106");

    // The dump: one OK or skipped line per template, the line after each OK.
    m.DumpToFile_Click();
    const auto lines = *core::readLines(data / "Pelox_Templates.txt");
    int entries = 0, ok = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("OK: ", 0) == 0) {
            ++ok;
            ASSERT_LT(i + 1, lines.size());
            EXPECT_EQ(lines[i + 1].rfind("TRA:TE \"", 0), 0u) << lines[i + 1];
            ++i;
        } else {
            EXPECT_EQ(lines[i].rfind("* skipped: ", 0), 0u) << lines[i];
        }
        ++entries;
    }
    EXPECT_EQ(entries, core::tdlState().TemplateLast + 1);
    EXPECT_EQ(ok, 20);
}
