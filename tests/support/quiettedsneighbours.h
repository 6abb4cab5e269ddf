#pragma once
// TEDS-window neighbours that answer as a program without a request, an amplifier or a
// template dialog: the main window shown, no request family, no File menu. A test's
// neighbours override what they watch. Header only.

#include "editor/tedswindow/editorstate.h"

#include <string>

namespace testing_support {

class QuietTedsNeighbours : public editor::TedsNeighbours {
public:
    bool mainWindowVisible() override { return true; }
    void reselectAmplifierNode() override {}
    int requestFamily() override { return 0; }
    bool allowRomProgramming() override { return false; }
    void requestReport(const std::string&) override {}
    bool runTemplateDialog(int, editor::TedsF&) override { return false; }
    void showTraceWindow() override {}
    void fileMenu(int, editor::TedsF&) override {}
};

} // namespace testing_support
