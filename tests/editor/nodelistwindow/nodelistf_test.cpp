// The window NodeListF: its captions and tooltips, and that its controls reach the model
// (buttons queue jobs, option and box set the write, keys, clipboard and dragging edit
// the list).

#include "editor/nodelistwindow/nodelistf.h"

#include "editor/tedswindow/editorstate.h"
#include "platform/base/messagebox.h"
#include "shell/jobs/jobqueue.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/kit/scriptedmessagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class NodeListFTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing_support::ensureApplication(); }
    NodeListFTest()
    {
        shell::jobQueue().StartJobQue();
        w.Form_Load();
    }

    std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < w.ID_list->count(); ++i)
            out.push_back(w.ID_list->item(i)->text().toStdString());
        return out;
    }
    void mouse(QEvent::Type type, int row, Qt::MouseButtons buttons)
    {
        QWidget* vp = w.ID_list->viewport();
        const QPoint at = w.ID_list->visualItemRect(w.ID_list->item(row)).center();
        QMouseEvent e(type, at, vp->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }

    testing_support::FreshState<editor::resetEditorLayer> fresh;
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
    editor::NodeListF w;
};

TEST_F(NodeListFTest, CaptionsTooltipsAndStartState)
{
    EXPECT_EQ(w.windowTitle(), "Tedsmith - Generate Nodelist");
    EXPECT_EQ(w.property("HelpContextID").toInt(), 24);
    EXPECT_EQ(w.Label1->text(), "List of Node ID's ");
    EXPECT_EQ(w.Label2->text(), "activity log:");
    struct Row {
        QPushButton* button;
        const char* caption;
        const char* tip;
    };
    const Row rows[] = {
        {w.CbAddNodes, "Add nodes", "Add nodes connected to the interface"},
        {w.ReadList, "Read nodes", "Clear list and add nodes connected to the interface"},
        {w.ClearList, "Clear list", "Clear the nodelist"},
        {w.PrgDevice, "Write nodelist", "Write the nodelist into the present device "},
        {w.cbClearLog, "Clear log", "Clear activity log window"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.button->text(), r.caption);
        EXPECT_EQ(r.button->toolTip(), r.tip);
    }
    EXPECT_EQ(w.ieee_version[0]->text(), "IEEE P1451.4 beta or v 0.9x");
    EXPECT_EQ(w.ieee_version[1]->text(), "IEEE 1451.4 v 3.0");
    EXPECT_TRUE(w.ieee_version[0]->isChecked());
    EXPECT_TRUE(w.model().OldIeeeLayout);
    EXPECT_EQ(w.allowROMprg->text(), "allow ROM programming");
    EXPECT_EQ(w.allowROMprg->toolTip(), "lock application register, if present and rom is used");
    EXPECT_FALSE(w.allowROMprg->isChecked());
    EXPECT_EQ(w.nofocus->text(), "Nofocus");
    EXPECT_EQ(w.model().DragIndex, -1);
}

TEST_F(NodeListFTest, ControlsReachTheModel)
{
    w.ieee_version[1]->click();
    EXPECT_FALSE(w.model().OldIeeeLayout);
    w.allowROMprg->click();
    EXPECT_TRUE(w.model().allowROMprg);
    w.PrgDevice->click();
    w.CbAddNodes->click();
    std::vector<int> jobs;
    for (const auto& e : shell::jobQueue().JobQue())
        jobs.push_back(e.subno);
    EXPECT_EQ(jobs, (std::vector<int>{1, 0, 1, 2}));

    w.model().addNode("A");
    w.model().addNode("B");
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "B"}));
    w.ClearList->click();
    EXPECT_EQ(w.ID_list->count(), 0);
    w.model().activityLog = "\r\nWriting failed";
    w.sync();
    EXPECT_EQ(w.activityLog->toPlainText(), "\nWriting failed");
    w.cbClearLog->click();
    EXPECT_EQ(w.activityLog->toPlainText(), "");
}

TEST_F(NodeListFTest, KeysClipboardAndDraggingEditTheList)
{
    for (const char* id : {"A", "B", "C"})
        w.model().addNode(id);
    w.ID_list->setCurrentRow(1);
    QApplication::clipboard()->setText("0102030405060710");
    QTest::keyClick(w.ID_list, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "0102030405060710", "B", "C"}));
    w.ID_list->setCurrentRow(3);
    QTest::keyClick(w.ID_list, Qt::Key_Delete);
    EXPECT_EQ(entries(), (std::vector<std::string>{"A", "0102030405060710", "B"}));
    EXPECT_EQ(w.ID_list->currentRow(), -1);
    w.ID_list->setCurrentRow(0);
    QTest::keyClick(w.ID_list, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "A");
    EXPECT_EQ(entries(), (std::vector<std::string>{"0102030405060710", "B"}));

    // Dragging the first entry down carries it along.
    w.model().addNode("D");
    mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    mouse(QEvent::MouseMove, 1, Qt::LeftButton);
    mouse(QEvent::MouseMove, 2, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 2, Qt::NoButton);
    EXPECT_EQ(entries(), (std::vector<std::string>{"B", "D", "0102030405060710"}));
    EXPECT_EQ(w.model().DragIndex, -1);
}

} // namespace
