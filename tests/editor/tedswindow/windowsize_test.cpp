// The TEDS window sized to its content, measured offscreen with the fonts' metrics: as
// high as its last row and as wide as its widest caption and value, for the shortest
// and the longest template of the library, with values and with descriptions; within
// the screen, where only the grid scrolls.

#include "tedsfixture.h"

#include "tests/support/widgetfit.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace {

using namespace teds_test;

using testing_support::showsWhole;

void settle() { testing_support::settleLayouts(); }

class TedsWindowSize : public TedsWindowTest {
protected:
    TedsWindowSize()
    {
        auto& lib = core::tdlState();
        for (int t = 0; t <= lib.TemplateLast; ++t) {
            const auto& r = lib.Templates[static_cast<std::size_t>(t)];
            if (shortest < 0 || r.fieldLast < lib.Templates[static_cast<std::size_t>(shortest)].fieldLast)
                shortest = t;
            if (longest < 0 || r.fieldLast > lib.Templates[static_cast<std::size_t>(longest)].fieldLast)
                longest = t;
        }
    }
    ~TedsWindowSize() override
    {
        if (w)
            w->hide();
    }

    // The shared window showing an empty TEDS of template t.
    editor::TedsF& showTemplate(int t)
    {
        w = &factory.shared();
        const auto& rec = core::tdlState().Templates[static_cast<std::size_t>(t)];
        EXPECT_TRUE(w->doc.CreateNewTEDS_force(rec.UTID)) << rec.name;
        w->ShowForm();
        w->show();
        settle();
        return *w;
    }

    void setDescriptions(bool on)
    {
        if (w->menus.mnuTemplate[editor::TemplateShowDescription].checked != on)
            w->mnuTemplate_Click(editor::TemplateShowDescription);
        settle();
    }

    // Every caption and value shown whole, the grid never scrolling sideways within the
    // screen, and the window ending below the last row (or at the screen's edge, the
    // grid scrolling).
    void expectFitted(const std::string& what)
    {
        SCOPED_TRACE(what);
        const QRect screen = w->screen()->availableGeometry();
        EXPECT_LE(w->height(), screen.height());
        EXPECT_LE(w->width(), screen.width());
        int lastBottom = 0;
        int rows = 0;
        for (int k = 0; k < editor::kRowCount; ++k) {
            if (!w->Col2[k]->isVisible())
                continue;
            ++rows;
            EXPECT_TRUE(showsWhole(*w->Col1[k])) << k << " " << w->Col1[k]->text().toStdString();
            EXPECT_TRUE(showsWhole(*w->Col2[k])) << k << " " << w->Col2[k]->text().toStdString();
            lastBottom = std::max(lastBottom, w->Col2[k]->geometry().bottom());
        }
        EXPECT_GT(rows, 0);
        EXPECT_TRUE(showsWhole(*w->LbL_RS));
        EXPECT_TRUE(showsWhole(*w->TitleBox));
        EXPECT_TRUE(showsWhole(*w->LblCRC256));
        QScrollArea* s = w->GridScroll;
        const int wantedWidth = s->widget()->sizeHint().width() + 2 * s->frameWidth();
        if (wantedWidth <= screen.width() - 40) {
            EXPECT_EQ(s->horizontalScrollBar()->maximum(), 0);
        }
        const int pitch = w->Col2[0]->height();
        if (s->verticalScrollBar()->maximum() == 0) {
            // No empty frame below the CRC line: less than a row's height.
            const int crcBottom = w->LblCRC256->geometry().bottom();
            EXPECT_GT(crcBottom, lastBottom);
            EXPECT_LT(s->viewport()->height() - crcBottom, pitch) << "empty below the last row";
        } else {
            // Taller than the screen: the window uses the screen's height, the grid scrolls.
            EXPECT_GE(w->frameGeometry().height(), screen.height() - 2 * pitch);
        }
    }

    int shortest = -1;
    int longest = -1;
    editor::TedsF* w = nullptr;
};

TEST_F(TedsWindowSize, ShortestTemplateEndsBelowItsLastRow)
{
    ASSERT_GE(shortest, 0);
    showTemplate(shortest);
    expectFitted("values");
    EXPECT_EQ(w->GridScroll->verticalScrollBar()->maximum(), 0);
    const int narrow = w->width();
    // Near the screen's right edge: widening for the descriptions keeps the window on it.
    const QRect screen = w->screen()->availableGeometry();
    w->move(screen.right() - w->frameGeometry().width() - 5, screen.top());
    settle();
    setDescriptions(true);
    expectFitted("descriptions");
    EXPECT_LE(w->frameGeometry().right(), screen.right());
    // The descriptions are wider than the values; back to values the window narrows.
    EXPECT_GT(w->width(), narrow);
    setDescriptions(false);
    EXPECT_EQ(w->width(), narrow);
}

TEST_F(TedsWindowSize, LongestTemplateFillsTheScreenAndScrollsOnlyTheGrid)
{
    ASSERT_GE(longest, 0);
    showTemplate(longest);
    expectFitted("values");
    setDescriptions(true);
    expectFitted("descriptions");
}

TEST_F(TedsWindowSize, ALongerTemplateMakesTheWindowHigherAndAShorterOneLower)
{
    showTemplate(shortest);
    const int low = w->height();
    showTemplate(longest);
    EXPECT_GT(w->height(), low);
    showTemplate(shortest);
    EXPECT_EQ(w->height(), low);
}

TEST_F(TedsWindowSize, ANodeReadOnTheDemoNetworkIsShownWhole)
{
    loadDemo();
    scan();
    w = window("190000005CA6572D");
    ASSERT_NE(w, nullptr);
    w->show();
    settle();
    expectFitted("bridge sensor");
    setDescriptions(true);
    expectFitted("bridge sensor, descriptions");
}

} // namespace
