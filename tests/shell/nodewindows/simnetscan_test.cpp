// The node scan with its real windows and drivers against the simulated network,
// through the TMEX layer, on virtual time.

#include "app/nodewiring.h"
#include "device/drivers/driverstate.h"
#include "core/base/corestate.h"
#include "tests/support/qtapp.h"
#include "core/base/message.h"
#include "core/base/textfile.h"
#include "core/base/trace.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "core/teds/tedsbuf.h"
#include "device/base/devicestate.h"
#include "device/memimage/tedspacking.h"
#include "device/onewire/onewirestate.h"
#include "platform/base/clock.h"
#include "platform/base/messagebox.h"
#include "sim/onewire/simbackend.h"
#include "sim/onewire/simnode.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/doscan.h"
#include "shell/nodes/nodehost.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodetree/nodetreeview.h"
#include "shell/nodes/windowgraveyard.h"
#include "shell/nodewindows/notsupportedf.h"
#include "shell/nodewindows/temperaturef.h"
#include "shell/state/shelllayer.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/freshstate.h"
#include "shell/nodes/nodehost.h"
#include "tests/support/simadapter.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using platform::sim::RomCode;

class Host final : public shell::StandInNodeHost {
public:
    bool ds9097uDriverChecked() override { return ds9097u; }
    void beep() override { ++beeps; }
    bool ds9097u = false;
    int beeps = 0;
};

// The shipped templates are not needed: two small ones recognise a basic TEDS of
// manufacturer 43 in either layout.
void testTemplates()
{
    core::resetTdlState();
    auto& lib = core::tdlState();
    lib.Templates.resize(3);
    for (int i = 0; i < 2; ++i) {
        auto& t = lib.Templates[i];
        t.name = i == 0 ? "Test bridge" : "Test bridge P1451";
        t.UTIDT = i == 0 ? 2 : 0;
        t.lengthBits = 64;
        t.fieldLast = 0;
        t.fields[0].title = "Manufacturer ID";
        t.fields[0].bitCount = 14;
        t.selectorLast = 0;
        t.selectors[0] = {0, 14, 43};
    }
    lib.TemplateLast = 1;
    lib.TemplateParseLast = 1;
}

// "memory" statements of a description text holding these TEDS bytes.
std::string memoryStatements(int family, const std::vector<std::uint8_t>& teds)
{
    core::TedsBuf tb;
    tb.Family = family;
    device::Set_Usable_Bytes(tb);
    tb.dimension(tb.Size, 0xFF);
    for (std::size_t i = 0; i < teds.size() && static_cast<int>(i) < tb.Size; ++i)
        tb.Bytes[i + 1] = teds[i];
    core::BytesToBits(tb);
    device::MemImage mi;
    device::Build_MemImage(tb, mi);
    std::string out;
    for (int a = 0; a < mi.byteCount(); a += 32) {
        char head[16];
        std::snprintf(head, sizeof head, "memory %03X", a);
        out += head;
        for (int i = a; i < a + 32 && i < mi.byteCount(); ++i)
            out += " " + core::ByteToHex2(mi.Data[static_cast<std::size_t>(i + 1)]);
        out += "\n";
    }
    return out;
}

std::string romText(const RomCode& rom)
{
    std::string s = core::ByteToHex2(rom.family()) + ":";
    for (int i = 6; i >= 1; --i)
        s += core::ByteToHex2(rom.bytes[static_cast<std::size_t>(i)]);
    return s;
}

class SimNetScan : public ::testing::Test, protected testing_support::VirtualServices {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
    SimNetScan() : VirtualServices(false)
    {
        net->setTranscriptLimit(2000);
        testing_support::plugSimulatedAdapter(net);
        testTemplates();
        shell::jobQueue().StartJobQue();
        view.attach(&widget);
    }
    ~SimNetScan() override
    {
        // The node windows go while the hooks are still there.
        shell::jobQueue().reset();
        shell::resetNodesState();
        shell::collectDeferred();
    }

    void load(const std::string& description)
    {
        std::string error;
        ASSERT_TRUE(net->loadDescription(description, testing_support::dataDir(), error)) << error;
    }
    // One node of each family, the memories holding a basic TEDS only.
    void loadDemo()
    {
        const auto text = testing_support::readAll(testing_support::fixturesDir() / "shell" / "basic-network.txt");
        load(text);
    }

    shell::NodeTree& tree() { return shell::nodesState().tree; }
    std::vector<shell::TrRecord>& list() { return shell::nodesState().TrList; }
    bool listed(const std::string& id)
    {
        shell::NodeTree::Handle h;
        bool found = false;
        shell::NodeInList(id, h, found);
        return found;
    }
    shell::NodeTree::Handle idNode(const std::string& id) { return tree().findKey("id" + id); }
    std::string text(shell::NodeTree::Handle h) { return tree().node(h).text; }
    std::vector<std::string> recordTexts(const std::string& id)
    {
        std::vector<std::string> out;
        for (auto c : tree().children(idNode(id)))
            out.push_back(text(c));
        return out;
    }
    std::string top(const std::string& id) { return shell::GetTRName(id); }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    std::shared_ptr<platform::sim::SimNetwork> net = std::make_shared<platform::sim::SimNetwork>();
    Host host;
    QTreeWidget widget;
    shell::NodeTreeView view;
    shell::MinimalNodeWindowFactory windows;
    app::NodeWiring wiring{{.windows = &windows,
                            .host = &host,
                            .collect = [](int) {},
                            .isScanning = [] { return true; },
                            .scanStep = shell::scanOneStep}};
};

const char* kThermo = "D50000080C1A2210";
const char* kSwitch = "BA0000003B7A0112";
const char* kApp = "48000001A2B3C414";
const char* k4k = "A900000091E4D223";
const char* k1k = "6B0000005C6D7E2D";
const char* kSerial = "2B0000000A0B0C01";
const char* kBridge1k = "190000005CA6572D";  // the shipped demo's rewritable bridge sensor

TEST_F(SimNetScan, EveryFamilyAppearsWithItsTexts)
{
    loadDemo();
    shell::jobQueue().tick();

    EXPECT_EQ(list().size(), 7u);
    EXPECT_EQ(host.beeps, 6);
    EXPECT_EQ(recordTexts(kThermo), (std::vector<std::string>{"Thermometer"}));
    EXPECT_EQ(text(idNode(kThermo)), std::string("Thermometer (") + kThermo + ")");
    EXPECT_EQ(recordTexts(kSwitch), (std::vector<std::string>{"TEDS", "Switch"}));
    EXPECT_EQ(text(idNode(kSwitch)), std::string("Switch & PROM (") + kSwitch + ")");
    EXPECT_EQ(recordTexts(kApp), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(text(idNode(kApp)), std::string("PROM & E2-PROM Memory (") + kApp + ")");
    EXPECT_EQ(recordTexts(k4k), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(recordTexts(k1k), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(text(idNode(k1k)), std::string("E2-PROM Memory (") + k1k + ")");
    EXPECT_EQ(recordTexts(kSerial), (std::vector<std::string>{""}));
    EXPECT_EQ(top(k4k), "Test bridge");
    EXPECT_EQ(top(kApp), "Test bridge P1451");
    EXPECT_EQ(top(kThermo), "New node");
    EXPECT_EQ(top(kSerial), "New node");
    EXPECT_EQ(widget.topLevelItemCount(), 6);
    EXPECT_TRUE(box.shown.empty());

    // Another tick finds nothing new.
    shell::jobQueue().tick();
    EXPECT_EQ(list().size(), 7u);
    EXPECT_EQ(host.beeps, 6);
}

TEST_F(SimNetScan, TheShippedDemoNetworkWithTheShippedTemplates)
{
    core::resetTdlState();
    core::coreState().ProgramFolder = testing_support::dataDir();
    core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
    try {
        core::ParseTemplateFile("IEEE_Templates.tdl");
    } catch (const core::ProgramEnd&) {
        FAIL() << (box.shown.empty() ? std::string("ended") : box.shown.back().prompt);
    }
    ASSERT_GT(core::TemplatesLoaded(), 0);
    load(testing_support::readAll(testing_support::dataDir() / "demo-network.txt"));
    shell::jobQueue().tick();

    EXPECT_EQ(top(kSwitch), "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range");
    EXPECT_EQ(recordTexts(kSwitch), (std::vector<std::string>{"TEDS", "Switch"}));
    // The same bridge sensor TEDS on a 1-kbit EEPROM: a transducer of its own.
    EXPECT_EQ(top(kBridge1k), "IEEE 1451.4 Bridge sensor, acceleration m/s\xB2, Single range");
    EXPECT_EQ(recordTexts(kBridge1k), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(recordTexts(kApp), (std::vector<std::string>{"memory not assigned"}));
    // The 1-kbit node lists the accelerometer TEDS and the thermometer: one transducer.
    EXPECT_EQ(recordTexts(k1k), (std::vector<std::string>{"Nodelist"}));
    EXPECT_EQ(recordTexts(k4k), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(top(k4k), "IEEE 1451.4 Accelerometer");
    EXPECT_EQ(top(k1k), "IEEE 1451.4 Accelerometer");
    EXPECT_EQ(top(kThermo), "IEEE 1451.4 Accelerometer");
    EXPECT_EQ(widget.topLevelItemCount(), 5);
    EXPECT_TRUE(box.shown.empty());
    core::resetListsState();
}

TEST_F(SimNetScan, AVisibleThermometerShowsItsReading)
{
    loadDemo();
    shell::jobQueue().tick();
    auto* w = static_cast<shell::TemperatureF*>(list()[shell::NodeIndexFromId(kThermo)].obj.get());
    w->Inititiate(shell::NodeIndexFromId(kThermo));
    w->reqShow();
    shell::jobQueue().tick();
    EXPECT_EQ(w->LblTemp_C->text(), QString::fromUtf8("23.5\u00b0C"));
    EXPECT_EQ(w->LblTemp_F->text(), QString::fromUtf8("74.3\u00b0F"));
}

TEST_F(SimNetScan, ANodeUnpluggedAgesOutAndComesBack)
{
    loadDemo();
    shell::jobQueue().tick();
    const auto rom = *RomCode::fromNodeId(k1k);
    QPointer<QWidget> window = dynamic_cast<QWidget*>(list()[shell::NodeIndexFromId(k1k)].obj.get());
    auto node = net->removeNode(rom);
    ASSERT_TRUE(node);
    const int beeps = host.beeps;
    shell::jobQueue().tick();
    shell::collectDeferred();
    EXPECT_TRUE(listed(k1k));
    shell::jobQueue().tick();
    EXPECT_TRUE(listed(k1k));
    shell::jobQueue().tick();
    EXPECT_FALSE(listed(k1k));
    EXPECT_EQ(host.beeps, beeps + 1);
    EXPECT_EQ(list().size(), 6u);
    EXPECT_TRUE(window);
    shell::collectDeferred();
    EXPECT_FALSE(window);

    net->addNode(node);
    shell::jobQueue().tick();
    EXPECT_TRUE(listed(k1k));
    EXPECT_EQ(recordTexts(k1k), (std::vector<std::string>{"TEDS"}));
    EXPECT_EQ(host.beeps, beeps + 2);
}

TEST_F(SimNetScan, ATransducerWithANodeListIsGroupedAndRegroups)
{
    const RomCode listRom = RomCode::make(0x2D, 0x51), bridge = RomCode::make(0x23, 0x52),
                  thermo = RomCode::make(0x10, 0x53);
    std::vector<std::uint8_t> nodeList = {0x01, 0x00, 0x03};
    for (const RomCode* r : {&bridge, &thermo})
        nodeList.insert(nodeList.end(), r->bytes.begin(), r->bytes.end());
    const std::vector<std::uint8_t> teds = {0x2B, 0x80, 0x2D, 0x21, 0x04, 0xA1, 0x86, 0x01};
    load("node " + romText(listRom) + "\n" + memoryStatements(0x2D, nodeList) + "node " + romText(bridge) + "\n" +
         memoryStatements(0x23, teds) + "node " + romText(thermo) + "\n");
    shell::jobQueue().tick();

    ASSERT_EQ(tree().roots().size(), 1u);
    const auto group = tree().roots()[0];
    EXPECT_EQ(text(group), "Test bridge");
    EXPECT_EQ(tree().children(group).size(), 3u);
    EXPECT_EQ(recordTexts(listRom.nodeId()), (std::vector<std::string>{"Nodelist"}));
    EXPECT_EQ(widget.topLevelItemCount(), 1);
    EXPECT_EQ(widget.topLevelItem(0)->childCount(), 3);

    // One member gone: the whole group goes, the others come back on their own.
    auto node = net->removeNode(thermo);
    for (int i = 0; i < 3; ++i)
        shell::jobQueue().tick();
    EXPECT_FALSE(listed(thermo.nodeId()));
    EXPECT_EQ(tree().roots().size(), 2u);
    EXPECT_EQ(top(listRom.nodeId()), "New node");
    EXPECT_EQ(top(bridge.nodeId()), "Test bridge");

    net->addNode(node);
    shell::jobQueue().tick();
    ASSERT_EQ(tree().roots().size(), 1u);
    EXPECT_EQ(text(tree().roots()[0]), "Test bridge");
}

TEST_F(SimNetScan, TheAdapterIdChipStaysCollapsed)
{
    host.ds9097u = true;
    const RomCode chip = RomCode::make(0x09, 0x61);
    load("node " + romText(chip) + "\n");
    shell::jobQueue().tick();
    EXPECT_EQ(top(chip.nodeId()), "Dallas DS9097/U");
    EXPECT_EQ(recordTexts(chip.nodeId()), (std::vector<std::string>{"programming not supported"}));
    EXPECT_FALSE(widget.topLevelItem(0)->isExpanded());
    EXPECT_EQ(core::coreState().AdapterId9097U, chip.nodeId());
}

TEST_F(SimNetScan, WithJobIntakeStoppedNoDeviceIsTouched)
{
    loadDemo();
    net->clearTranscript();
    shell::jobQueue().TimeoutJobQue();
    shell::jobQueue().tick();
    shell::scanUntilPassEnds();
    EXPECT_TRUE(net->transcript().empty());
    EXPECT_TRUE(list().empty());
}

} // namespace
