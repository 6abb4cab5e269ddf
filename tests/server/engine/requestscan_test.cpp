// One request, one search pass: the poll tick drops the node list and the request's jobs
// refill it with one full pass over the network (job 1; job 6 finds the list refilled),
// in Paused and in Scanning mode, counted as Search ROM commands on the simulated bus.

#include "serverfixture.h"

#include <QString>

namespace {

using namespace server_test;

class RequestScan : public ServerTest {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(net->loadFile(testing_support::dataDir() / "demo-network.txt", error)) << error;
        net->setTranscriptLimit(0);
        // A post to the idle queue asks for a run at once, as the main window does.
        shell::jobQueue().scheduleRun = [this] { runAsked = true; };
    }
    void TearDown() override { shell::jobQueue().scheduleRun = nullptr; }

    // Search ROM commands (F0h right after a reset) on the bus since the last clear.
    int searches() const
    {
        int n = 0;
        const auto& t = net->transcript();
        for (std::size_t i = 1; i < t.size(); ++i)
            n += t[i - 1].kind == platform::sim::BusEvent::Reset && t[i].kind == platform::sim::BusEvent::Byte &&
                 t[i].written == 0xF0;
        return n;
    }
    // The poll tick and the run at once it asked for; the periodic tick while no answer.
    void pollAndRun()
    {
        engine.ServerTimer_Timer();
        if (runAsked) {
            runAsked = false;
            shell::jobQueue().runPosted();
        }
        if (client.ackPresent())
            shell::jobQueue().tick();
        shell::collectDeferred();
    }

    bool runAsked = false;
};

TEST_F(RequestScan, ARequestRefillsTheNodeListWithOneSearchPass)
{
    for (const bool scanning : {false, true}) {
        SCOPED_TRACE(scanning ? "Scanning" : "Paused");
        shell::jobQueue().isScanning = [scanning] { return scanning; };
        // What one pass over the emptied list costs: a search per node and the access of
        // each memory node's TEDS read.
        shell::removeAllTransducers();
        net->clearTranscript();
        shell::scanUntilPassEnds();
        const int onePass = searches();
        const int records = shell::TrLast() + 1;
        const int nodes = static_cast<int>(net->nodes().size());
        ASSERT_EQ(nodes, 7);
        ASSERT_GE(onePass, nodes);
        startServer();
        mainStub.jobs.clear();
        net->clearTranscript();
        client.send(testing_support::RequestClient::requestText({"REQUESTDATETIME one pass"}));
        ASSERT_TRUE(client.waitForAnswer(std::chrono::seconds(20), [this] {
            pollAndRun();
        }));
        EXPECT_EQ(searches(), onePass);
        EXPECT_EQ(mainStub.jobs, (std::vector<int>{1, 6}));
        EXPECT_EQ(shell::TrLast() + 1, records);
        EXPECT_EQ(logLines().back(), "Request (one pass)  failed");
        // A job 6 of its own, later, scans again.
        net->clearTranscript();
        shell::jobQueue().Insert_In_JobQue(mainStub, 6, 0LL);
        shell::jobQueue().tick();
        EXPECT_GE(searches(), nodes);
        engine.Form_Unload();
    }
}

} // namespace
