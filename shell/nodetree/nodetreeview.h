#pragma once
// Mirrors the node tree model into a QTreeWidget (the main window's TRTreeView). The
// model stays the truth; the widget follows every change. Each item carries the
// handle of its model node.

#include "shell/nodes/nodetree.h"

#include <QPointer>
#include <QTreeWidget>

#include <map>

namespace shell {

class NodeTreeView final : public NodeTree::Listener {
public:
    // Mirrors model (nodesState().tree when none is given).
    explicit NodeTreeView(NodeTree* model = nullptr);
    ~NodeTreeView() override;
    NodeTreeView(const NodeTreeView&) = delete;
    NodeTreeView& operator=(const NodeTreeView&) = delete;

    // Shows the model in widget (its items are replaced); nullptr detaches.
    void attach(QTreeWidget* widget);
    QTreeWidget* widget() const { return widget_; }

    // The model node of an item, NodeTree::None for none.
    static NodeTree::Handle handleOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* itemOf(NodeTree::Handle h) const;

    // NodeTree::Listener
    void nodeAdded(NodeTree::Handle h) override;
    void nodeRemoved(NodeTree::Handle h) override;
    void nodeChanged(NodeTree::Handle h) override;
    void nodeMoved(NodeTree::Handle h) override;
    void treeCleared() override;

private:
    QTreeWidgetItem* makeItem(NodeTree::Handle h);
    void insertItem(NodeTree::Handle h, QTreeWidgetItem* item);
    void forget(QTreeWidgetItem* item);
    void rebuild();

    NodeTree* model_;
    QPointer<QTreeWidget> widget_;
    std::map<NodeTree::Handle, QTreeWidgetItem*> items_;
};

} // namespace shell
