#include "tests/support/nodefakes.h"
#include "tests/support/qtapp.h"

#include "shell/nodetree/nodetreeview.h"

#include <QApplication>
#include <QTreeWidget>

using namespace nodetest;

namespace {

// The widget's tree as indented text lines, "+" marking expanded items.
void dump(QTreeWidgetItem* item, int depth, std::vector<std::string>& out)
{
    out.push_back(std::string(depth * 2, ' ') + (item->isExpanded() ? "+" : "") + item->text(0).toStdString());
    for (int i = 0; i < item->childCount(); ++i)
        dump(item->child(i), depth + 1, out);
}

std::vector<std::string> dump(QTreeWidget& w)
{
    std::vector<std::string> out;
    for (int i = 0; i < w.topLevelItemCount(); ++i)
        dump(w.topLevelItem(i), 0, out);
    return out;
}

class TreeView : public NodesFixture {
protected:
    static void SetUpTestSuite()
    {
        testing_support::ensureApplication();
    }
};

TEST_F(TreeView, WidgetFollowsTheModel)
{
    QTreeWidget widget;
    shell::NodeTreeView view;
    view.attach(&widget);

    const std::string list = nodeId(0x2D, 1), temp = nodeId(0x10, 2);
    factory.memories[list] = {4, 1, "", {temp}};
    add(list, 0x2D);
    add(temp, 0x10);
    EXPECT_EQ(dump(widget), (std::vector<std::string>{
                                "+New node", "  +E2-PROM Memory (" + list + ")", "    Nodelist",
                                "+New node", "  +Thermometer (" + temp + ")", "    Thermometer"}));

    shell::ConcatTransducers();
    EXPECT_EQ(dump(widget), (std::vector<std::string>{"+New node", "  +E2-PROM Memory (" + list + ")", "    Nodelist",
                                                      "  +Thermometer (" + temp + ")", "    Thermometer"}));
    QTreeWidgetItem* tempItem = widget.topLevelItem(0)->child(1);
    EXPECT_EQ(shell::NodeTreeView::handleOf(tempItem), idNode(temp));
    EXPECT_EQ(view.itemOf(idNode(temp)), tempItem);

    shell::UpdateTRName(list, "Caf\xE9 sensor");  // Windows-1252 text
    EXPECT_EQ(widget.topLevelItem(0)->text(0), QString::fromUtf8("Caf\u00e9 sensor"));

    shell::Remove_transducer(temp);
    EXPECT_EQ(widget.topLevelItemCount(), 0);
    EXPECT_EQ(view.itemOf(idNode(list)), nullptr);
}

TEST_F(TreeView, AttachShowsWhatTheModelAlreadyHolds)
{
    core::coreState().SwitchNodeId = nodeId(0x12, 1);
    add(nodeId(0x12, 1), 0x12);
    add(nodeId(0x23, 2), 0x23);
    QTreeWidget widget;
    shell::NodeTreeView view;
    view.attach(&widget);
    const auto lines = dump(widget);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "New node");  // the switch node stays collapsed
    EXPECT_EQ(lines[4], "+New node");
    tree().clear();
    EXPECT_EQ(widget.topLevelItemCount(), 0);
}

} // namespace
