// The template download window with the shipped library's longest template names: on
// the screen the test runs on, whatever its size, the window stays within the screen and
// every name can be read whole (shown whole, or reached by the list's scroll bar).

#include "amplifier/model/amplifierrecord.h"
#include "amplifier/toolwindows/peloxdltemplates.h"
#include "core/base/corestate.h"
#include "core/lists/listsstate.h"
#include "core/tdl/tdlstate.h"
#include "core/tdl/templateparser.h"
#include "tests/support/freshstate.h"
#include "tests/support/qtapp.h"
#include "tests/support/testsupport.h"
#include "tests/support/virtualservices.h"
#include "tests/support/widgetfit.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>

namespace ts = testing_support;

namespace {

class DownloadWindowOnTheScreen : public ::testing::Test, protected ts::VirtualServices {
protected:
    static void SetUpTestSuite() { ts::ensureApplication(); }
    DownloadWindowOnTheScreen()
    {
        core::coreState().ProgramFolder = ts::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(ts::dataDir());
        for (const char* f : {"Accessory_Templates.tdl", "IEEE_Calibration_Curve.tdl", "IEEE_Calibration_Response.tdl",
                              "IEEE_Calibration_Table.tdl", "IEEE_Templates.tdl"})
            core::ParseTemplateFile(f);
    }

    testing_support::FreshState<amplifier::resetAmplifierLayer> fresh;
};

TEST_F(DownloadWindowOnTheScreen, LongestNamesWithinTheScreen)
{
    amplifier::Pelox_DL_Templates d;
    d.load(1);
    d.show();
    ts::settleLayouts();
    const QRect screen = d.screen()->availableGeometry();
    EXPECT_LE(d.frameGeometry().width(), screen.width()) << "as opened";

    // The five longest names the amplifier can take, chosen and added as a user does.
    auto& m = d.model();
    std::vector<int> positions(m.SelectTemplateMap.size());
    for (std::size_t i = 0; i < positions.size(); ++i)
        positions[i] = static_cast<int>(i);
    const auto nameAt = [&](int p) {
        return core::tdlState().Templates[static_cast<std::size_t>(m.SelectTemplateMap[static_cast<std::size_t>(p)])].name;
    };
    std::sort(positions.begin(), positions.end(), [&](int a, int b) { return nameAt(a).size() > nameAt(b).size(); });
    ASSERT_GE(positions.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        m.SelectTemplate_Click(positions[static_cast<std::size_t>(i)]);
        m.AddToList_cmd_Click();
    }
    ts::settleLayouts();
    ASSERT_EQ(d.TemplatesInPelox->count(), 5);
    EXPECT_LE(d.frameGeometry().width(), screen.width()) << "with the longest names";
    EXPECT_GE(d.frameGeometry().left(), screen.left());
    EXPECT_LE(d.frameGeometry().right(), screen.right());
    EXPECT_TRUE(ts::showsWhole(*d.TemplatesInPelox) || d.TemplatesInPelox->horizontalScrollBar()->isVisible());
    // A screen with room for the widest name beside the UTIDs (1024 pixels, at the default
    // font) shows every name whole.
    const int need = QFontMetrics(d.TemplatesInPelox->font()).horizontalAdvance(QString::fromStdString(nameAt(positions[0]))) +
                     d.UTIDinPelox->width();
    if (need < screen.width() * 9 / 10)
        EXPECT_TRUE(ts::showsWhole(*d.TemplatesInPelox)) << "on a screen " << screen.width() << " wide";
    EXPECT_TRUE(ts::showsWhole(*d.UTIDinPelox));
}

} // namespace
