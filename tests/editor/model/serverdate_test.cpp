// A request's date that the date reader takes but the strict day-month-year reading of
// requests refuses keeps the field's bits (it used to become 1 January 1998).

#include "core/base/message.h"
#include "tests/editor/model/doctestenv.h"

namespace {

struct Server final : core::MessageSuppressor {
    bool suppressing() override { return true; }
    void addLog(const std::string& text) override { log.push_back(text); }
    std::vector<std::string> log;
};

class ServerDate : public doctest::DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        core::setMessageSuppressor(&server);
        const int t = addTemplate("Dated", {{"DATE", 16, 0, 0, "", "", 2, "Calibration date"}});
        showWith(t, 8);
        doc.FormatFields(t);
        core::Val2Bits(100, 0, 16, doc.TedsBuf);
        doc.ShowForm();
    }
    void TearDown() override
    {
        core::setMessageSuppressor(nullptr);
        DocTest::TearDown();
    }
    Server server;
};

TEST_F(ServerDate, RefusedRequestDateKeepsTheBits)
{
    for (const char* text : {"1-2-2020", "01-01-1990", "30-02-2020"}) {
        SCOPED_TRACE(text);
        doc.commitRow(0, text);
        EXPECT_EQ(field(0, 16), 100u);
    }
    // An accepted one is stored; so is 1 January 1998 itself.
    doc.commitRow(0, "02-01-1998");
    EXPECT_EQ(field(0, 16), 1u);
    doc.commitRow(0, "01-01-1998");
    EXPECT_EQ(field(0, 16), 0u);
}

} // namespace
