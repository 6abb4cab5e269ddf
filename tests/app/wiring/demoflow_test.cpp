// A new user's first edit on the shipped demo network, through the real main window and
// TEDS windows on virtual time: activate the demo adaptor, click the rewritable bridge
// sensor's TEDS record in the tree, leave read-only mode, type a value, Node > "Write
// node", open the record again once the scan has found the node anew, Node > "Read node":
// the value is still there, and in the node's memory.

#include "app/editorwiring.h"
#include "app/keptwindowhook.h"
#include "app/resetallstate.h"
#include "device/drivers/driverstate.h"
#include "platform/base/scopedhook.h"
#include "tests/editor/tedswindow/tedsfixture.h"
#include "tests/shell/mainwindow/mainffixture.h"

#include "editor/tedswindow/tedsmenus.h"
#include "sim/onewire/simscratcheeprom.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

const std::string kBridge1k = "190000005CA6572D";  // bridge sensor TEDS on a DS2431

class DemoFlow : public mainf_test::MainFTestOf<app::resetAllState> {
protected:
    DemoFlow()
    {
        core::coreState().ProgramFolder = testing_support::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(testing_support::dataDir());
        core::ParseTemplateFile("IEEE_Templates.tdl");
        std::string error;
        EXPECT_TRUE(network()->loadFile(testing_support::dataDir() / "demo-network.txt", error)) << error;
    }
    ~DemoFlow() override
    {
        shell::jobQueue().reset();
        shell::releaseAllNodes();
        shell::collectDeferred();
        shell::destroyDeferredNow();
        windows.releaseShared();
    }

    // Setup > "ComPort" > "Com1", "microLAN driver" > the demo adaptor, "Activate interface".
    void activate()
    {
        formLoad();
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        main->mnuIF_p_Com[1]->trigger();
        main->mnuIF_p_Driver[shell::kDriverDemo]->trigger();
        main->MnuSetupIF[0]->trigger();
    }
    // Runs the main window's timer until the tree shows the record, then clicks it.
    QTreeWidgetItem* tedsItem()
    {
        for (int n = 0; n < 20; ++n) {
            for (QTreeWidgetItemIterator it(main->TRTreeView); *it; ++it)
                if ((*it)->text(0).contains(QString::fromStdString(kBridge1k)) && (*it)->childCount() == 1 &&
                    (*it)->child(0)->text(0) == "TEDS")
                    return (*it)->child(0);
            tick();
        }
        return nullptr;
    }
    void click(QTreeWidgetItem* item)
    {
        QTreeWidget* tree = main->TRTreeView;
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
        tick();
    }
    editor::TedsF* window()
    {
        const int k = shell::NodeIndexFromId(kBridge1k);
        return k < 0 ? nullptr : dynamic_cast<editor::TedsF*>(shell::record(k)->obj.get());
    }
    std::vector<std::uint8_t> memory()
    {
        for (const auto& n : network()->nodes())
            if (n->rom().nodeId() == kBridge1k)
                if (auto* e = dynamic_cast<platform::sim::SimScratchEeprom*>(n.get()))
                    return std::vector<std::uint8_t>(e->memory().begin(), e->memory().begin() + 128);
        return {};
    }
    static QAction* menuItem(QMenu* menu, const char* text)
    {
        for (QAction* a : menu->actions())
            if (a->text().remove('&') == text)
                return a;
        return nullptr;
    }
    static int rowOf(const editor::TedsF& w, const std::string& caption)
    {
        for (int k = 0; k < editor::kRowCount; ++k)
            if (w.doc.rows[static_cast<std::size_t>(k)].visible && w.doc.rows[static_cast<std::size_t>(k)].caption == caption)
                return k;
        return -1;
    }

    shell::MinimalNodeWindowFactory others;
    editor::EditorNodeWindowFactory windows{others};
    app::KeptWindowHook windowsKept{windows};
    teds_test::Neighbours neighbours;
    // The TEDS windows in place of the fixture's plain ones, the drivers seeing the node list.
    platform::ScopedHook<shell::NodeWindowFactory*> windowsHook{&shell::setNodeWindowFactory, &windows, &factory};
    platform::ScopedHook<device::DriverNodeList*> driverNodes{&device::setDriverNodeList, &shell::driverNodeList()};
    app::EditorWiring editorWiring{{.neighbours = &neighbours}};
};

TEST_F(DemoFlow, EditWriteAndReadTheBridgeSensorAsANewUserWould)
{
    activate();
    QTreeWidgetItem* item = tedsItem();
    ASSERT_NE(item, nullptr);
    click(item);
    editor::TedsF* w = window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible());
    ASSERT_EQ(w->doc.TedsBuf.Status, core::TedsStatusReadOk);
    EXPECT_EQ(w->doc.Title.rfind("IEEE 1451.4 Bridge sensor", 0), 0u) << w->doc.Title;

    // Template > "Read only mode" off, then the value typed into the row's box.
    w->mnuTemplate[editor::TemplateReadOnly]->trigger();
    const int k = rowOf(*w, "Measurement location ID");
    ASSERT_GE(k, 0);
    QLineEdit* box = w->Col2[k];
    ASSERT_FALSE(box->isReadOnly());
    const std::string before = w->doc.rows[static_cast<std::size_t>(k)].value;
    ASSERT_NE(before, "42");
    box->selectAll();
    QTest::keyClicks(box, "42");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &leave);
    EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, "42");

    QAction* write = menuItem(w->mnuNodeMenu, "Write node");
    ASSERT_NE(write, nullptr);
    ASSERT_TRUE(write->isVisible() && write->isEnabled());
    const auto shipped = memory();
    ASSERT_EQ(shipped.size(), 128u);
    this->box.clear();
    write->trigger();
    tick();
    for (const auto& p : this->box.prompts())
        EXPECT_EQ(p.rfind("Are you sure you will program", 0), 0u) << p;

    EXPECT_NE(memory(), shipped);
    // Written and verified: the record goes and the next scan brings the node back.
    item = tedsItem();
    ASSERT_NE(item, nullptr);
    click(item);
    w = window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, "42");

    QAction* read = menuItem(w->mnuNodeMenu, "Read node");
    ASSERT_NE(read, nullptr);
    this->box.clear();
    read->trigger();
    tick();
    w = window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->doc.TedsBuf.Status, core::TedsStatusReadOk);
    EXPECT_EQ(w->doc.rows[static_cast<std::size_t>(k)].value, "42");
    EXPECT_EQ(w->Col2[k]->text().toStdString(), "42");
    EXPECT_FALSE(w->hasUnwrittenChanges());
    EXPECT_TRUE(this->box.shown.empty()) << this->box.shown.front().prompt;
}

} // namespace
