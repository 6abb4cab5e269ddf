// The program object registers every piece while it lives and leaves no hook behind: after
// it is gone each hook answers as before it was built (no pointer into a destroyed window).
#include "app/program.h"
#include "device/amplink/peloxtransport.h"
#include "device/drivers/driverstate.h"
#include "editor/model/tedsdocument.h"
#include "editor/tedswindow/editorstate.h"
#include "platform/base/filedialog.h"
#include "platform/base/messagebox.h"
#include "platform/qt/qtfiledialogs.h"
#include "shell/iface/neighbourwindows.h"
#include "shell/nodes/nodewindowfactory.h"
#include "tests/support/qtapp.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <array>

namespace {

// What each hook answers now, as addresses.
std::array<const void*, 8> hooksNow()
{
    return {&platform::messageBox(),        &platform::fileDialogs(),      &platform::printerChooser(),
            &shell::amplifierWindow(),      &shell::requestServerWindow(), &editor::tedsNeighbours(),
            editor::templateDialogHook(),   device::driverNodeList()};
}

TEST(Program, RegistersEveryPieceWhileItLivesAndNoneAfter)
{
    testing_support::ensureApplication();
    const auto before = hooksNow();
    {
        app::Program program(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        EXPECT_NO_THROW(shell::nodeWindowFactory());
        const auto during = hooksNow();
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_NE(during[i], before[i]) << "hook " << i << " not registered";
    }
    // Without a factory the shell says so rather than making windows from a gone one.
    EXPECT_THROW(shell::nodeWindowFactory(), std::exception);
    const auto after = hooksNow();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << "hook " << i << " left behind";
}

} // namespace
