#pragma once
// The node-list generator as the program opens it: created and loaded on first use (by
// Tools > "Generate Nodelist", the main window's job 1 or the request server) and kept
// until the program ends.

#include <functional>
#include <memory>

namespace editor {
class NodeListF;
class NodeListModel;
}

namespace app {

class NodeListHost {
public:
    NodeListHost();
    ~NodeListHost();

    // The window, loaded at its first use.
    editor::NodeListF& window();
    // Tools > "Generate Nodelist".
    void show();

    // Runs once on the new window's model, before its load (the hooks app registers).
    std::function<void(editor::NodeListModel&)> onCreate;

private:
    std::unique_ptr<editor::NodeListF> window_;
};

} // namespace app
