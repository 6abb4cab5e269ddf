// The serial-number write against the simulated chain: the codes sent, the amplifier's
// new number, and every refusal with nothing sent.

#include "toolsenv.h"

#include "amplifier/tools/maintenancemodel.h"

using namespace tools_test;

class Maintenance : public ToolsTest {
protected:
    Maintenance()
    {
        startChain("Type 6181", "serial 0000001\n");
        model.switchToAmplifierLink = [this] { ++switches; };
        model.Form_Load();
    }
    void write(const std::string& serial)
    {
        model.SerialNo = serial;
        model.ReqWriteSerialno_Click();
        runJobs();
    }
    Lines writes(std::initializer_list<const char*> codes)
    {
        Lines l{"ATAC_RESET_SERIAL_NUMBER"};
        for (const char* c : codes)
            l.push_back(std::string("ATAC_WRITE_SERIAL_NUMBER ") + c);
        l.push_back("ATAC_PROGRAM_SERIAL_NUMBER?");
        return l;
    }

    amplifier::MaintenanceModel model;
    int switches = 0;
};

TEST_F(Maintenance, SevenDigitsAreWrittenAsTheirCodes)
{
    EXPECT_EQ(switches, 1);
    EXPECT_EQ(model.SerialNo, "0000000");
    write("1234567");
    EXPECT_EQ(box.prompts(), Lines{"Are you sure ?"});
    EXPECT_EQ(box.shown[0].buttons, platform::MsgOkCancel);
    EXPECT_EQ(heard(), writes({"49", "50", "51", "52", "53", "54", "55"}));
    EXPECT_EQ(line.chain().amplifier(1).serialNumber(), "1234567");
}

TEST_F(Maintenance, CapitalsAndSignsKeepTheirCodes)
{
    write("AB 0-Z!");
    EXPECT_EQ(heard(), writes({"65", "66", "32", "48", "45", "90", "33"}));
    EXPECT_EQ(line.chain().amplifier(1).serialNumber(), "AB 0-Z!");
}

TEST_F(Maintenance, RefusedBeforeAnythingIsSent)
{
    struct Case {
        std::string serial;
        std::string message;
    };
    const Case cases[] = {
        {"123456", "Wrong length"},
        {"12345678", "Wrong length"},
        {"", "Wrong length"},
        {"e234567", "\"e\" cannot be written"},
        {"123456d", "\"d\" cannot be written"},
        {"12\t4567", "cannot be written"},
        {"12\xE9" "4567", "cannot be written"},
    };
    for (const auto& c : cases) {
        box.clear();
        write(c.serial);
        ASSERT_EQ(box.shown.size(), 2u) << c.serial;
        EXPECT_NE(box.shown[1].prompt.find(c.message), std::string::npos) << box.shown[1].prompt;
    }
    // Cancel on the question.
    box.clear();
    box.queue(platform::MsgCancel);
    write("7654321");
    EXPECT_EQ(box.prompts(), Lines{"Are you sure ?"});
    EXPECT_TRUE(heard().empty());
    EXPECT_EQ(line.chain().amplifier(1).serialNumber(), "0000001");
}

TEST_F(Maintenance, OnlyJobZero)
{
    shell::jobQueue().Insert_In_JobQue(model, 1, 0LL);
    runJobs();
    EXPECT_EQ(box.prompts(), Lines{"No such job in Pelox_MaintenanceF"});
    EXPECT_TRUE(heard().empty());
}
