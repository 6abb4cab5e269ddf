#pragma once
// The jobs of the main window (job target "MainF"): the number a post carries and its
// handler's case. Stored in the job queue as the number; the values do not change.

namespace shell {

enum MainJob : int {
    // Drop every node and scan again (one search pass).
    RescanAll = 1,
    // Carries out communication mode <param> (the mode panel's choice).
    SetCommMode = 2,
    // Opens the windows of the tree node last clicked.
    SelectTreeNode = 3,
    // The node tree takes clicks again.
    EnableTree = 4,
    // Sets interface type <param> (0 adapter, 1 amplifier link).
    SetInterface = 5,
    // One search pass unless the one before has just refilled the list.
    ScanUnlessRefilled = 6,
    // Enables the mode options and selects mode <param>.
    SetCommModeOptions = 7,
    // After an activation: one pass, then the request server's window.
    ScanAndShowServer = 8,
    // Activates the chosen interface.
    ActivateInterface = 9,
};

} // namespace shell
