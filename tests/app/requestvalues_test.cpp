// The real program serving requests on the demo network: a tag value that its field cannot
// hold exactly as given is refused and nothing reaches the node.

#include "tests/app/serverprogram.h"
#include "tests/support/requestclient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;
using testing_support::RequestClient;
using ::testing::Contains;
using ::testing::Not;

constexpr const char* kNode = "NODEID 190000005CA6572D";

class RequestValuesProgram : public testing_support::ServerProgram {
protected:
    void SetUp() override
    {
        prepare("Dallas DS9097U");
        start({{"TEDSMITH_SIMNET", (testing_support::dataDir() / "demo-network.txt").string()}});
        ASSERT_TRUE(client.waitUntilServing(60s)) << errors();
    }
    std::vector<std::string> ask(const std::vector<std::string>& lines)
    {
        client.send(RequestClient::requestText(lines));
        EXPECT_TRUE(client.waitForAnswer(60s)) << errors();
        return client.responseLines();
    }
    std::vector<std::string> listing() { return ask({kNode, "LISTFULLTEDS"}); }

    RequestClient client{work.path()};
};

struct Misfit {
    const char* tag;
    const char* value;
};

// Each value has no exact image in its field (a fraction in a whole-number field, a value
// too small for single precision) or is a number with more after it; each was once answered
// "OK" with another value stored.
TEST_F(RequestValuesProgram, AValueItsFieldCannotHoldExactlyIsRefusedAndNothingReachesTheNode)
{
    const Misfit cases[] = {
        {"MinPhysVal", "0x1p3"}, {"MinPhysVal", "1.5abc"}, {"MinPhysVal", "2 3"},
        {"MinPhysVal", "1e-50"}, {"MinPhysVal", "-1e-40"}, {"Model", "1.5"},
        {"Model", "0.4"},        {"Model", "1e-400"},      {"CalPeriod", "4095.4"},
        {"SerialNumber", "16777215.4"},
    };
    auto before = listing();
    ASSERT_NE(std::find(before.begin(), before.end(), "Checksum is ok"), before.end());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.tag) + "=\"" + c.value + "\"");
        const auto answer = ask({kNode, std::string("%") + c.tag + "=\"" + c.value + "\"", "WRITETEDS"});
        EXPECT_THAT(answer, Not(Contains("OK")));
        const bool named = std::any_of(answer.begin(), answer.end(), [](const std::string& l) {
            return l.find("Error in assignment of tag in line: 3,") == 0 && l.find("nothing written") != std::string::npos;
        });
        EXPECT_TRUE(named);
        const auto now = listing();
        EXPECT_EQ(now, before);
        before = now;
    }
    // Values that are held exactly (or as the nearest single) still go through.
    const auto answer = ask({kNode, "%Model=\"1.0\"", "%MinPhysVal=\"0.5 m/s\xb2\"", "%MaxPhysVal=\"1.5e-30\"",
                             "%SerialNumber=\"1e2\"", "WRITETEDS"});
    EXPECT_THAT(answer, Contains("OK"));
    const auto after = listing();
    for (const char* line : {"%Model, \"Model number\", \"1\"", "%MinPhysVal, \"Minimum physical value\", \"0.5 m/s\xb2\"",
                             "%MaxPhysVal, \"Maximum physical value\", \"1.5E-30 m/s\xb2\"", "%SerialNumber, \"Serial number\", \"100\""})
        EXPECT_THAT(after, Contains(line));
}

} // namespace
