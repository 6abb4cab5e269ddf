// MainF: clicks on the node tree.

#include "shell/mainwindow/mainf.h"

#include "shell/jobs/jobqueue.h"
#include "shell/nodes/treeselect.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTreeWidget>

namespace shell {

void MainF::connectTree()
{
    // The tree reports a press with its buttons still down: right is the copy offer.
    connect(TRTreeView, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item, int) {
        const int button = (QApplication::mouseButtons() & Qt::RightButton) ? 2 : 1;
        TRTreeView_NodeClick(NodeTreeView::handleOf(item), button);
    });
}

void MainF::TRTreeView_NodeClick(NodeTree::Handle node, int button)
{
    if (button != 2) {
        iface_.treeToolTip = "press F5 to refresh tree";
        TRTreeView->setToolTip(QString::fromStdString(iface_.treeToolTip));
        SelectedTreeNode = node;
        postMainJob(MainJob::SelectTreeNode, 0LL);
        if (isVisible())
            parkFocus();
        return;
    }
    offerNodeIdCopy(node, [](const std::string& id) {
        QClipboard* c = QGuiApplication::clipboard();
        c->clear();
        c->setText(QString::fromStdString(id));
    });
}

} // namespace shell
