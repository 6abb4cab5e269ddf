// TEDS changes that were neither written nor saved, on every way a user or a request can
// lose them, through the real main window and TEDS windows on the shipped demo network: a
// value typed and not left, several nodes dropped at once or one after the other, a node that
// leaves the network and comes back, the shared window's File and Tools replacements, the
// kept window's own File and Template menus, the end of the program (File > "Exit", the close
// box, a save that does not happen) and the request server's quiet mode.

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/resetallstate.h"
#include "platform/base/scopedhook.h"
#include "tests/shell/mainwindow/mainffixture.h"

#include "app/amplifierwindowhost.h"
#include "app/serverbridge.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/requestclient.h"

#include "core/base/settings.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "core/teds/memoryfile.h"
#include "device/drivers/driverstate.h"
#include "editor/tedswindow/editornodewindowfactory.h"
#include "editor/tedswindow/editorstate.h"
#include "editor/tedswindow/tedsf.h"
#include "editor/tedswindow/tedsmenus.h"
#include "shell/jobs/jobqueue.h"
#include "shell/nodes/nodehost.h"
#include "tests/kit/minimalnodewindowfactory.h"
#include "tests/support/scripteddialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidgetItemIterator>

namespace {

const std::string kBridge1k = "190000005CA6572D";  // bridge sensor TEDS on a DS2431
const std::string kAccel = "A900000091E4D223";     // accelerometer TEDS on a DS2433

struct Neighbours final : editor::StandInTedsNeighbours {
    void fileMenu(int item, editor::TedsF& w) override { editor::runFileMenu(item, w); }
    bool runTemplateDialog(int mode, editor::TedsF& owner) override
    {
        dialogs.push_back(mode);
        if (mode == 0 && createTemplate >= 0)
            return owner.doc.GetNewTemplate(createTemplate);
        return false;
    }
    std::vector<int> dialogs;
    int createTemplate = -1;
};

struct Quiet final : core::MessageSuppressor {
    bool suppressing() override { return on; }
    void addLog(const std::string& text) override { log.push_back(text); }
    bool on = true;
    std::vector<std::string> log;
};

class KeptEdits : public mainf_test::MainFTestOf<app::resetAllState> {
protected:
    KeptEdits()
    {
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        // As the program wires the main window's File, Tools and end.
        menus.actions[shell::MenuWindow::OpenTedsFile] = [this] {
            auto& w = windows.shared();
            w.Open_file(w, true);
        };
        menus.actions[shell::MenuWindow::CreateEmptyTeds] = [this] {
            auto& w = windows.shared();
            w.CreateNewTEDS(w, "Not assigned", true);
        };
        main->mayEnd = [this] { return windows.mayEndProgram(); };
        std::string error;
        EXPECT_TRUE(network()->loadFile(testing_support::dataDir() / "demo-network.txt", error)) << error;
    }
    ~KeptEdits() override
    {
        core::setMessageSuppressor(nullptr);
        shell::jobQueue().reset();
        shell::releaseAllNodes();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        windows.releaseShared();
    }

    void activate()
    {
        formLoad();
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        main->mnuIF_p_Com[1]->trigger();
        main->mnuIF_p_Driver[shell::kDriverDemo]->trigger();
        main->MnuSetupIF[0]->trigger();
    }
    QTreeWidgetItem* tedsItem(const std::string& id)
    {
        for (int n = 0; n < 20; ++n) {
            for (QTreeWidgetItemIterator it(main->TRTreeView); *it; ++it)
                if ((*it)->text(0).contains(QString::fromStdString(id)) && (*it)->childCount() == 1 &&
                    (*it)->child(0)->text(0) == "TEDS")
                    return (*it)->child(0);
            tick();
        }
        return nullptr;
    }
    // The node's TEDS window, opened from the tree.
    editor::TedsF* open(const std::string& id)
    {
        QTreeWidgetItem* item = tedsItem(id);
        if (!item)
            return nullptr;
        QTreeWidget* tree = main->TRTreeView;
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        tick();
        const int k = shell::NodeIndexFromId(id);
        auto* w = k < 0 ? nullptr : dynamic_cast<editor::TedsF*>(shell::record(k)->obj.get());
        return w && w->isVisible() ? w : nullptr;
    }
    static int rowOf(const editor::TedsF& w, const std::string& caption)
    {
        for (int k = 0; k < editor::kRowCount; ++k)
            if (w.doc.rows[static_cast<std::size_t>(k)].visible && w.doc.rows[static_cast<std::size_t>(k)].caption == caption)
                return k;
        return -1;
    }
    // Types text into the row's box; leave: the box loses the focus afterwards.
    static void type(editor::TedsF& w, const std::string& caption, const std::string& text, bool leave = true)
    {
        if (w.menus.mnuTemplate[editor::TemplateReadOnly].checked)
            w.mnuTemplate[editor::TemplateReadOnly]->trigger();
        const int k = rowOf(w, caption);
        ASSERT_GE(k, 0) << caption;
        QLineEdit* box = w.Col2[k];
        ASSERT_FALSE(box->isReadOnly()) << caption;
        box->selectAll();
        QTest::keyClicks(box, QString::fromStdString(text));
        if (leave) {
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(box, &out);
        }
    }
    static std::string value(const editor::TedsF& w, const std::string& caption)
    {
        const int k = rowOf(w, caption);
        return k < 0 ? "<no row>" : w.doc.rows[static_cast<std::size_t>(k)].value;
    }
    // The kept windows that hold value in row caption.
    std::vector<editor::TedsF*> keptWith(const std::string& caption, const std::string& v)
    {
        std::vector<editor::TedsF*> out;
        for (const auto& w : windows.keptWindows())
            if (w && w->keptOrphan && value(*w, caption) == v)
                out.push_back(w.get());
        return out;
    }
    void pressF5()
    {
        main->Form_KeyDown(116, 0);
        shell::collectDeferred();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> questions() const
    {
        std::vector<std::string> out;
        for (const auto& s : box.shown)
            if ((s.buttons & 7) == platform::MsgYesNoCancel)
                out.push_back(s.prompt);
        return out;
    }
    // The shared window with a TEDS read from the shipped file and one value typed.
    editor::TedsF& sharedWithEdit(const std::string& serial)
    {
        files.choose(testing_support::dataDir() / "demo-bridge.tds");
        main->mnufile_Click(0);
        editor::TedsF& w = windows.shared();
        type(w, "Serial number", serial);
        return w;
    }

    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory windows{others};
    app::KeptWindowHook windowsKept{windows};
    Neighbours neighbours;
    testing_support::ScriptedFileDialogs files;
    // The TEDS windows in place of the fixture's plain ones, the drivers seeing the node list.
    platform::ScopedHook<shell::NodeWindowFactory*> windowsHook{&shell::setNodeWindowFactory, &windows, &factory};
    platform::ScopedHook<device::DriverNodeList*> driverNodes{&device::setDriverNodeList, &shell::driverNodeList()};
    app::EditorWiring editorWiring{{.neighbours = &neighbours}};
};

TEST_F(KeptEdits, AValueTypedAndNotLeftSurvivesTheDrop)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711", /*leave=*/false);
    pressF5();
    const auto kept = keptWith("Serial number", "4711");
    ASSERT_EQ(kept.size(), 1u) << "typed text lost";
    EXPECT_TRUE(kept[0]->isVisible());
    EXPECT_EQ(kept[0]->Col2[rowOf(*kept[0], "Serial number")]->text().toStdString(), "4711");
}

TEST_F(KeptEdits, NodesDroppedTogetherOrInTurnEachKeepAWindowOfTheirOwn)
{
    activate();
    editor::TedsF* a = open(kBridge1k);
    ASSERT_NE(a, nullptr);
    type(*a, "Serial number", "4711");
    editor::TedsF* b = open(kAccel);
    ASSERT_NE(b, nullptr);
    type(*b, "Serial number", "4712");
    pressF5();
    ASSERT_EQ(keptWith("Serial number", "4711").size(), 1u);
    ASSERT_EQ(keptWith("Serial number", "4712").size(), 1u);
    EXPECT_TRUE(keptWith("Serial number", "4711")[0]->isVisible());
    EXPECT_TRUE(keptWith("Serial number", "4712")[0]->isVisible());

    // The node is back: edited and dropped again, twice; the first kept window is closed with
    // Cancel in between (it stays), and nothing replaces what an earlier drop kept.
    for (const std::string serial : {"1111", "2222"}) {
        editor::TedsF* again = open(kBridge1k);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(value(*again, "Serial number"), "0") << "the node's own TEDS";
        type(*again, "Serial number", serial);
        auto first = keptWith("Serial number", "4711");
        ASSERT_EQ(first.size(), 1u);
        box.queue(platform::MsgCancel);
        first[0]->close();
        EXPECT_TRUE(first[0]->isVisible());
        pressF5();
        EXPECT_EQ(keptWith("Serial number", serial).size(), 1u) << serial;
    }
    EXPECT_EQ(keptWith("Serial number", "4711").size(), 1u);
    EXPECT_EQ(keptWith("Serial number", "4712").size(), 1u);
    EXPECT_EQ(keptWith("Serial number", "1111").size(), 1u);
}

TEST_F(KeptEdits, ANodeThatLeavesTheNetworkAndComesBackLeavesItsEditsKept)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711", /*leave=*/false);
    const auto rom = platform::sim::RomCode::fromNodeId(kBridge1k);
    ASSERT_TRUE(rom);
    auto gone = network()->removeNode(*rom);
    ASSERT_NE(gone, nullptr);
    for (int n = 0; n < 10 && shell::NodeIndexFromId(kBridge1k) >= 0; ++n)
        tick();
    shell::collectDeferred();
    ASSERT_LT(shell::NodeIndexFromId(kBridge1k), 0);
    auto kept = keptWith("Serial number", "4711");
    ASSERT_EQ(kept.size(), 1u);

    network()->addNode(gone);
    editor::TedsF* back = open(kBridge1k);
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, kept[0]);
    EXPECT_EQ(value(*back, "Serial number"), "0");
    EXPECT_EQ(keptWith("Serial number", "4711").size(), 1u);
}

TEST_F(KeptEdits, AWrittenEditIsNotKeptAndOneWhoseWriteFailedIs)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711", /*leave=*/false);
    box.clear();
    w->mnuNode[editor::NodeWrite]->trigger();
    shell::jobQueue().runPosted();  // the write job alone: a tick would scan the node back in
    shell::collectDeferred();
    QCoreApplication::processEvents();
    ASSERT_LT(shell::NodeIndexFromId(kBridge1k), 0) << "not written";
    EXPECT_TRUE(keptWith("Serial number", "4711").empty()) << "a written TEDS kept as unwritten";
    for (const auto& p : box.prompts())
        EXPECT_EQ(p.find("dropped"), std::string::npos) << p;

    // The node goes between the edit and the write.
    w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(value(*w, "Serial number"), "4711");
    type(*w, "Serial number", "4712");
    const auto rom = platform::sim::RomCode::fromNodeId(kBridge1k);
    auto gone = network()->removeNode(*rom);
    ASSERT_NE(gone, nullptr);
    box.clear();
    w->mnuNode[editor::NodeWrite]->trigger();
    tick();
    for (int n = 0; n < 10 && shell::NodeIndexFromId(kBridge1k) >= 0; ++n)
        tick();
    shell::collectDeferred();
    QCoreApplication::processEvents();
    EXPECT_EQ(keptWith("Serial number", "4712").size(), 1u);
}

TEST_F(KeptEdits, TextStillInItsBoxCountsForTheQuestions)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711", /*leave=*/false);
    box.clear();
    box.queue(platform::MsgCancel);
    main->mnufile_Click(1);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_TRUE(ended.empty());

    editor::TedsF& s = sharedWithEdit("1");
    type(s, "Serial number", "4712", /*leave=*/false);
    neighbours.createTemplate = 0;
    box.clear();
    box.queue(platform::MsgCancel);
    main->mnuTools_Click(0);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(s.Col2[rowOf(s, "Serial number")]->text().toStdString(), "4712");
}

TEST_F(KeptEdits, AKeptWindowLetGoServesTheNextNodeUnderItsName)
{
    activate();
    editor::TedsF* a = open(kBridge1k);
    ASSERT_NE(a, nullptr);
    type(*a, "Serial number", "4711");
    pressF5();
    auto kept = keptWith("Serial number", "4711");
    ASSERT_EQ(kept.size(), 1u);
    editor::TedsF* k = kept[0];
    EXPECT_NE(k->windowTitle().toStdString().find(kBridge1k), std::string::npos);
    box.clear();
    box.queue(platform::MsgNo);
    k->close();
    EXPECT_FALSE(k->isVisible());

    editor::TedsF* b = open(kAccel);
    ASSERT_NE(b, nullptr);
    type(*b, "Serial number", "4712");
    pressF5();
    kept = keptWith("Serial number", "4712");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0]->windowTitle().toStdString().find(kAccel), std::string::npos)
        << kept[0]->windowTitle().toStdString();
    EXPECT_EQ(kept[0]->doc.TedsBuf.id, kAccel);
    EXPECT_TRUE(kept[0]->isVisible());
}

TEST_F(KeptEdits, FilesReadIntoNodesDroppedTogetherKeepOneWindowEach)
{
    // Unwritten, but read from a file: each still gets a window of its own when its node goes.
    activate();
    for (const std::string& id : {kBridge1k, kAccel}) {
        editor::TedsF* w = open(id);
        ASSERT_NE(w, nullptr);
        files.choose(testing_support::dataDir() / "demo-bridge.tds");
        w->mnuFile_Click(0);
        ASSERT_TRUE(w->hasUnwrittenChanges()) << id;
    }
    pressF5();
    std::vector<std::string> from;
    for (const auto& k : windows.keptWindows())
        if (k->isVisible())
            from.push_back(k->windowTitle().toStdString());
    ASSERT_EQ(from.size(), 2u) << "the message says each TEDS is kept in a window of its own";
    EXPECT_NE(from[0], from[1]);
}

TEST_F(KeptEdits, TheSharedWindowAsksBeforeFileOrCreateReplacesItsTeds)
{
    activate();
    editor::TedsF& w = sharedWithEdit("4711");
    ASSERT_EQ(value(w, "Serial number"), "4711");
    neighbours.createTemplate = 0;

    // Cancel: nothing opens, nothing changes.
    const auto dialogsBefore = files.requests.size();
    box.clear();
    box.queue(platform::MsgCancel);
    main->mnufile_Click(0);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(files.requests.size(), dialogsBefore);
    EXPECT_EQ(value(w, "Serial number"), "4711");

    box.clear();
    box.queue(platform::MsgCancel);
    main->mnuTools_Click(0);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_TRUE(neighbours.dialogs.empty());
    EXPECT_EQ(value(w, "Serial number"), "4711");

    // Yes, then the save dialog cancelled: as Cancel.
    box.clear();
    box.queue(platform::MsgYes);
    files.cancel();
    main->mnuTools_Click(0);
    EXPECT_TRUE(neighbours.dialogs.empty());
    EXPECT_EQ(value(w, "Serial number"), "4711");

    // Yes, then a save that fails (no such folder): as Cancel.
    box.clear();
    box.queue(platform::MsgYes);
    files.choose(dir / "no-such-folder" / "x.tds");
    main->mnuTools_Click(0);
    EXPECT_TRUE(neighbours.dialogs.empty());
    EXPECT_EQ(value(w, "Serial number"), "4711");
}

TEST_F(KeptEdits, TheKeptWindowsOwnMenusAskBeforeTheyReplaceIt)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711");
    pressF5();
    auto kept = keptWith("Serial number", "4711");
    ASSERT_EQ(kept.size(), 1u);
    editor::TedsF& k = *kept[0];

    const auto dialogsBefore = files.requests.size();
    box.clear();
    box.queue(platform::MsgCancel);
    k.mnuFile_Click(0);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(files.requests.size(), dialogsBefore);
    EXPECT_EQ(value(k, "Serial number"), "4711");

    neighbours.createTemplate = 0;
    box.clear();
    box.queue(platform::MsgCancel);
    k.mnuTemplate_Click(editor::TemplateNew);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(value(k, "Serial number"), "4711");
    EXPECT_TRUE(k.keptOrphan);
}

TEST_F(KeptEdits, TheEndAsksAndASaveThatDoesNotHappenKeepsTheProgram)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711");
    pressF5();
    ASSERT_EQ(keptWith("Serial number", "4711").size(), 1u);

    box.clear();
    box.queue(platform::MsgCancel);
    main->mnufile_Click(1);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_TRUE(ended.empty());

    // The close box; Yes, then the save dialog cancelled.
    box.clear();
    box.queue(platform::MsgYes);
    files.cancel();
    main->close();
    EXPECT_TRUE(ended.empty());
    EXPECT_EQ(keptWith("Serial number", "4711").size(), 1u);

    // Yes and a file: saved, then ended.
    box.clear();
    box.queue(platform::MsgYes);
    files.choose(dir / "kept.tds");
    main->mnufile_Click(1);
    ASSERT_EQ(ended.size(), 1u);
    core::TedsBuf saved;
    ASSERT_TRUE(core::LoadMemoryFile(saved, dir / "kept.tds"));
}

TEST_F(KeptEdits, QuietModeKeepsEverything)
{
    activate();
    editor::TedsF* w = open(kBridge1k);
    ASSERT_NE(w, nullptr);
    type(*w, "Serial number", "4711");
    Quiet quiet;
    core::setMessageSuppressor(&quiet);
    pressF5();
    ASSERT_EQ(keptWith("Serial number", "4711").size(), 1u);

    editor::TedsF& s = sharedWithEdit("4712");
    ASSERT_EQ(value(s, "Serial number"), "4712");
    neighbours.createTemplate = 0;
    main->mnuTools_Click(0);
    main->mnufile_Click(0);
    EXPECT_EQ(value(s, "Serial number"), "4712");
    main->mnufile_Click(1);
    EXPECT_TRUE(ended.empty());
    EXPECT_EQ(keptWith("Serial number", "4711").size(), 1u);
}

// The program's request server in front of the main window, serving a working directory.
class KeptEditsServed : public KeptEdits {
protected:
    KeptEditsServed()
    {
        setting("T-block workdir", work.path().string() + "/");
        setting("T-block server enabled", "1");
        setting("T-block server EditorVisible", "1");
        setting("T-block pooltime", "0.1");
    }
    ~KeptEditsServed() override { shell::setRequestServerWindow(&server); }

    // One request, served to its end (the ack file gone).
    bool serve(const std::vector<std::string>& lines)
    {
        client.send(testing_support::RequestClient::requestText(lines));
        return client.waitForAnswer(std::chrono::seconds(30), [this] {
            if (ended.empty()) {
                bridge->engine().ServerTimer_Timer();
                tick();
            }
        });
    }
    // The unwritten edit of a node that the next request's rescan drops.
    void editBridgeSensor()
    {
        activate();
        editor::TedsF* w = open(kBridge1k);
        ASSERT_NE(w, nullptr);
        type(*w, "Serial number", "4711");
        bridge = std::make_unique<app::ServerBridge>([this] { return main.get(); }, windows, amplifier);
        bridge->show();
    }

    testing_support::TempDir work;
    testing_support::RequestClient client{work.path()};
    app::AmplifierWindowHost amplifier;
    std::unique_ptr<app::ServerBridge> bridge;
};

TEST_F(KeptEditsServed, ARequestsRescanKeepsTheEditAndExitDoesNotThrowItAway)
{
    editBridgeSensor();
    ASSERT_TRUE(serve({"FAMILY 35", "LISTFULLTEDS"}));
    QCoreApplication::processEvents();
    ASSERT_EQ(keptWith("Serial number", "4711").size(), 1u);

    ASSERT_TRUE(serve({"EXIT"}));
    EXPECT_TRUE(ended.empty()) << "the program ended with a TEDS whose changes were neither written nor saved";
    EXPECT_EQ(keptWith("Serial number", "4711").size(), 1u);
    EXPECT_NE(bridge->engine().status.find("EXIT"), std::string::npos)
        << "the activity log does not say why the program goes on:\n" << bridge->engine().status;

    // Once the TEDS is saved, EXIT ends the program.
    files.choose(dir / "kept.tds");
    ASSERT_TRUE(keptWith("Serial number", "4711")[0]->SaveTedsFile());
    ASSERT_TRUE(serve({"EXIT"}));
    EXPECT_EQ(ended.size(), 1u);
}

TEST_F(KeptEditsServed, RequestsLeaveTheSharedWindowsEditAlone)
{
    editBridgeSensor();
    editor::TedsF& s = sharedWithEdit("4712");
    ASSERT_EQ(value(s, "Serial number"), "4712");
    ASSERT_TRUE(serve({"FAMILY 35", "DELETE_MEMORY"}));
    ASSERT_TRUE(serve({"FAMILY 35", "UTID 919106", "%SerialNumber=\"1\"", "WRITETEDS"}));
    EXPECT_EQ(value(s, "Serial number"), "4712") << bridge->engine().status;
    EXPECT_EQ(s.Col2[rowOf(s, "Serial number")]->text().toStdString(), "4712");
}

TEST_F(KeptEditsServed, ClosingTheServerWindowOverAHiddenMainWindowAsksFirst)
{
    editBridgeSensor();
    bridge->window().EditorVisible->click();
    ASSERT_FALSE(main->isVisible());
    box.clear();
    box.queue(platform::MsgCancel);
    bridge->window().close();
    EXPECT_FALSE(questions().empty()) << "nothing asked";
    EXPECT_TRUE(ended.empty()) << "the program ended with a TEDS whose changes were neither written nor saved";
    if (ended.empty())
        EXPECT_TRUE(main->isVisible() || bridge->window().isVisible()) << "the program goes on without a window";

    box.clear();
    box.queue(platform::MsgNo);
    if (!bridge->window().isVisible())
        main->close();
    else
        bridge->window().close();
    EXPECT_EQ(ended.size(), 1u);
}

} // namespace
