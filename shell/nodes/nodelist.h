#pragma once
// The node list (TrList): one record per node memory, each with the node window that
// shows it, mirrored in the node tree with three levels per node. Nodes of a
// multi-node transducer are grouped under one top-level node once its node list is
// complete.

#include "shell/nodes/nodetree.h"
#include "shell/nodes/nodewindow.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace device {
class DriverNodeList;
}

namespace shell {

// Record states.
enum TrState : std::int32_t {
    TrStateNew = 0,
    TrStateNotAssigned = 1,
    TrStateCrcError = 2,
    TrStateTeds = 3,
    TrStateNodeList = 4,
    TrStateFunction = 5,
};

// Counts a write of a record field that grouping depends on (TrTracked).
void noteRecordFieldChange();

// A record field that reads and writes as a T; every write is counted, so the grouping
// index sees a selector that any window stores.
template <class T>
class TrTracked {
public:
    explicit TrTracked(T v) : v_(v) {}
    TrTracked(const TrTracked& o) : v_(o.v_) { noteRecordFieldChange(); }
    TrTracked& operator=(const TrTracked& o)
    {
        v_ = o.v_;
        noteRecordFieldChange();
        return *this;
    }
    TrTracked& operator=(T v)
    {
        v_ = v;
        noteRecordFieldChange();
        return *this;
    }
    operator T() const { return v_; }

private:
    T v_;
};

struct TrRecord {
    std::unique_ptr<NodeWindow> obj;  // the node window; unloaded with the record
    bool aging = true;                // false only for the switch record of a family 12h node
    std::string id;                   // 16 hex digits, CRC first, family code last
    int family = 0;
    std::string name;                 // the record's kind ("Thermometer", "E2-PROM Memory", ...)
    int lives = 0;
    TrTracked<int> selector{-1};      // 1: node list; 16 or more: a TEDS with a title
    TrTracked<bool> grouped{false};   // its node list has grouped the tree
    std::int32_t state = TrStateNew;
};

// A node window let events run while its node was being added, and the node list
// changed meanwhile (the node was dropped): the addition is taken back.
class NodeListChanged : public std::runtime_error {
public:
    NodeListChanged() : std::runtime_error("node list changed while a node window was being set up") {}
};

// What ConcatTransducers tries at a scan step: the top-level nodes, in tree order, whose
// first record holds a node list that has not grouped the tree. Current while the tree,
// the number of records and every record's selector and grouped flag stay as they were
// when it was taken, so a steady scan step does not walk the tree.
struct GroupingIndex {
    bool taken = false;
    std::uint64_t tree = 0;
    std::uint64_t fields = 0;
    std::size_t records = 0;
    std::vector<NodeTree::Handle> tops;
};

struct NodesState {
    std::vector<TrRecord> TrList;
    int LivesInit = 4;
    NodeTree tree;                       // TRTreeView's content
    NodeTree::Handle LastNode = NodeTree::None;
    std::vector<std::string> Node_list;  // ids named by the last node-list memory read
    std::uint64_t recordFieldChanges = 0;
    GroupingIndex grouping;
};

NodesState& nodesState();
// Drops every record and tree node; windows are destroyed at once (tests).
void resetNodesState();

// Index of the last record, -1 when the list is empty.
int TrLast();
// The record at index, nullptr outside 0 .. TrLast.
TrRecord* record(int index);

// Adds a node: top-level node "root" & id with text name, its id node and its records
// with their windows. index := the id node. All or nothing: when anything fails, what
// was added is taken back and the error is passed on.
void New_Transducer(const std::string& name, const std::string& id, int family, NodeTree::Handle& index);
// Removes the node's top-level node with every node under it (the whole group) and
// their records and windows; records of that id without a tree node go too.
void Remove_transducer(const std::string& id);
// Removes every record; returns how many nodes went (one beep each for some callers).
int removeAllTransducers();
// At program end, before the application object goes: drops every record and destroys
// every node window at once.
void releaseAllNodes();
// found := an id node "id" & id exists on the first two levels; index := that node.
void NodeInList(const std::string& id, NodeTree::Handle& index, bool& found);
// First record with that id, -1 (after a message) when there is none.
int NodeIndexFromId(const std::string& id);

void UpdateTRName(const std::string& id, const std::string& text);
// Text of the node's top-level node, or "Transducer not found".
std::string GetTRName(const std::string& id);
// The window of the first record node with that text under the node's top-level node.
bool GetTedsObject(const std::string& id, const std::string& text, NodeWindow*& obj);

// Moves the id node src (with its record nodes) under the top-level node of dst.
void MoveBrance(NodeTree::Handle src, NodeTree::Handle dst);
// Moves every node of Node_list that is in the tree under the top-level node of dst.
void ConcatNodeList(NodeTree::Handle dst);
bool AllNodeinNodeList();
// The group's text := the title of its first member whose TEDS has one.
void SetTransTitle(NodeTree::Handle top);
// Groups at most one node-list transducer whose listed nodes are all present.
void ConcatTransducers();

// The record whose index a node's Tag holds, -1 when the Tag names none.
int recordIndexOfNode(NodeTree::Handle h);

// The node list as the device drivers see it (family codes, ids present); the program
// hands it to device::setDriverNodeList.
device::DriverNodeList& driverNodeList();

} // namespace shell
