#include "app/nodewiring.h"
#include "core/base/corestate.h"
#include "shell/state/shelllayer.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "core/base/trace.h"
#include "core/tdl/tdlstate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodelist.h"
#include "shell/nodes/windowgraveyard.h"
#include "shell/nodewindows/notsupportedf.h"
#include "shell/nodewindows/temperaturef.h"
#include "tests/kit/memoryselector.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/kit/minimaltedsf.h"
#include "tests/kit/scriptedmessagebox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// A library of one template: manufacturer id in bits 0..13 selects it.
void oneTemplate(int manufacturer, int utidt = 2)
{
    core::resetTdlState();
    auto& lib = core::tdlState();
    lib.Templates.resize(2);
    auto& t = lib.Templates[0];
    t.name = "Test bridge";
    t.UTIDT = utidt;
    t.lengthBits = 64;
    t.fieldLast = 1;
    t.fields[0].title = "Manufacturer ID";
    t.fields[0].bitAddress = 0;
    t.fields[0].bitCount = 14;
    t.fields[1].title = "Model number";
    t.fields[1].bitAddress = 14;
    t.fields[1].bitCount = 15;
    t.manufacturerField = 0;
    t.selectorLast = 0;
    t.selectors[0] = {0, 14, manufacturer};
    lib.TemplateLast = 0;
    lib.TemplateParseLast = 0;
}

core::TedsBuf memory(std::vector<std::uint8_t> bytes, int status)
{
    core::TedsBuf tb;
    tb.dimension(static_cast<int>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        tb.Bytes[i + 1] = bytes[i];
    core::BytesToBits(tb);
    tb.Status = status;
    return tb;
}

class MinimalWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
    MinimalWindows()
    {
        oneTemplate(43);
        shell::setMemoryReader([this](core::TedsBuf& tb) {
            ++reads;
            const std::string id = tb.id;
            const int family = tb.Family;
            tb = content;
            tb.id = id;
            tb.Family = family;
        });
    }
    ~MinimalWindows() override
    {
        // The node windows go while the factory and the hooks are still there.
        shell::resetNodesState();
        shell::collectDeferred();
        shell::setMemoryReader({});
    }

    std::string add(int family, const std::string& id)
    {
        shell::NodeTree::Handle index = 0;
        shell::New_Transducer("New node", id, family, index);
        return id;
    }
    shell::TrRecord& rec(int k) { return shell::nodesState().TrList.at(k); }

    testing_support::FreshState<shell::resetShellLayer> fresh;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scopedBox{box};
    core::TedsBuf content;
    int reads = 0;
    shell::MinimalNodeWindowFactory windows;
    app::NodeWiring wiring{{.windows = &windows, .driverNodes = nullptr, .collect = [](int) {}}};
};

// 2B 80: manufacturer 43 in bits 0..13.
const std::vector<std::uint8_t> kTeds = {0x2B, 0x80, 0x2D, 0x21, 0x04, 0xA1, 0x86, 0x01};

TEST_F(MinimalWindows, MemoryStatesAsTheNodeListShowsThem)
{
    struct Case {
        const char* label;
        std::vector<std::uint8_t> bytes;
        int status;
        int manufacturer;  // of the library's template
        const char* text;
        int selector;
        const char* top;
    };
    const std::vector<Case> cases = {
        {"TEDS", kTeds, core::TedsStatusReadOk, 43, "TEDS", 43, "Test bridge"},
        {"no template", kTeds, core::TedsStatusReadOk, 44, "memory not assigned", -1, "New node"},
        {"CRC error", kTeds, core::TedsStatusCrcError, 43, "CRC error", 43, "New node"},
        {"CRC error, no template", kTeds, core::TedsStatusCrcError, 44, "memory not assigned", -1, "New node"},
        {"node list", {0x01, 0x00, 0x01}, core::TedsStatusReadOk, 43, "Nodelist", 1, "New node"},
        {"virgin", {0xFF, 0xFF}, core::TedsStatusVirgin, 43, "memory not assigned", -1, "New node"},
        {"not read", {}, core::TedsStatusNotRead, 43, "memory not assigned", -1, "New node"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        shell::resetNodesState();
        oneTemplate(c.manufacturer);
        content = memory(c.bytes, c.status);
        const std::string id = add(0x23, "0100000000000023");
        const auto idNode = shell::nodesState().tree.findKey("id" + id);
        const auto recNode = shell::nodesState().tree.children(idNode)[0];
        EXPECT_EQ(shell::nodesState().tree.node(recNode).text, c.text);
        EXPECT_EQ(rec(0).selector, c.selector);
        EXPECT_EQ(shell::GetTRName(id), c.top);
    }
}

TEST_F(MinimalWindows, OnlyASelectorBeyondEveryManufacturerIdIsReportedAndReadsUnknown)
{
    // Manufacturer ids take 14 bits and run to 16381.
    struct Case {
        int manufacturer;
        std::uint8_t low, high;  // the id, least significant byte first
        const char* text;
        bool told;
    };
    for (const Case c : {Case{4097, 0x01, 0x10, "TEDS", false}, Case{5000, 0x88, 0x13, "TEDS", false},
                         Case{16381, 0xFD, 0x3F, "TEDS", false}, Case{16382, 0xFE, 0x3F, "Unknown TEDS selector", true}}) {
        SCOPED_TRACE(c.manufacturer);
        shell::resetNodesState();
        box.clear();
        oneTemplate(c.manufacturer);
        content = memory({c.low, c.high, 0, 0, 0, 0, 0, 0}, core::TedsStatusReadOk);
        add(0x14, "0200000000000014");
        EXPECT_EQ(rec(0).selector, c.manufacturer);
        EXPECT_EQ(shell::nodesState().tree.node(shell::nodesState().tree.allNodes()[2]).text, c.text);
        EXPECT_EQ(box.prompts(), c.told ? std::vector<std::string>{"TEDS selector type not known : 16382"}
                                        : std::vector<std::string>{});
    }
}

TEST_F(MinimalWindows, AMemoryReadOnceIsNotReadAgain)
{
    content = memory(kTeds, core::TedsStatusReadOk);
    add(0x2D, "0300000000000012");
    EXPECT_EQ(reads, 1);
    rec(0).obj->Inititiate(0);
    EXPECT_EQ(reads, 1);
    content = memory(kTeds, core::TedsStatusCrcError);
    shell::resetNodesState();
    add(0x2D, "0300000000000012");
    rec(0).obj->Inititiate(0);
    EXPECT_EQ(reads, 3);
}

TEST_F(MinimalWindows, NodeListIdsComeFromTheMemoryWithoutTheOwnNode)
{
    // Two entries in bus order (family code first): 10 01 .. A7, and the node's own id.
    std::vector<std::uint8_t> bytes = {0x01, 0x00, 0x03,
                                       0x10, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xA7,
                                       0x23, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04};
    content = memory(bytes, core::TedsStatusReadOk);
    add(0x23, "0400000000000123");
    auto* w = static_cast<shell::MinimalTedsF*>(rec(0).obj.get());
    shell::nodesState().Node_list = {"stale"};
    w->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list, (std::vector<std::string>{"A706050403020110"}));
    EXPECT_TRUE(box.shown.empty());

    // A count that runs past the memory stops at its end.
    bytes[2] = 40;
    content = memory(bytes, core::TedsStatusReadOk);
    shell::resetNodesState();
    add(0x23, "0400000000000123");
    static_cast<shell::MinimalTedsF*>(rec(0).obj.get())->MakeNodeListfrombuf();
    EXPECT_EQ(shell::nodesState().Node_list.size(), 1u);

    // A memory that is no node list, or one with a CRC error, gives the message.
    for (int status : {int(core::TedsStatusReadOk), int(core::TedsStatusCrcError)}) {
        content = memory(status == core::TedsStatusReadOk ? kTeds : bytes, status);
        shell::resetNodesState();
        add(0x23, "0400000000000123");
        box.clear();
        static_cast<shell::MinimalTedsF*>(rec(0).obj.get())->MakeNodeListfrombuf();
        EXPECT_TRUE(shell::nodesState().Node_list.empty());
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].prompt, "Error in Nodelist - TEDS form");
    }
}

TEST_F(MinimalWindows, FunctionWindowsShowTheirNode)
{
    add(0x28, "0500000000000028");
    auto* ns = static_cast<shell::Not_SupportedF*>(rec(0).obj.get());
    EXPECT_EQ(ns->FamilyCodeLabel->text(), "Family code h28");
    ns->Inititiate(0);
    EXPECT_EQ(ns->FamilyCodeLabel->text(), "Family code h28 not supported");
    EXPECT_EQ(ns->Label2->text(), "For this microLAN family you can only read the node ID.");
    EXPECT_EQ(ns->NodeID->text(), "0500000000000028");
    EXPECT_EQ(ns->windowTitle(), "Tedsmith - Not supported");
    EXPECT_FALSE(ns->Visible());
    ns->reqShow();
    EXPECT_TRUE(ns->Visible());

    add(0x10, "0600000000000010");
    auto* th = static_cast<shell::TemperatureF*>(rec(1).obj.get());
    EXPECT_EQ(th->LblTemp_C->text(), QString::fromUtf8("- \u00b0C"));
    th->Inititiate(1);
    EXPECT_EQ(th->Info1->text(), "New node");
    th->showTemperature(25.0, 77.0);
    EXPECT_EQ(th->LblTemp_C->text(), QString::fromUtf8("25.0\u00b0C"));
    EXPECT_EQ(th->LblTemp_F->text(), QString::fromUtf8("77.0\u00b0F"));

    // Unknown jobs answer with the window's own message; removal hides the window.
    th->DoJob();
    ns->DoJob();
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt, "No such job in TemperatureF");
    EXPECT_EQ(box.shown[1].prompt, "No such job in Not_SupportedF");
    shell::Remove_transducer("0500000000000028");
    EXPECT_FALSE(ns->Visible());
    EXPECT_EQ(shell::collectDeferred(), 1);
}

TEST(MemorySelector, TemplateRulesAndTheNodeListFallback)
{
    oneTemplate(43);
    auto tb = memory(kTeds, core::TedsStatusReadOk);
    auto m = shell::findMemorySelector(tb);
    EXPECT_TRUE(m.found);
    EXPECT_EQ(m.selector, 43);
    EXPECT_EQ(m.title, "Test bridge");
    // A TEDS in the older layout does not match a template of the newer one.
    tb.DraftLayout = true;
    EXPECT_FALSE(shell::findMemorySelector(tb).found);
    oneTemplate(43, 1);
    EXPECT_TRUE(shell::findMemorySelector(tb).found);
    // A template longer than the memory does not match.
    core::tdlState().Templates[0].lengthBits = 65;
    EXPECT_FALSE(shell::findMemorySelector(tb).found);
    // Without a library only a node list is recognised.
    core::resetTdlState();
    EXPECT_FALSE(shell::findMemorySelector(tb).found);
    m = shell::findMemorySelector(memory({0x01, 0xF0}, core::TedsStatusReadOk));
    EXPECT_TRUE(m.found);
    EXPECT_EQ(m.selector, 1);
}

} // namespace
