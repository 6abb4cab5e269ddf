// The template download window's model against the simulated chain: the download in
// two passes and its check, the table read back, the busy line, the download list and
// its UTID list files, the dump.

#include "toolsenv.h"

#include "amplifier/tools/dltemplatesmodel.h"
#include "core/base/textfile.h"
#include "device/amplink/linehold.h"

using namespace tools_test;

namespace {

const std::string kLineA = "TRA:TE \"1234,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA";

struct RecordingView final : amplifier::DlTemplatesView {
    amplifier::DlTemplatesModel* model = nullptr;
    std::vector<bool> busyStates;
    int beeps = 0;
    int hides = 0;
    void beep() override { ++beeps; }
    void hideWindow() override { ++hides; }
    bool windowVisible() override { return false; }
    void parkFocus() override {}
    void modelChanged() override
    {
        if (model && (busyStates.empty() || busyStates.back() != model->busy))
            busyStates.push_back(model->busy);
    }
};

} // namespace

class DlTemplates : public ToolsTest {
protected:
    DlTemplates()
    {
        // 0 A UTIDT 0, 1 B UTIDT 2, 2 C UTIDT 1, 3 D UTIDT 0, 4 N without serial number.
        auto n = workedExample(999, 0, "Bridge N");
        n.fields[2].tag.reset();
        setLibrary({workedExample(1234, 0, "Accel A"), workedExample(5678, 2, "Mic B"),
                    workedExample(4321, 1, "Force C"), workedExample(1111, 0, "Accel D"), n});
        view.model = &model;
    }
    void open(const std::string& type = "Type 6180", const std::string& more = "")
    {
        startChain(type, more);
        model.Form_Load();
        model.Initiate(1);
    }
    void add(std::initializer_list<int> positions)
    {
        for (int p : positions) {
            model.SelectTemplate_Click(p);
            model.AddToList_cmd_Click();
        }
    }

    RecordingView view;
    amplifier::DlTemplatesModel model{&view};
};

TEST_F(DlTemplates, LoadOffersQualifyingTemplates)
{
    open();
    EXPECT_EQ(model.SelectTemplate, (Lines{"Accel A", "Mic B", "Force C", "Accel D"}));
    EXPECT_EQ(model.SelectTemplateMap, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(model.Pelox_ID, "Amplifier No. 1: Type 6180, Serial no.: 0000001");
    EXPECT_EQ(model.Label1, "List of templates to be downloaded to Pelox");
    EXPECT_EQ(model.AbstractTitle, "Accel A");
    EXPECT_EQ(model.TemplateAbstract, "Accel A first line\r\nsecond line");
    model.SelectTemplate_Click(2);
    EXPECT_EQ(model.AbstractTitle, "Force C");

    auto lone = workedExample(7, 0, "Lone");
    lone.fields[3].tag.reset();
    setLibrary({lone});
    amplifier::DlTemplatesModel none;
    none.Form_Load();
    EXPECT_TRUE(none.SelectTemplate.empty());
    EXPECT_EQ(box.prompts(), Lines{"No templates applies !, please exit"});
    none.AddToList_cmd_Click(); // nothing to add
    EXPECT_TRUE(none.TemplatesInPelox.empty());
}

TEST_F(DlTemplates, DownloadSendsUtidt0FirstAndChecksTheTable)
{
    open();
    add({1, 0, 2, 3});
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Mic B", "Accel A", "Force C", "Accel D"}));
    EXPECT_EQ(model.UTIDinPelox[0], "            5678");
    model.Update_cmd_Click();
    EXPECT_TRUE(box.shown.empty()) << box.shown.front().prompt;
    EXPECT_EQ(table(), (Lines{"1234", "1111", "5678", "4321"}));
    const Lines expected = {"TRA:C",
                            kLineA,
                            "TRA:TE \"1111,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA",
                            "TRA:TE \"5678,0,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA",
                            "TRA:TE \"4321,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA",
                            "@",
                            "HEADER OFF",
                            "TRA:TE?"};
    EXPECT_EQ(heard(), expected);
    // Busy while it ran, free afterwards.
    EXPECT_EQ(view.busyStates, (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(device::lineHeld());
    EXPECT_FALSE(shell::jobQueue().HourGlass());
}

TEST_F(DlTemplates, DownloadWithErrQueriesAnd6188SerialField)
{
    device::deviceState().ErrAfterSend = true;
    open("ZQ6188A");
    EXPECT_EQ(model.Label1, "List of templates to be downloaded to Pelox"); // Model6188 is the window's to set
    add({0});
    model.Update_cmd_Click();
    EXPECT_EQ(heard(), (Lines{"TRA:C", "Err?",
                              "TRA:TE \"1234,1,22,15,0,8,25,40,4,2,60,16,100,24\",1.0000000E-03,5.0000000E-02,V/PA",
                              "Err?", "@", "HEADER OFF", "TRA:TE?"}));
    EXPECT_EQ(table(), Lines{"1234"});
}

TEST_F(DlTemplates, NonQualifyingTemplatesAreNeverSent)
{
    open();
    model.AddTemplateToLists(4); // as a read-back could list it
    add({0});
    model.Update_cmd_Click();
    EXPECT_EQ(box.prompts(),
              Lines{"These templates cannot be used by the amplifier and were not sent:\r\nBridge N"});
    EXPECT_EQ(heard(), (Lines{"TRA:C", kLineA, "@", "HEADER OFF", "TRA:TE?"}));
}

TEST_F(DlTemplates, TableThatDiffersAfterTheDownloadIsReported)
{
    open("Type 6180", "mute\n");
    add({0, 3});
    model.Update_cmd_Click();
    EXPECT_EQ(box.prompts(), Lines{"The amplifier's template table differs from the list sent.\r\n"
                                   "Sent: 1234,1111\r\nRead back: none"});
}

TEST_F(DlTemplates, ReadBackListsEveryKnownUtid)
{
    open("Type 6180", "templates 1234,99,1234\n");
    add({1});
    model.ReadPelox_Click();
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Accel A", "Accel A"}));
    EXPECT_EQ(model.TemplateNo, (Lines{"0", "0"}));
    EXPECT_EQ(heard(), (Lines{"@", "HEADER OFF", "TRA:TE?"}));

    line.start(chainOf("amplifier Type 6180\n"));
    model.ReadPelox_Click();
    EXPECT_TRUE(model.TemplatesInPelox.empty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(DlTemplates, BusyLineIsLeftAlone)
{
    open("Type 6180", "templates 1234\n");
    add({0});
    {
        device::LineHold other;
        model.ReadPelox_Click();
        model.Update_cmd_Click();
    }
    EXPECT_TRUE(heard().empty());
    EXPECT_EQ(model.TemplatesInPelox, Lines{"Accel A"});
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt.rfind("The amplifier line is busy", 0), 0u);
}

TEST_F(DlTemplates, EditingTheList)
{
    open();
    add({0, 1, 0});
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Accel A", "Mic B"}));
    model.TemplatesInPelox_KeyDown(46, 0); // nothing selected
    model.ListIndex = 0;
    model.TemplatesInPelox_KeyDown(65, 0);
    EXPECT_EQ(model.TemplateNo.size(), 2u);
    model.TemplatesInPelox_KeyDown(46, 0);
    EXPECT_EQ(model.TemplatesInPelox, Lines{"Mic B"});
    EXPECT_EQ(model.UTIDinPelox, Lines{"            5678"});
    EXPECT_EQ(model.TemplateNo, Lines{"1"});
    model.ClrList_cmd_Click();
    EXPECT_TRUE(model.TemplatesInPelox.empty() && model.UTIDinPelox.empty() && model.TemplateNo.empty());
}

TEST_F(DlTemplates, ListFileRoundTrip)
{
    open();
    add({3, 1, 0});
    model.Exit_Button_Click();
    EXPECT_EQ(view.hides, 1);
    EXPECT_EQ(testing_support::readAll(data / "Pelox_UTID.txt"),
              "Pelox UTID Fileformat 1.0\r\n 1111 \r\n 5678 \r\n 1234 \r\n");
    model.ClrList_cmd_Click();
    model.Read_previous_Click();
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Accel D", "Mic B", "Accel A"}));

    model.ClrList_cmd_Click();
    model.Exit_Button_Click();
    EXPECT_EQ(testing_support::readAll(data / "Pelox_UTID.txt"), "Pelox UTID Fileformat 1.0\r\n");
}

TEST_F(DlTemplates, ReadingListFiles)
{
    open();
    struct Case {
        const char* what;
        std::string bytes;
        Lines names;
    };
    const Case cases[] = {
        {"LF only, bare numbers, text after the number", "Pelox UTID Fileformat 1.0\n5678\n 1234 abc\n99\n1234\n",
         {"Mic B", "Accel A", "Accel A"}},
        {"header with a trailing blank", "Pelox UTID Fileformat 1.0 \r\n 1234 \r\n", {}},
        {"wrong header", "Pelox UTID Fileformat 2.0\r\n 1234 \r\n", {}},
        {"empty file", "", {}},
        {"a number no template has, or none can have, is left out",
         "Pelox UTID Fileformat 1.0\r\n1111\r\n99999999999\r\n1e300\r\n1234\r\n", {"Accel D", "Accel A"}},
    };
    for (const auto& c : cases) {
        program.write("Default_Pelox_UTID.txt", c.bytes);
        model.Read_default_Click();
        EXPECT_EQ(model.TemplatesInPelox, c.names) << c.what;
    }
    // A missing saved list loads nothing, quietly.
    model.Read_previous_Click();
    EXPECT_TRUE(model.TemplatesInPelox.empty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(DlTemplates, UtidsBeyondThirtyTwoBitsRoundTrip)
{
    setLibrary({workedExample(1234, 0, "Accel A"), workedExample(31574082001LL, 0, "Bridge with table"),
                workedExample(5678, 0, "Mic B")});
    open();
    add({1, 2, 0});
    model.Exit_Button_Click();
    EXPECT_EQ(testing_support::readAll(data / "Pelox_UTID.txt"),
              "Pelox UTID Fileformat 1.0\r\n 31574082001 \r\n 5678 \r\n 1234 \r\n");
    model.ClrList_cmd_Click();
    model.Read_previous_Click();
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Bridge with table", "Mic B", "Accel A"}));
}

TEST_F(DlTemplates, EmptyLineNamesUtidZeroAndUnusableTemplatesAreNamed)
{
    auto zero = workedExample(0, 0, "Zero");
    auto n = workedExample(999, 0, "Bridge N");
    n.fields[2].tag.reset();
    setLibrary({workedExample(1234, 0, "Accel A"), zero, n});
    open();
    data.write("Pelox_UTID.txt", "Pelox UTID Fileformat 1.0\r\n\r\n 999 \r\n 1234 \r\n");
    model.Read_previous_Click();
    EXPECT_EQ(model.TemplatesInPelox, (Lines{"Zero", "Accel A"}));
    EXPECT_EQ(box.prompts(),
              Lines{"These templates cannot be used by the amplifier and are left out of the list:\r\nBridge N"});
}

TEST_F(DlTemplates, FailedWritesAreReportedAndKeepTheList)
{
    open();
    add({0});
    const auto blocked = data.write("file", "x") / "sub";
    core::coreState().DataFolder = blocked;
    model.Exit_Button_Click();
    EXPECT_EQ(view.hides, 0);
    EXPECT_EQ(model.TemplatesInPelox, Lines{"Accel A"});
    model.DumpToFile_Click();
    ASSERT_EQ(box.shown.size(), 2u);
    for (const auto& m : box.shown) {
        EXPECT_NE(m.prompt.find("could not write"), std::string::npos) << m.prompt;
        EXPECT_NE(m.prompt.find((blocked / "").string()), std::string::npos) << m.prompt;
    }
}

TEST_F(DlTemplates, DumpFile)
{
    open();
    model.DumpToFile_Click();
    EXPECT_EQ(testing_support::readAll(data / "Pelox_Templates.txt"),
              "OK: Accel A\r\n" + kLineA + "\r\n"
              "OK: Mic B\r\nTRA:TE \"5678,0,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA\r\n"
              "OK: Force C\r\nTRA:TE \"4321,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA\r\n"
              "OK: Accel D\r\nTRA:TE \"1111,1,22,15,0,8,25,40,4,2,60,16\",1.0000000E-03,5.0000000E-02,V/PA\r\n"
              "* skipped: Bridge N\r\n");
}
