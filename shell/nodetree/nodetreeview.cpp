#include "shell/nodetree/nodetreeview.h"

#include "platform/qt/cp1252.h"
#include "shell/nodes/nodelist.h"

namespace shell {

namespace {
constexpr int kHandleRole = Qt::UserRole + 1;
} // namespace

NodeTreeView::NodeTreeView(NodeTree* model) : model_(model ? model : &nodesState().tree)
{
    model_->setListener(this);
}

NodeTreeView::~NodeTreeView()
{
    model_->setListener(nullptr);
}

void NodeTreeView::attach(QTreeWidget* widget)
{
    widget_ = widget;
    rebuild();
}

NodeTree::Handle NodeTreeView::handleOf(const QTreeWidgetItem* item)
{
    if (!item)
        return NodeTree::None;
    bool ok = false;
    const int h = item->data(0, kHandleRole).toInt(&ok);
    return ok ? h : NodeTree::None;
}

QTreeWidgetItem* NodeTreeView::itemOf(NodeTree::Handle h) const
{
    auto it = items_.find(h);
    return it == items_.end() ? nullptr : it->second;
}

QTreeWidgetItem* NodeTreeView::makeItem(NodeTree::Handle h)
{
    auto* item = new QTreeWidgetItem;
    item->setData(0, kHandleRole, h);
    item->setText(0, platform::fromCp1252(model_->node(h).text));
    items_[h] = item;
    return item;
}

void NodeTreeView::insertItem(NodeTree::Handle h, QTreeWidgetItem* item)
{
    const NodeTree::Handle p = model_->parent(h);
    if (p == NodeTree::None)
        widget_->addTopLevelItem(item);
    else if (QTreeWidgetItem* pi = itemOf(p))
        pi->addChild(item);
    else
        widget_->addTopLevelItem(item);
}

void NodeTreeView::forget(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i)
        forget(item->child(i));
    items_.erase(handleOf(item));
}

void NodeTreeView::rebuild()
{
    items_.clear();
    if (!widget_)
        return;
    widget_->clear();
    for (NodeTree::Handle h : model_->allNodes())
        insertItem(h, makeItem(h));
    // Expansion only takes once an item sits in the widget.
    for (const auto& [h, item] : items_)
        item->setExpanded(model_->node(h).expanded);
}

void NodeTreeView::nodeAdded(NodeTree::Handle h)
{
    if (!widget_)
        return;
    insertItem(h, makeItem(h));
}

void NodeTreeView::nodeRemoved(NodeTree::Handle h)
{
    QTreeWidgetItem* item = itemOf(h);
    if (!widget_ || !item)
        return;
    forget(item);
    delete item;
}

void NodeTreeView::nodeChanged(NodeTree::Handle h)
{
    QTreeWidgetItem* item = itemOf(h);
    if (!widget_ || !item)
        return;
    const auto& n = model_->node(h);
    item->setText(0, platform::fromCp1252(n.text));
    item->setExpanded(n.expanded);
}

void NodeTreeView::nodeMoved(NodeTree::Handle h)
{
    QTreeWidgetItem* item = itemOf(h);
    if (!widget_ || !item)
        return;
    if (QTreeWidgetItem* old = item->parent())
        old->removeChild(item);
    else
        widget_->takeTopLevelItem(widget_->indexOfTopLevelItem(item));
    insertItem(h, item);
    // A taken item loses its expansion state in the widget.
    std::vector<QTreeWidgetItem*> stack{item};
    while (!stack.empty()) {
        QTreeWidgetItem* it = stack.back();
        stack.pop_back();
        it->setExpanded(model_->node(handleOf(it)).expanded);
        for (int i = 0; i < it->childCount(); ++i)
            stack.push_back(it->child(i));
    }
}

void NodeTreeView::treeCleared()
{
    items_.clear();
    if (widget_)
        widget_->clear();
}

} // namespace shell
