#include "shell/jobs/jobqueue.h"
#include "tests/support/nodefakes.h"

using namespace nodetest;

namespace {

class Doscan : public NodesFixture {
protected:
    int lives(const std::string& id)
    {
        const int k = firstRecord(id);
        return k < 0 ? -1 : list()[k].lives;
    }
    int firstRecord(const std::string& id)
    {
        for (std::size_t k = 0; k < list().size(); ++k)
            if (list()[k].id == id)
                return static_cast<int>(k);
        return -1;
    }
    bool listed(const std::string& id)
    {
        shell::NodeTree::Handle h;
        bool found = false;
        shell::NodeInList(id, h, found);
        return found;
    }
};

TEST_F(Doscan, DoesNothingWhileJobIntakeIsStopped)
{
    bus.plug(nodeId(0x10, 1), 0x10);
    shell::jobQueue().TimeoutJobQue();
    bool more = true;
    shell::Doscan(more);
    EXPECT_FALSE(more);
    EXPECT_EQ(bus.steps, 0);
    EXPECT_TRUE(host.light.empty());
    EXPECT_TRUE(list().empty());
}

TEST_F(Doscan, AKnownNodeIsRenewedEveryPass)
{
    const std::string id = nodeId(0x2D, 1);
    bus.plug(id, 0x2D);
    bool more = false;
    shell::Doscan(more);
    EXPECT_TRUE(more);
    EXPECT_EQ(lives(id), 4);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(host.light, (std::vector<bool>{true, false}));
    shell::Doscan(more);  // the end of the search
    EXPECT_FALSE(more);
    EXPECT_EQ(lives(id), 3);
    for (int tick = 0; tick < 5; ++tick)
        EXPECT_EQ(tickScan(), 2);
    EXPECT_EQ(lives(id), 3);
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(Doscan, AMissingNodeGoesAtTheEndOfTheThirdMissedPass)
{
    const std::string id = nodeId(0x10, 1), stays = nodeId(0x23, 2);
    bus.plug(id, 0x10);
    bus.plug(stays, 0x23);
    tickScan();
    ASSERT_TRUE(listed(id));
    bus.unplug(id);
    tickScan();
    EXPECT_TRUE(listed(id));
    EXPECT_EQ(lives(id), 2);
    tickScan();
    EXPECT_TRUE(listed(id));
    EXPECT_EQ(lives(id), 1);
    EXPECT_EQ(host.beeps, 2);
    const int steps = tickScan();
    EXPECT_FALSE(listed(id));
    EXPECT_EQ(firstRecord(id), -1);
    EXPECT_EQ(host.beeps, 3);
    // The removal runs another pass in the same tick: 2 + 2 steps.
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(lives(stays), 3);
    EXPECT_EQ(shell::collectDeferred(), 1);

    // Put back, it reappears as a new node.
    bus.plug(id, 0x10);
    tickScan();
    EXPECT_TRUE(listed(id));
    EXPECT_EQ(host.beeps, 4);
}

TEST_F(Doscan, RecordsOutOfLivesGoOnePerPassEnd)
{
    const std::string a = nodeId(0x2D, 1), b = nodeId(0x2D, 2);
    add(a, 0x2D);
    add(b, 0x2D);
    list()[0].lives = 1;
    list()[1].lives = 3;
    EXPECT_EQ(tickScan(), 2);
    EXPECT_FALSE(listed(a));
    EXPECT_EQ(lives(b), 1);
    EXPECT_EQ(tickScan(), 2);
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(host.beeps, 2);
}

TEST_F(Doscan, TheSwitchRecordGoesWithItsNode)
{
    const std::string id = nodeId(0x12, 1);
    bus.plug(id, 0x12);
    tickScan();
    ASSERT_EQ(list().size(), 2u);
    bus.unplug(id);
    for (int i = 0; i < 3; ++i)
        tickScan();
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
}

TEST_F(Doscan, AVisibleThermometerIsReadOncePerPass)
{
    const std::string id = nodeId(0x10, 1);
    bus.plug(id, 0x10);
    tickScan();
    EXPECT_EQ(bus.temperatureReads, 0);  // new, its window not shown yet
    window(0)->reqShow();
    tickScan();
    tickScan();
    EXPECT_EQ(bus.temperatureReads, 2);
    EXPECT_EQ(window(0)->readings, 2);
    EXPECT_DOUBLE_EQ(window(0)->lastCelsius, 21.5);
    window(0)->visible = false;
    tickScan();
    EXPECT_EQ(bus.temperatureReads, 2);
}

TEST_F(Doscan, NodesFoundThroughTheAmplifierNeverAge)
{
    device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;
    bus.amplifier = true;
    const std::string id = nodeId(0x2D, 1);
    bus.plug(id, 0x2D);
    tickScan();
    bus.unplug(id);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(tickScan(), 1);
    EXPECT_EQ(lives(id), 4);
    // The hourglass was on for each step and is off again.
    EXPECT_FALSE(shell::jobQueue().HourGlass());
}

TEST_F(Doscan, AStepWhoseSearchDidNotRunEndsThePass)
{
    add(nodeId(0x2D, 1), 0x2D);
    bus.sessionFails = true;
    EXPECT_EQ(tickScan(), 1);
    EXPECT_EQ(list()[0].lives, 4);
}

TEST_F(Doscan, AnErrorInEveryStepIsReportedOnceAndEndsThePass)
{
    bus.throwText = "bus exploded";
    for (int tick = 0; tick < 3; ++tick)
        EXPECT_EQ(tickScan(), 1);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Error in Sub 'Doscan'\r\n\r\nError: bus exploded");
    bus.throwText = "another fault";
    tickScan();
    EXPECT_EQ(box.shown.size(), 2u);
}

TEST_F(Doscan, ANodeWhoseWindowCannotBeMadeIsNotListedAndTheScanGoesOn)
{
    const std::string bad = nodeId(0x10, 1), good = nodeId(0x2D, 2);
    bus.plug(bad, 0x10);
    bus.plug(good, 0x2D);
    factory.failKind = "TemperatureF";
    tickScan();  // ends at the failing node
    tickScan();  // carries on from there
    EXPECT_FALSE(listed(bad));
    EXPECT_TRUE(listed(good));
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(list().size(), 1u);
}

TEST_F(Doscan, NodesDroppedWhileANewNodeIsReadAreAddedAgainWithoutAMessage)
{
    const std::string known = nodeId(0x10, 1), fresh = nodeId(0x2D, 2);
    bus.plug(known, 0x10);
    tickScan();
    bus.plug(fresh, 0x2D);
    // F5 while the new memory is being read.
    factory.duringRead = [] { shell::removeAllTransducers(); };
    tickScan();
    EXPECT_TRUE(list().empty());
    EXPECT_TRUE(tree().empty());
    EXPECT_TRUE(box.shown.empty());
    factory.duringRead = nullptr;
    tickScan();
    tickScan();
    EXPECT_TRUE(listed(known));
    EXPECT_TRUE(listed(fresh));
    EXPECT_EQ(shell::collectDeferred(), factory.counters.created - 2);
}

TEST_F(Doscan, TheTickScansThenRunsTheJobsAndDropsThoseOfRemovedWindows)
{
    auto& q = shell::jobQueue();
    bool scanning = true;
    q.isScanning = [&] { return scanning; };
    shell::jobQueue().scanStep = shell::scanOneStep;
    const std::string id = nodeId(0x10, 1);
    bus.plug(id, 0x10);
    q.tick();
    ASSERT_EQ(list().size(), 1u);
    EXPECT_EQ(bus.steps, 2);

    // A job queued for the node's window, then the node ages out within a tick.
    FakeWindow* w = window(0);
    list()[0].lives = 1;
    bus.unplug(id);
    q.Insert_In_JobQue(*w, 3, 0LL);
    q.tick();
    EXPECT_TRUE(list().empty());
    EXPECT_EQ(factory.counters.jobs, 0);
    // Destroyed only once the tick is over.
    EXPECT_EQ(factory.counters.destroyed, 0);
    EXPECT_EQ(shell::collectDeferred(), 1);
    EXPECT_EQ(factory.counters.destroyed, 1);
    q.isScanning = nullptr;
    q.scanStep = nullptr;
}

TEST_F(Doscan, AWindowRemovedDuringATickIsKeptUntilTheTickEnds)
{
    struct Remover final : shell::JobTarget {
        void DoJob() override
        {
            shell::Remove_transducer(id);
            // The window is not destroyed while the tick runs.
            kept = shell::collectDeferred() == 0 && shell::deferredCount() == 1;
        }
        std::string name() const override { return "Remover"; }
        std::string id;
        bool kept = false;
    } remover;
    remover.id = nodeId(0x2D, 1);
    add(remover.id, 0x2D);
    auto& q = shell::jobQueue();
    q.Insert_In_JobQue(remover, 1);
    q.Insert_In_JobQue(*window(0), 2);  // queued behind: dropped
    q.tick();
    EXPECT_TRUE(remover.kept);
    EXPECT_EQ(factory.counters.jobs, 0);
    EXPECT_NE(std::find_if(trace.lines.begin(), trace.lines.end(),
                           [](const std::string& l) { return l.rfind("dropped job, object gone:TedsF", 0) == 0; }),
              trace.lines.end());
    EXPECT_EQ(shell::collectDeferred(), 1);
}

} // namespace
