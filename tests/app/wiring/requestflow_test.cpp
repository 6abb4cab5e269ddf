// The request flow on virtual time: one search pass per request of every kind, the node
// table after nodes came and went, drops, server switches and poll changes in the middle
// of a request, every poll time in Scanning mode, a long pass, back-to-back requests, the
// other modes and the amplifier link. Every request is answered once, with its own answer.

#include "tests/app/wiring/requestflowfixture.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace requestflow;

const char* kNetwork = R"(
node 23:00000091E4D2
node 2D:0000005CA657
node 10:0000080C1A22
node 14:000001A2B3C4
)";

// The marks of one request: its poll tick turns the poll off, its end turns it back on.
struct Marks {
    int passEndsAtStart = -1;
    int passEndsAtEnd = -1;
    int romsAtStart = -1;
    int romsAtEnd = -1;
    std::set<std::string> listedAtEnd;
    bool open = false;
};

void watch(Flow& f, Marks& m)
{
    f.host.onPollChange = [&f, &m] {
        const bool on = f.engine.ServerTimerEnabled;
        if (!on && !m.open && f.client.ackPresent()) {
            m.open = true;
            m.passEndsAtStart = f.counting->passEnds;
            m.romsAtStart = searchRomCount(*f.net);
        } else if (on && m.open && !f.client.ackPresent()) {
            m.open = false;
            m.passEndsAtEnd = f.counting->passEnds;
            m.romsAtEnd = searchRomCount(*f.net);
            m.listedAtEnd = f.listedIds();
        }
    };
}

// Memory reads per node (Match ROM of the node, then Read Memory F0h) from transcript entry from on.
std::map<std::string, int> readsPerNode(const platform::sim::SimNetwork& net, std::size_t from)
{
    std::map<std::string, int> reads;
    const auto& t = net.transcript();
    using platform::sim::BusEvent;
    for (std::size_t i = from; i + 10 < t.size(); ++i) {
        if (t[i].kind != BusEvent::Reset || t[i + 1].kind != BusEvent::Byte || t[i + 1].written != 0x55)
            continue;
        platform::sim::RomCode rom;
        bool bytes = true;
        for (std::size_t k = 0; k < 8; ++k) {
            bytes = bytes && t[i + 2 + k].kind == BusEvent::Byte;
            rom.bytes[k] = static_cast<std::uint8_t>(t[i + 2 + k].written);
        }
        if (bytes && t[i + 10].kind == BusEvent::Byte && t[i + 10].written == 0xF0)
            ++reads[rom.nodeId()];
    }
    return reads;
}

// Search ROM commands of one pass over the whole network from an empty node list.
int romsOfOnePass(Flow& f)
{
    shell::removeAllTransducers();
    const int before = searchRomCount(*f.net);
    const int passes = f.counting->passEnds;
    shell::scanUntilPassEnds();
    EXPECT_EQ(f.counting->passEnds, passes + 1);
    return searchRomCount(*f.net) - before;
}

struct Kind {
    const char* name;
    std::vector<std::string> lines;
    bool readsItsNode = false;  // the command reads its node once more (LISTFULLTEDS)
};

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> all = {
        {"READTEDS", {"REQUESTDATETIME k1", "NODEID " + platform::sim::RomCode::make(0x23, 0x91E4D2).nodeId(), "READTEDS"}},
        {"READTEDS alone", {"REQUESTDATETIME k2", "READTEDS"}},
        {"LISTFULLTEDS", {"REQUESTDATETIME k3", "FAMILY 35", "LISTFULLTEDS"}, true},
        {"WRITETEDS", {"REQUESTDATETIME k4", "FAMILY 45", "WRITETEDS"}},
        {"LISTNODELIST", {"REQUESTDATETIME k5", "CLEARNODELIST", "ADDNODES", "LISTNODELIST"}},
        {"READNODES WRITENODELIST", {"REQUESTDATETIME k6", "VERSION V0.9X", "READNODES", "WRITENODELIST"}},
        {"SHOWNODELIST", {"REQUESTDATETIME k7", "NODE DS2433", "SHOWNODELIST"}},
        {"no command", {"REQUESTDATETIME k8", "FAMILY 20"}},
    };
    return all;
}

// (mode, job 1 is the node-list generator's UpdateNodes)
class RequestPasses : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// Every kind of request in every mode: one search pass between its poll tick and its end,
// as many Search ROM commands as that one pass needs, and the node table then holds
// exactly the nodes on the network.
TEST_P(RequestPasses, EveryKindSearchesTheNetworkOnce)
{
    const int mode = std::get<0>(GetParam());
    Flow f(kNetwork);
    if (std::get<1>(GetParam()))
        f.useNodeListGenerator();
    ASSERT_TRUE(f.activate());
    f.setMode(mode);
    std::size_t from = f.net->transcript().size();
    const int onePass = romsOfOnePass(f);
    const auto readsOfOnePass = readsPerNode(*f.net, from);
    ASSERT_GT(onePass, 0);
    ASSERT_EQ(readsOfOnePass.size(), 3u) << "three memory nodes";
    // What reading one node costs in Search ROM commands (its presence proof).
    from = f.net->transcript().size();
    const int romsBefore = searchRomCount(*f.net);
    std::int32_t state = 0;
    int ds2433 = 0;
    while (ds2433 <= shell::TrLast() && shell::record(ds2433)->family != 0x23)
        ++ds2433;
    ASSERT_LE(ds2433, shell::TrLast());
    shell::record(ds2433)->obj->Inititiate(ds2433, state);
    const int romsOfOneRead = searchRomCount(*f.net) - romsBefore;
    f.enableServer("1.0");
    for (const Kind& k : kinds()) {
        Marks m;
        watch(f, m);
        from = f.net->transcript().size();
        ASSERT_TRUE(f.request(k.lines)) << k.name;
        EXPECT_EQ(m.passEndsAtEnd - m.passEndsAtStart, 1) << k.name << " in mode " << mode;
        EXPECT_EQ(m.romsAtEnd - m.romsAtStart, onePass + (k.readsItsNode ? romsOfOneRead : 0))
            << k.name << " in mode " << mode;
        auto reads = readsPerNode(*f.net, from);
        int extra = 0;
        for (auto& [id, n] : reads) {
            EXPECT_LE(n, k.readsItsNode ? 2 : 1) << k.name << ": node " << id << " read " << n << " times";
            extra += n - 1;
        }
        EXPECT_EQ(extra, k.readsItsNode ? 1 : 0) << k.name;
        EXPECT_EQ(reads.size(), readsOfOnePass.size()) << k.name;
        EXPECT_EQ(m.listedAtEnd, f.networkIds()) << k.name;
        f.runFor(1500ms);
    }
    EXPECT_EQ(f.runsEnded(), static_cast<int>(kinds().size()));
}

INSTANTIATE_TEST_SUITE_P(Modes, RequestPasses,
                         ::testing::Combine(::testing::Values(shell::kModePaused, shell::kModeScanning, shell::kModeAnalog),
                                            ::testing::Bool()));

TEST(RequestFlow, TheNodeTableFollowsNodesThatCameAndWentBetweenRequests)
{
    Flow f(kNetwork);
    ASSERT_TRUE(f.activate());
    f.enableServer("0.5");
    Marks m;
    watch(f, m);
    ASSERT_TRUE(f.request({"REQUESTDATETIME a", "FAMILY 45", "LISTFULLTEDS"}));
    EXPECT_EQ(m.listedAtEnd, f.networkIds());
    EXPECT_EQ(f.host.listings, 1);

    auto gone = f.net->removeNode(platform::sim::RomCode::make(0x2D, 0x5CA657));
    ASSERT_TRUE(gone);
    ASSERT_TRUE(f.request({"REQUESTDATETIME b", "FAMILY 45", "LISTFULLTEDS"}));
    EXPECT_EQ(m.listedAtEnd, f.networkIds()) << "a node that left stays listed";
    EXPECT_EQ(f.host.listings, 1) << "the node that left was listed";
    EXPECT_NE(f.client.response().value_or("").find("Device specified not found"), std::string::npos);

    f.net->addNode(gone);
    f.net->addNode(platform::sim::makeNode(platform::sim::RomCode::make(0x23, 0x777777)));
    ASSERT_TRUE(f.request({"REQUESTDATETIME c", "FAMILY 45", "LISTFULLTEDS"}));
    EXPECT_EQ(m.listedAtEnd, f.networkIds()) << "a node that came is missing";
    EXPECT_EQ(f.host.listings, 2);
    ASSERT_TRUE(f.request({"REQUESTDATETIME d", "FAMILY 35", "LISTFULLTEDS"}));
    EXPECT_NE(f.client.response().value_or("").find("More than one device found"), std::string::npos);
}

// F5 (every node dropped) pressed while the request's own pass runs: the request still
// runs on a complete node table.
TEST(RequestFlow, ADropInTheMiddleOfTheRequestsPassIsMadeGood)
{
    Flow f(kNetwork);
    ASSERT_TRUE(f.activate());
    f.setMode(shell::kModePaused);
    f.enableServer("1.0");
    for (int step = 1; step <= 5; ++step) {
        Marks m;
        watch(f, m);
        int requestStep = -1;
        f.counting->onStep = [&](int s) {
            if (m.open && requestStep < 0)
                requestStep = s;
            if (m.open && s == requestStep + step - 1)
                f.timers.singleShot(0ms, [&] { f.main->Form_KeyDown(116, 0); });
        };
        ASSERT_TRUE(f.request({"REQUESTDATETIME f5-" + std::to_string(step), "FAMILY 45", "LISTFULLTEDS"}));
        f.counting->onStep = nullptr;
        EXPECT_EQ(m.listedAtEnd, f.networkIds()) << "F5 at step " << step << " of the request's pass";
        EXPECT_EQ(f.host.listings, step) << "F5 at step " << step;
    }
}

// The server switched off and on, and the poll time changed, while a request runs (in its
// pass, in its write): the request runs once, nothing is written twice, and the node
// table is not dropped under the running request.
TEST(RequestFlow, SwitchesAndPollChangesDuringARequestRunItOnce)
{
    struct Case {
        const char* name;
        std::function<void(Flow&)> act;
    };
    const std::vector<Case> cases = {
        {"off and on", [](Flow& f) { f.engine.T_block_Server_Click(0); f.engine.T_block_Server_Click(1); }},
        {"on again", [](Flow& f) { f.engine.T_block_Server_Click(1); }},
        {"poll 0.1", [](Flow& f) { f.engine.PoolTime_Change("0.1"); f.engine.PoolTime_Commit(); }},
        {"poll 2.0 typed", [](Flow& f) { f.engine.PoolTime_Change("2.0"); }},
    };
    for (const Case& c : cases) {
        for (const bool inWrite : {false, true}) {
            Flow f(kNetwork);
            ASSERT_TRUE(f.activate());
            f.enableServer("0.1");
            f.host.writeTime = 600ms;
            bool nodesDuringWrite = true;
            bool acted = false;
            f.counting->onStep = [&](int) {
                if (!inWrite && !acted && f.client.ackPresent() && !f.engine.ServerTimerEnabled) {
                    acted = true;
                    f.timers.singleShot(0ms, [&] { c.act(f); });
                }
            };
            f.host.onWrite = [&] {
                if (inWrite && !acted) {
                    acted = true;
                    f.timers.singleShot(10ms, [&] { c.act(f); });
                    f.timers.singleShot(300ms, [&] { nodesDuringWrite = shell::TrLast() >= 0; });
                }
            };
            const int before = f.host.writes;
            f.client.send(RequestClient::requestText({"REQUESTDATETIME " + std::string(c.name), "FAMILY 45",
                                                      "WRITETEDS"}));
            ASSERT_TRUE(f.waitAnswer(20s)) << c.name << (inWrite ? " in the write" : " in the pass");
            f.runFor(5s);
            EXPECT_TRUE(acted) << c.name;
            EXPECT_EQ(f.host.writes, before + 1) << c.name << (inWrite ? " in the write" : " in the pass");
            EXPECT_EQ(f.runsEnded(), 1) << c.name << (inWrite ? " in the write" : " in the pass");
            EXPECT_TRUE(nodesDuringWrite) << c.name << ": the node table was dropped during the write";
            EXPECT_FALSE(f.client.ackPresent());
            const auto res = f.client.response().value_or("");
            EXPECT_NE(res.find("OK"), std::string::npos) << c.name << "\n" << res;
            EXPECT_TRUE(f.engine.ServerTimerEnabled) << c.name << ": the poll did not come back";
        }
    }
}

// A listing switches the poll back on before the request has ended; a
// slow write after it must not start the same request again.
TEST(RequestFlow, AListingThenASlowWriteRunsTheRequestOnce)
{
    Flow f(kNetwork);
    ASSERT_TRUE(f.activate());
    f.enableServer("0.1");
    f.host.writeTime = 900ms;
    ASSERT_TRUE(f.request({"REQUESTDATETIME lw", "FAMILY 35", "LISTFULLTEDS", "FAMILY 45", "WRITETEDS"}, 20s));
    f.runFor(5s);
    EXPECT_EQ(f.host.listings, 1);
    EXPECT_EQ(f.host.writes, 1);
    EXPECT_EQ(f.runsEnded(), 1);
}

// Scanning mode, every poll time, the ack made at many phases against both timers: each
// request is answered within one poll period plus the time of its work.
TEST(RequestFlow, ScanningModeAnswersAtEveryPollTimeAndPhase)
{
    int metATick = 0;
    for (const char* poll : {"0.1", "0.2", "0.5", "0.9", "1.0", "1.1", "1.5", "2.0", "65.5"}) {
        Flow f(kNetwork, 10ms);  // a tick's pass takes a while
        ASSERT_TRUE(f.activate());
        f.enableServer(poll);
        const int pollMs = f.engine.pollIntervalMs;
        int n = 0;
        for (const int phase : {0, 1, 5, 250, 499, 500, 501, 990, 999, 1000, 1003}) {
            f.runFor(std::chrono::milliseconds(phase));
            const long sentAt = static_cast<long>(f.clock.elapsed().count() / 1000);
            ++n;
            ASSERT_TRUE(f.request({"REQUESTDATETIME p" + std::to_string(n), "FAMILY 35", "LISTFULLTEDS"},
                                  std::chrono::milliseconds(pollMs + 10000)))
                << "poll " << poll << " phase " << phase;
            const long took = static_cast<long>(f.clock.elapsed().count() / 1000) - sentAt;
            EXPECT_LE(took, pollMs + 3000) << "poll " << poll << " phase " << phase;
            EXPECT_NE(f.client.response().value_or("").find("Requestdatetime p" + std::to_string(n)),
                      std::string::npos)
                << "poll " << poll << " phase " << phase;
            if (pollMs > 10000 && n >= 3)
                break;
        }
        EXPECT_EQ(f.runsEnded(), n) << poll;
        metATick += f.pollsMetATick;
    }
    EXPECT_GT(metATick, 0) << "no poll ever met a running tick: the case is not tried";
}

// A request arriving while a long pass of the Scanning mode runs (many nodes).
TEST(RequestFlow, ARequestDuringALongPassIsAnsweredAfterOnePassOfItsOwn)
{
    std::string net = kNetwork;
    for (int i = 1; i <= 120; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "node 01:%012X\n", 0x100000 + i * 7919);
        net += line;
    }
    Flow f(net, 3ms);
    ASSERT_TRUE(f.activate());
    f.enableServer("0.1");
    ASSERT_TRUE(f.timers.runUntil([&] { return f.listedIds() == f.networkIds(); }, 60s));
    for (int i = 0; i < 3; ++i) {
        // The client writes its request in the middle of a tick's pass.
        const int steps = f.counting->steps;
        bool sent = false;
        Marks m;
        watch(f, m);
        f.counting->onStep = [&](int s) {
            if (!sent && shell::jobQueue().ticking() && s > steps + 30 && !m.open) {
                sent = true;
                f.client.send(RequestClient::requestText({"REQUESTDATETIME long" + std::to_string(i), "FAMILY 45",
                                                          "LISTFULLTEDS"}));
            }
        };
        ASSERT_TRUE(f.timers.runUntil([&] { return sent && !f.client.ackPresent(); }, 60s));
        f.counting->onStep = nullptr;
        EXPECT_EQ(m.passEndsAtEnd - m.passEndsAtStart, 1);
        EXPECT_EQ(m.listedAtEnd, f.networkIds());
        EXPECT_NE(f.client.response().value_or("").find("listing"), std::string::npos);
    }
    EXPECT_EQ(f.runsEnded(), 3);
}

// Back to back: the next request is made the moment the ack of the previous one has gone
// (before the program has even returned from that request), at a short and the default poll.
TEST(RequestFlow, BackToBackRequestsAreEachAnsweredOnceWithTheirOwnAnswer)
{
    for (const char* poll : {"0.1", "1.0"}) {
        Flow f(kNetwork);
        ASSERT_TRUE(f.activate());
        f.enableServer(poll);
        constexpr int kRequests = 15;
        int sent = 0;
        std::vector<std::string> answers;
        auto sendNext = [&] {
            ++sent;
            f.client.send(RequestClient::requestText(
                {"REQUESTDATETIME b2b" + std::to_string(sent), sent % 2 ? "FAMILY 35" : "FAMILY 45",
                 sent % 3 ? "LISTFULLTEDS" : "WRITETEDS"}));
        };
        auto onChange = [&] {
            if (sent > 0 && sent < kRequests && !f.client.ackPresent() &&
                answers.size() < static_cast<std::size_t>(sent)) {
                answers.push_back(f.client.response().value_or(""));
                sendNext();
            }
        };
        f.host.onLog = onChange;
        f.host.onPollChange = onChange;
        sendNext();
        ASSERT_TRUE(f.timers.runUntil([&] { return sent == kRequests && !f.client.ackPresent(); }, 120s))
            << poll << ": " << sent << " sent";
        answers.push_back(f.client.response().value_or(""));
        f.runFor(3s);
        ASSERT_EQ(answers.size(), static_cast<std::size_t>(kRequests));
        for (int i = 0; i < kRequests; ++i)
            EXPECT_NE(answers[i].find("Requestdatetime b2b" + std::to_string(i + 1) + "\r\n"), std::string::npos)
                << poll << " request " << i + 1 << ":\n" << answers[i];
        EXPECT_EQ(f.runsEnded(), kRequests) << poll;
        EXPECT_EQ(f.host.writes, kRequests / 3) << poll;
    }
}

// The amplifier link chosen: no job 1; job 6 is the request's one pass.
TEST(RequestFlow, OnTheAmplifierLinkJobSixIsTheOnePass)
{
    Flow f(kNetwork);
    ASSERT_TRUE(f.activate());
    f.host.amplifierLink = true;
    f.enableServer("1.0");
    for (int i = 0; i < 3; ++i) {
        Marks m;
        watch(f, m);
        ASSERT_TRUE(f.request({"REQUESTDATETIME amp" + std::to_string(i), "FAMILY 35", "LISTFULLTEDS"}));
        EXPECT_EQ(m.passEndsAtEnd - m.passEndsAtStart, 1);
        EXPECT_EQ(m.listedAtEnd, f.networkIds());
    }
}

} // namespace

namespace {

// A modal dialog (About, a file dialog) stops job intake while it is open; the poll
// keeps ticking in its event loop. A request that arrives then is answered once the
// dialog has closed; the server does not switch itself off for good.
TEST(RequestFlowIntake, ARequestThatArrivesDuringAModalDialogIsAnsweredAfterIt)
{
    for (const char* poll : {"0.1", "1.0"}) {
        Flow f(kNetwork);
        ASSERT_TRUE(f.activate());
        f.enableServer(poll);
        Marks m;
        watch(f, m);
        bool modalClosed = false;
        f.timers.singleShot(200ms, [&] {
            f.main->runModal([&] {
                f.client.send(RequestClient::requestText({"REQUESTDATETIME modal", "FAMILY 35", "LISTFULLTEDS"}));
                platform::clock().pause(4s);  // the dialog's own event loop
            });
            modalClosed = true;
        });
        ASSERT_TRUE(f.timers.runUntil([&] { return modalClosed; }, 10s));
        EXPECT_TRUE(f.waitAnswer(std::chrono::milliseconds(f.engine.pollIntervalMs + 5000)))
            << poll << ": the request is left hanging after the dialog; log:\n" << f.engine.status;
        EXPECT_EQ(f.runsEnded(), 1) << poll;
        EXPECT_EQ(m.listedAtEnd, f.networkIds()) << poll;
        EXPECT_EQ(f.host.listings, 1) << poll;
        EXPECT_TRUE(f.engine.ServerTimerEnabled) << poll << ": the server switched itself off";
        // And the next one goes as usual.
        ASSERT_TRUE(f.request({"REQUESTDATETIME after", "FAMILY 35", "LISTFULLTEDS"}, 10s)) << poll;
        EXPECT_EQ(f.host.listings, 2) << poll;
    }
}

// The client takes its request back (ack and request file deleted) while the poll that
// saw it waits for a running tick: nothing is carried out and nothing is dropped.
TEST(RequestFlowIntake, ARequestTakenBackWhileItsStartWaitsIsNotRun)
{
    Flow f(kNetwork, 15ms);
    ASSERT_TRUE(f.activate());
    f.enableServer("0.1");
    ASSERT_TRUE(f.timers.runUntil([&] { return f.listedIds() == f.networkIds(); }, 10s));
    bool sent = false, withdrawn = false;
    int steps = 0;
    f.counting->onStep = [&](int) {
        if (!shell::jobQueue().ticking())
            return;
        ++steps;
        if (!sent) {
            sent = true;
            f.client.send(RequestClient::requestText({"REQUESTDATETIME back", "FAMILY 35", "LISTFULLTEDS"}));
        } else if (!withdrawn && f.pollsMetATick > 0) {
            withdrawn = true;
            fs::remove(f.work() / "TEDS_ack.txt");
            fs::remove(f.work() / "TEDS_req.txt");
        }
    };
    const auto before = f.listedIds();
    ASSERT_TRUE(f.timers.runUntil([&] { return withdrawn && !shell::jobQueue().ticking(); }, 10s));
    f.counting->onStep = nullptr;
    f.runFor(3s);
    EXPECT_FALSE(fs::exists(f.work() / "TEDS_res.txt")) << "a response without a request:\n"
                                                        << f.client.response().value_or("");
    EXPECT_EQ(f.host.listings, 0);
    EXPECT_TRUE(f.engine.ServerTimerEnabled);
    EXPECT_EQ(f.listedIds(), before) << "the nodes were dropped for a request that was not there";
}

// The request file goes between the poll tick and the request's run: the client is
// answered (the error) and the poll comes back.
TEST(RequestFlowIntake, ARequestFileThatGoesBeforeTheRunIsAnsweredWithTheError)
{
    Flow f(kNetwork);
    ASSERT_TRUE(f.activate());
    f.enableServer("0.5");
    Marks m;
    watch(f, m);
    bool removed = false;
    f.counting->onStep = [&](int) {
        if (m.open && !removed) {
            removed = true;
            fs::remove(f.work() / "TEDS_req.txt");
        }
    };
    ASSERT_TRUE(f.request({"REQUESTDATETIME gone", "FAMILY 35", "LISTFULLTEDS"}, 10s));
    EXPECT_TRUE(removed);
    EXPECT_TRUE(f.engine.ServerTimerEnabled);
    f.counting->onStep = nullptr;
    ASSERT_TRUE(f.request({"REQUESTDATETIME next", "FAMILY 35", "LISTFULLTEDS"}, 10s));
    EXPECT_NE(f.client.response().value_or("").find("Requestdatetime next"), std::string::npos);
}

} // namespace
