#pragma once
// Unwritten work of a TEDS window: a TEDS whose changes exist nowhere else is never
// replaced or let go without the user's answer, and a node that goes with unwritten
// changes leaves its TEDS in a window of its own (the kept orphan), which nothing else
// loads into and whose close box asks before letting it go.

#include "editor/tedswindow/unwrittenwork.h"

#include <functional>

namespace editor {

class TedsF;

class TedsKeeper {
public:
    explicit TedsKeeper(TedsF& window) : w_(window) {}
    TedsKeeper(const TedsKeeper&) = delete;
    TedsKeeper& operator=(const TedsKeeper&) = delete;

    // The TEDS holds changes that never reached the node (edits, a new template, a file).
    bool unwritten() const;
    // ... and that exist nowhere else (see UnwrittenWork::unsaved).
    bool unsaved() const;
    // The node holds what the document holds.
    void noteInSync();
    // The TEDS as it stands exists elsewhere (a file read or saved, a new empty TEDS).
    void noteKept();
    // Before the TEDS is replaced or let go: with unsaved changes the window is shown and
    // the user asked (Yes: saved in a file first, No: let go, Cancel: kept). True when it
    // may go. Unanswered (the request server's quiet mode) counts as Cancel.
    bool mayReplace();
    // The window's node went: its unwritten TEDS goes to a window of its own.
    void nodeGone();
    // The close box of a kept orphan: lets it go on the user's answer. False when the
    // window keeps no orphan (the close box does what it does for any window).
    bool closeKept();

    // The window keeps the TEDS of a node that went with unwritten changes: it belongs to
    // no node and nothing else loads into it.
    bool orphan = false;
    // The kept TEDS has not been let go by the user yet (until the close box lets it go, the
    // window is not handed to another node that goes, even while it waits to be shown).
    bool held = false;

private:
    // Hands the TEDS to the window the keeper hook names, or tells the user it is lost.
    void keepOrphaned();

    TedsF& w_;
    UnwrittenWork work_;
};

// Where the unwritten TEDS of a node that went is kept: a window of its own for each such
// TEDS, never one that holds other unsaved work. Empty or returning nullptr: nowhere,
// the user is told it is lost.
void setOrphanTedsWindow(std::function<TedsF*()> keeper);

} // namespace editor
