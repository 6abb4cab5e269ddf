// TEDS and switch windows whose content is wider than the screen: the window takes the
// screen's width, only what lies beyond it scrolls, and a text box too narrow for its
// text shows the text's beginning. Sizes come from the fonts' metrics; the font is made
// large enough for the case on whatever screen the test runs.

#include "core/lists/manufacturerlist.h"
#include "core/teds/memoryfile.h"
#include "shell/nodewindows/switchf.h"
#include "tests/editor/tedswindow/tedsfixture.h"
#include "tests/support/widgetfit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

using namespace teds_test;
namespace ts = testing_support;

namespace {

// The application font for the test's life.
class ScopedFont {
public:
    explicit ScopedFont(double points) : old_(QApplication::font())
    {
        QFont f = old_;
        f.setPointSizeF(points);
        QApplication::setFont(f);
    }
    ~ScopedFont() { QApplication::setFont(old_); }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    QFont old_;
};

// The smallest point size (from the application's) at which text is wider than width.
double sizeWiderThan(const QString& text, int width)
{
    QFont f = QApplication::font();
    for (double p = f.pointSizeF(); p < 200; p += 1) {
        f.setPointSizeF(p);
        if (QFontMetrics(f).horizontalAdvance(text) > width)
            return p;
    }
    return 200;
}

QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// The text box shows its text from the first character on.
bool showsBeginning(QLineEdit& e)
{
    const QPoint left(e.contentsRect().left() + e.textMargins().left() + 2, e.height() / 2);
    return e.cursorPositionAt(left) == 0;
}

class WindowsBeyondTheScreen : public TedsWindowTest {
protected:
    WindowsBeyondTheScreen()
    {
        core::resetTdlState();
        core::coreState().ProgramFolder = ts::dataDir();
        core::listsState().FieldTagList = std::make_unique<core::Fieldtags>(ts::dataDir());
        for (const char* f : {"Accessory_Templates.tdl", "IEEE_Calibration_Curve.tdl", "IEEE_Calibration_Response.tdl",
                              "IEEE_Calibration_Table.tdl", "IEEE_Templates.tdl"})
            core::ParseTemplateFile(f);
        core::ReadManufacturerList(ts::dataDir() / "ManufacturerList.xdl", core::listsState().Manufacturers);
    }
    int templateWhere(const std::function<bool(const core::TemplateRecord&, const core::TemplateRecord&)>& better)
    {
        const auto& lib = core::tdlState();
        int best = 0;
        for (int t = 1; t <= lib.TemplateLast; ++t)
            if (better(lib.Templates[static_cast<std::size_t>(t)], lib.Templates[static_cast<std::size_t>(best)]))
                best = t;
        return best;
    }
    int shortestTemplate()
    {
        return templateWhere([](const auto& a, const auto& b) { return a.fieldLast < b.fieldLast; });
    }
    int longestTitle()
    {
        return templateWhere([](const auto& a, const auto& b) { return a.name.size() > b.name.size(); });
    }
};

// The shortest template with descriptions in a font that makes its widest row wider than
// the screen: the window is as wide as the screen and scrolls sideways, but it is as high
// as its rows and the scroll bar, so every row shows and nothing scrolls up and down.
TEST_F(WindowsBeyondTheScreen, WidthAtTheScreenLeavesRoomForTheSidewaysScrollBar)
{
    const int t = shortestTemplate();
    double points = 0;
    {
        editor::TedsF probe;
        ASSERT_TRUE(probe.doc.GetNewTemplate(t));
        probe.doc.setDescriptionView(true);
        QString widest;
        for (int k = 0; k <= probe.doc.fieldLast(); ++k) {
            const QString row = QString::fromLatin1(probe.doc.rows[static_cast<std::size_t>(k)].caption.c_str()) +
                                QString::fromLatin1(probe.doc.shownText(k).c_str());
            if (row.size() > widest.size())
                widest = row;
        }
        points = sizeWiderThan(widest, screenArea().width());
    }
    ScopedFont font(points);
    // Seven rows of that font still fit the screen's height several times over.
    ASSERT_LT(12 * QFontMetrics(QApplication::font()).lineSpacing() * 2, screenArea().height());

    editor::TedsF w;
    ASSERT_TRUE(w.doc.GetNewTemplate(t));
    w.reqShow();
    w.mnuTemplate_Click(editor::TemplateShowDescription);
    ts::settleLayouts();
    ASSERT_TRUE(w.doc.descriptionView());
    EXPECT_LE(w.frameGeometry().width(), screenArea().width());
    EXPECT_TRUE(w.GridScroll->horizontalScrollBar()->isVisible()) << "the rows are wider than the screen";
    EXPECT_FALSE(w.GridScroll->verticalScrollBar()->isVisible())
        << "window " << w.height() << " high on a screen of " << screenArea().height();
    // The CRC line, the grid's last, lies inside the grid's view.
    const QPoint crc = w.LBLcrc->mapTo(w.GridScroll->viewport(), QPoint(0, w.LBLcrc->height()));
    EXPECT_LE(crc.y(), w.GridScroll->viewport()->height());
}

// A title wider than the screen: the title box shows the template's name from its start
// (not its end, cut at the left).
TEST_F(WindowsBeyondTheScreen, TitleWiderThanTheTedsWindowShowsItsBeginning)
{
    const int t = longestTitle();
    ScopedFont font(sizeWiderThan(QString::fromLatin1(core::tdlState().Templates[static_cast<std::size_t>(t)].name.c_str()),
                                  screenArea().width()));
    editor::TedsF w;
    ASSERT_TRUE(w.doc.GetNewTemplate(t));
    w.reqShow();
    ts::settleLayouts();
    ASSERT_FALSE(ts::showsWhole(*w.TitleBox)) << "the case needs a title wider than the screen";
    EXPECT_LE(w.frameGeometry().width(), screenArea().width());
    EXPECT_TRUE(showsBeginning(*w.TitleBox)) << w.TitleBox->text().toStdString();
}

// The switch window of a DS2406 whose TEDS has the library's longest title, at the
// default font and in a font that makes the title wider than the screen: whole when it
// fits the screen, from its beginning when it does not; the window within the screen.
TEST_F(WindowsBeyondTheScreen, SwitchWindowTitleWholeOrFromItsBeginning)
{
    const int t = longestTitle();
    const QString title = QString::fromLatin1(core::tdlState().Templates[static_cast<std::size_t>(t)].name.c_str());
    ts::TempDir files;
    {
        editor::TedsF maker;
        ASSERT_TRUE(maker.doc.GetNewTemplate(t));
        ASSERT_TRUE(core::SaveMemoryFile(maker.doc.TedsBuf, files / "long.tds"));
    }
    load("node 12:000000000001\ninputs 1 1\ntds long.tds\n", files.path());
    scan();
    // Opened from the tree: bound again to its record, then shown.
    shell::SwitchF* sw = nullptr;
    int index = -1;
    for (int k = 0; k <= shell::TrLast(); ++k)
        if (auto* s = dynamic_cast<shell::SwitchF*>(shell::record(k)->obj.get())) {
            sw = s;
            index = k;
        }
    ASSERT_NE(sw, nullptr);
    sw->Inititiate(index);
    shell::jobQueue().tick();
    for (bool wider : {false, true}) {
        std::unique_ptr<ScopedFont> font;
        if (wider)
            font = std::make_unique<ScopedFont>(sizeWiderThan(title, screenArea().width()));
        sw->reqShow();
        sw->sync();
        ts::settleLayouts();
        ASSERT_EQ(sw->Info1->text(), title);
        EXPECT_LE(sw->frameGeometry().width(), screenArea().width());
        if (QFontMetrics(sw->Info1->font()).horizontalAdvance(title) < screenArea().width() * 3 / 4)
            EXPECT_TRUE(ts::showsWhole(*sw->Info1)) << "at the default font";
        else
            EXPECT_TRUE(showsBeginning(*sw->Info1)) << "title wider than the screen";
        sw->hide();
    }
}

} // namespace
