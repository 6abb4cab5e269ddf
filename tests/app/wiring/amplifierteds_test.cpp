// A channel click in the amplifier window as the program wires it, on virtual time: the
// simulated chain's channel networks scanned through the amplifier, the TEDS windows
// decoding with the shipped library, the sensitivity taken from the TEDS document and
// written into the simulated channel.

#include "app/keptwindowhook.h"
#include "app/amplifierwindowhost.h"
#include "app/documentfields.h"

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/model/peloxmodel.h"
#include "amplifier/peloxf/peloxf.h"
#include "app/nodewiring.h"
#include "app/resetallstate.h"
#include "core/base/corestate.h"
#include "core/base/trace.h"
#include "core/codecs/sinumber.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "device/amplink/peloxtransport.h"
#include "device/base/devicestate.h"
#include "device/drivers/driverstate.h"
#include "device/onewire/onewirestate.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "platform/qt/cp1252.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "sim/amplifier/amplifierchain.h"
#include "sim/serial/memoryserialport.h"
#include "tests/app/wiring/freshprogram.h"
#include "tests/kit/memorytrace.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/kit/scriptedmessagebox.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class AmplifierTeds : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }

    AmplifierTeds()
    {
        wiringtest::freshProgramWithShippedLibrary();
        shell::jobQueue().StartJobQue();

        const fs::path dir = testing_support::fixturesDir() / "amplifier";
        platform::sim::AmplifierSimConfig c;
        std::string error;
        EXPECT_TRUE(platform::sim::parseAmplifierSimConfig(testing_support::readAll(dir / "chain.txt"), dir, c, error))
            << error;
        chain = std::make_unique<platform::sim::AmplifierChain>(c);
        EXPECT_TRUE(chain->loadNetworks(error)) << error;
        port.attach(chain.get());
        EXPECT_TRUE(port.setPortOpen(true));
        device::setPeloxPort(&port);
        device::deviceState().InterfaceType = device::InterfaceType::AmplifierLink;

        shell::setAmplifierWindow(&host);
        shell::amplifierWindow().show();
        runJobs();
    }
    ~AmplifierTeds() override
    {
        shell::amplifierWindow().unload();
        shell::setAmplifierWindow(nullptr);
        // The node windows go while the factory and the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        factory.releaseShared();
        device::setPeloxPort(nullptr);
        app::resetAllState();
    }

    amplifier::PeloxF& window() { return *host.window(); }
    void runJobs()
    {
        auto& q = shell::jobQueue();
        for (int n = 0; q.JobQueLast() >= 0 && n < 50; ++n)
            q.tick();
    }
    // Clicks the tree item whose text begins with prefix, then lets the jobs run.
    void clickChannel(const std::string& prefix)
    {
        heardBefore = chain->lines().size();
        QTreeWidget* tree = window().PeloxTreeView;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->text(0).startsWith(QString::fromStdString(prefix))) {
                emit tree->itemClicked(*it, 0);
                runJobs();
                return;
            }
        FAIL() << "no tree item " << prefix;
    }
    Lines heard() const { return Lines(chain->lines().begin() + static_cast<long>(heardBefore), chain->lines().end()); }
    std::string label(QLabel* l) const { return platform::toCp1252(l->text()); }

    platform::VirtualClock clock;
    platform::ScopedClock scopedClock{clock};
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    core::MemoryTrace trace;
    core::ScopedTrace scopedTrace{trace, false};
    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory factory{others};
    app::KeptWindowHook factoryKept{factory};
    app::NodeWiring wiring{{.windows = &factory, .collect = [](int) {}}};
    app::DocumentFields fields;
    app::AmplifierWindowHost host;
    std::unique_ptr<platform::sim::AmplifierChain> chain;
    platform::MemorySerialPort port;
    std::size_t heardBefore = 0;
};

TEST_F(AmplifierTeds, PlugAndPlayClickWritesTheTedsSensitivityIntoTheChannel)
{
    window().mnuMode[0]->trigger();
    clickChannel("3: ");
    ASSERT_EQ(shell::TrLast(), 0);
    const auto* teds = dynamic_cast<editor::TedsF*>(shell::record(0)->obj.get());
    ASSERT_NE(teds, nullptr);
    double sens = 0;
    std::string unit;
    ASSERT_TRUE(const_cast<editor::TedsF*>(teds)->doc.GetParam(sens, unit));

    const std::string shown = core::FormatSiNumber(sens, "0.00p", false, 0);
    EXPECT_EQ(label(window().TSensitivity), shown + " " + unit);
    EXPECT_EQ(label(window().TedsTitle), amplifier::shortTedsTitle(teds->doc.Title));
    EXPECT_FALSE(label(window().TedsTitle).empty());
    const Lines h = heard();
    const auto write = std::find_if(h.begin(), h.end(), [](const std::string& l) { return l.rfind("I_C_3:T_S ", 0) == 0; });
    ASSERT_NE(write, h.end());
    EXPECT_EQ(Lines(write + 1, h.end()), (Lines{"I_C_3:T_S?", "MLAN OFF"}));
    // The value as displayed, with the mapped unit; the channel took it.
    const auto& ch = chain->amplifier(1).channel(3);
    EXPECT_EQ(*write, "I_C_3:T_S " + ch.sensitivity + ch.unit);
    EXPECT_DOUBLE_EQ(std::stod(ch.sensitivity), core::ParseSiNumber(shown));
    EXPECT_EQ(ch.unit, amplifier::peloxUnitOf(unit));
    EXPECT_EQ(platform::toCp1252(window().Sensitivity->text()), shown);
    EXPECT_TRUE(window().ShowTheTEDS->isEnabled());
    EXPECT_TRUE(box.shown.empty());

    // Edit TEDS shows the node's TEDS window.
    window().ShowTheTEDS->click();
    EXPECT_TRUE(teds->isVisible());

    // The switch window's sensitivity reaches the channel through the registered window.
    heardBefore = chain->lines().size();
    shell::amplifierWindow().setTsens(0.0102, "V/PA");
    shell::amplifierWindow().TsensToPelox(false);
    runJobs();
    EXPECT_EQ(label(window().TSensitivity), "10.20m V/PA");
    EXPECT_EQ(heard(), (Lines{"I_C_3:T_S 0.0102V/PA", "I_C_3:T_S?", "MLAN OFF"}));
}

TEST_F(AmplifierTeds, SingleNodeChannelInManualModeAndAnEmptyChannel)
{
    ASSERT_EQ(window().PeloxTreeView->topLevelItemCount(), 2);
    clickChannel("1: Microphone");
    EXPECT_FALSE(device::deviceState().AmpAddressing);  // firmware 1.2.16
    ASSERT_EQ(shell::TrLast(), 1);                      // the memory and the switch of a 12h node
    auto* teds = dynamic_cast<editor::TedsF*>(shell::record(0)->obj.get());
    ASSERT_NE(teds, nullptr);
    EXPECT_EQ(label(window().TedsTitle), amplifier::shortTedsTitle(teds->doc.Title));
    // A bridge TEDS states no sensitivity: there is nothing to write.
    double sens = 0;
    std::string unit;
    EXPECT_FALSE(teds->doc.GetParam(sens, unit));
    EXPECT_EQ(label(window().TSensitivity), "unknown");
    EXPECT_TRUE(window().ShowTheTEDS->isEnabled());
    EXPECT_FALSE(window().Tsens2Pelox->isEnabled());
    // Manual mode: shown; only the master is released.
    Lines h = heard();
    EXPECT_EQ(h.back(), "MLAN OFF");
    for (const auto& l : h)
        EXPECT_EQ(l.find(":T_S"), std::string::npos) << l;

    window().mnuMode[0]->trigger();
    clickChannel("1: Coravex");
    EXPECT_EQ(shell::TrLast(), -1);
    EXPECT_EQ(label(window().TSensitivity), "unknown");
    EXPECT_FALSE(window().ShowTheTEDS->isEnabled());
    h = heard();
    EXPECT_NE(h.back(), "MLAN OFF");
    for (const auto& l : h)
        EXPECT_EQ(l.find(":T_S"), std::string::npos) << l;
}

} // namespace

namespace {

TEST(ShippedDemoChain, CarriesTransducerNetworksOnTwoChannels)
{
    const fs::path file = testing_support::dataDir() / "demo-amplifier-chain.txt";
    platform::sim::AmplifierSimConfig c;
    std::string error;
    ASSERT_TRUE(platform::sim::parseAmplifierSimConfig(testing_support::readAll(file), file.parent_path(), c, error))
        << error;
    platform::sim::AmplifierChain chain(c);
    ASSERT_TRUE(chain.loadNetworks(error)) << error;
    EXPECT_EQ(chain.amplifier(1).channel(1).network().nodes().size(), 1u);
    EXPECT_EQ(chain.amplifier(1).channel(2).network().nodes().size(), 1u);
    EXPECT_TRUE(chain.amplifier(1).channel(3).network().nodes().empty());
}

} // namespace
