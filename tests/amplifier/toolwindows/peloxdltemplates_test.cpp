// The download window over its model: the lists shown side by side and kept in step,
// the Delete key, the buttons disabled while an exchange runs, the close box refused
// during one.

#include "../tools/toolsenv.h"

#include "amplifier/toolwindows/peloxdltemplates.h"
#include "tests/kit/virtualclock.h"
#include "tests/support/qtapp.h"
#include "tests/support/widgetfit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace tools_test;

class DlTemplatesWindow : public ToolsTest {
protected:
    DlTemplatesWindow()
    {
        testing_support::ensureApplication();
        setLibrary({workedExample(1234, 0, "Accel A"), workedExample(5678, 2, "Mic B"),
                    workedExample(4321, 1, "Force C")});
        startChain("Type 6180", "templates 4321,1234\n");
        window = std::make_unique<amplifier::Pelox_DL_Templates>();
        window->load(1);
        window->show();
    }
    std::unique_ptr<amplifier::Pelox_DL_Templates> window;
};

TEST_F(DlTemplatesWindow, ListsShownInStepAndDeleteKey)
{
    auto& w = *window;
    EXPECT_EQ(w.windowTitle(), "Tedsmith - Pelox, 6188 Download Templates");
    EXPECT_EQ(w.SelectTemplate->count(), 3);
    EXPECT_EQ(w.AbstractTitle->text(), "Accel A");
    EXPECT_EQ(w.Pelox_ID->text(), "Amplifier No. 1: Type 6180, Serial no.: 0000001");
    w.ReadPelox->click();
    ASSERT_EQ(w.TemplatesInPelox->count(), 2);
    EXPECT_EQ(w.TemplatesInPelox->item(0)->text(), "Force C");
    EXPECT_EQ(w.UTIDinPelox->item(1)->text(), "            1234");
    EXPECT_EQ(w.TemplateNo->item(0)->text(), "2");

    w.UTIDinPelox->setCurrentRow(1);
    EXPECT_EQ(w.TemplatesInPelox->currentRow(), 1);
    // Delete in the UTID list does nothing; in the name list it removes the entry.
    QTest::keyClick(w.UTIDinPelox, Qt::Key_Delete);
    EXPECT_EQ(w.TemplatesInPelox->count(), 2);
    w.TemplatesInPelox->setFocus();
    QTest::keyClick(w.TemplatesInPelox, Qt::Key_Delete);
    ASSERT_EQ(w.TemplatesInPelox->count(), 1);
    EXPECT_EQ(w.TemplatesInPelox->item(0)->text(), "Force C");
    EXPECT_EQ(w.UTIDinPelox->count(), 1);

    w.SelectTemplate->setCurrentIndex(1);
    emit w.SelectTemplate->activated(1);
    EXPECT_EQ(w.AbstractTitle->text(), "Mic B");
    w.AddToList_cmd->click();
    EXPECT_EQ(w.TemplatesInPelox->count(), 2);
    w.ClrList_cmd->click();
    EXPECT_EQ(w.TemplatesInPelox->count(), 0);
}

// Template names stand whole in the download list and in the selection's list (the
// longest of the selection needs not take room from the download list).
class DlTemplatesLongNames : public ToolsTest {
protected:
    DlTemplatesLongNames()
    {
        testing_support::ensureApplication();
        setLibrary({workedExample(1234, 0, kLong), workedExample(5678, 2, kMedium)});
        startChain("Type 6180", "templates 5678\n");
        window = std::make_unique<amplifier::Pelox_DL_Templates>();
        window->load(1);
        window->show();
    }
    static constexpr const char* kLong =
        "IEEE 1451.4 Microphone with preamplifier, programmable sensitivity, test gain, transfer function";
    static constexpr const char* kMedium = "IEEE 1451.4 Force transducer with transfer function";
    std::unique_ptr<amplifier::Pelox_DL_Templates> window;
};

TEST_F(DlTemplatesLongNames, NamesStandWhole)
{
    auto& w = *window;
    testing_support::settleLayouts();
    const int popup = w.SelectTemplate->view()->minimumWidth();
    EXPECT_GE(popup, QFontMetrics(w.SelectTemplate->view()->font()).horizontalAdvance(kLong));
    w.ReadPelox->click();
    ASSERT_EQ(w.TemplatesInPelox->count(), 1);
    testing_support::settleLayouts();
    EXPECT_TRUE(testing_support::showsWhole(*w.TemplatesInPelox)) << w.TemplatesInPelox->viewport()->width();
}

TEST_F(DlTemplatesWindow, ButtonsDisabledAndCloseRefusedDuringAnExchange)
{
    auto& w = *window;
    w.AddToList_cmd->click();
    auto* clock = dynamic_cast<platform::VirtualClock*>(&platform::clock());
    ASSERT_NE(clock, nullptr);
    int checks = 0;
    bool allDisabled = true;
    const int id = clock->addObserver([&](platform::TimePoint) {
        ++checks;
        for (auto* b : {w.Update_cmd, w.ReadPelox, w.Exit_Button, w.AddToList_cmd, w.Read_default})
            allDisabled = allDisabled && !b->isEnabled();
        w.reject();
    });
    w.Update_cmd->click();
    clock->removeObserver(id);
    EXPECT_GT(checks, 0);
    EXPECT_TRUE(allDisabled);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.Update_cmd->isEnabled());
    EXPECT_EQ(table(), std::vector<std::string>{"1234"});
}
