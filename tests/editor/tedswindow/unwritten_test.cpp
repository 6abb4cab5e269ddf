// Unwritten TEDS changes are never replaced or dropped without the user's answer: a node
// that goes (F5, the scan) leaves its TEDS in a window of its own, which no later create,
// read or orphan touches; Tools > "Create empty TEDS", File > "Read TEDS", Template >
// "New TEDS template", a kept window's close box and the program's end ask (save in a
// file, let go, cancel) about a TEDS whose changes exist nowhere else. An unanswered
// question (the request server answers Cancel) loses nothing.

#include "tedsfixture.h"

#include "core/teds/memoryfile.h"
#include "tests/kit/scriptedmessagebox.h"
#include "editor/tedswindow/editorstate.h"
#include "tests/support/scripteddialogs.h"

#include <QApplication>
#include <QLineEdit>

#include <map>

namespace {

using namespace teds_test;

constexpr const char* kLocation = "Measurement location ID";
constexpr int kQuestion = platform::MsgYesNoCancel | platform::MsgExclamation;

// The File menu and a create dialog that gives its owner an empty TEDS of one template.
struct Dialogs final : editor::StandInTedsNeighbours {
    void fileMenu(int item, editor::TedsF& w) override { editor::runFileMenu(item, w); }
    bool runTemplateDialog(int mode, editor::TedsF& owner) override
    {
        runs.push_back(mode);
        if (mode != 0 || create < 0 || !owner.doc.GetNewTemplate(create))
            return false;
        owner.syncDocument();
        return true;
    }
    int create = -1;
    std::vector<int> runs;
};

class Unwritten : public TedsWindowTest {
protected:
    Unwritten()
    {
        editor::setTedsNeighbours(&dialogs);
        core::coreState().IniPath = dir / "QT8061_Inifile.txt";
        loadDemo();
        scan();
        dialogs.create = window(k4k)->ActualTemplate();
        box.clear();
    }
    static int rowOf(const editor::TedsF& w, const std::string& caption)
    {
        for (int k = 0; k < editor::kRowCount; ++k)
            if (w.doc.rows[static_cast<std::size_t>(k)].caption == caption)
                return k;
        return -1;
    }
    static std::string valueOf(const editor::TedsF& w, const std::string& caption = kLocation)
    {
        const int k = rowOf(w, caption);
        return k < 0 ? std::string("(no row)") : w.doc.rows[static_cast<std::size_t>(k)].value;
    }
    // Types value into the row and leaves the box.
    static void type(editor::TedsF& w, const std::string& value, const std::string& caption = kLocation)
    {
        const int k = rowOf(w, caption);
        ASSERT_GE(k, 0) << caption;
        w.Col2[k]->setText(QString::fromStdString(value));
        w.Col2_LostFocus(k);
    }
    editor::TedsF& shared() { return factory.shared(); }
    // Tools > "Create empty TEDS" and main File > "Read TEDS", as the program wires them.
    void createEmptyTeds() { shared().CreateNewTEDS(shared(), "Not assigned", true); }
    bool readTedsFile() { return shared().Open_file(shared(), true); }
    // F5: every node dropped; the windows go once no member runs.
    void dropAllNodes()
    {
        shell::removeAllTransducers();
        shell::collectDeferred();
        QApplication::processEvents();  // the notices of kept TEDS
    }
    std::vector<const platform::ShownMessage*> questions() const
    {
        std::vector<const platform::ShownMessage*> out;
        for (const auto& m : box.shown)
            if (m.buttons == kQuestion)
                out.push_back(&m);
        return out;
    }

    Dialogs dialogs;
    testing_support::TempDir dir;
    testing_support::ScriptedFileDialogs files;
};

TEST_F(Unwritten, ANodeThatGoesLeavesItsTedsInAWindowOfItsOwnThatNothingReplaces)
{
    type(*window(k4k), "321");
    type(*window(kSwitch), "77", "Serial number");
    ASSERT_TRUE(window(k4k)->hasUnwrittenChanges());
    ASSERT_TRUE(window(kSwitch)->hasUnwrittenChanges());
    dropAllNodes();

    const auto& kept = factory.keptWindows();
    ASSERT_EQ(kept.size(), 2u);
    std::map<std::string, editor::TedsF*> byId;
    for (const auto& w : kept)
        byId[w->ActualNodeID] = w.get();
    ASSERT_EQ(byId.count(k4k), 1u);
    ASSERT_EQ(byId.count(kSwitch), 1u);
    EXPECT_EQ(valueOf(*byId[k4k]), "321");
    EXPECT_EQ(valueOf(*byId[kSwitch], "Serial number"), "77");
    for (const auto& w : kept) {
        EXPECT_TRUE(w->keptOrphan);
        EXPECT_FALSE(w->doc.LinkedToNode);
        EXPECT_TRUE(w->holdsUnsavedChanges());
        EXPECT_NE(w->windowTitle().toStdString().find(w->ActualNodeID), std::string::npos);
    }
    // The shared window is not one of them.
    EXPECT_EQ(shared().doc.TedsBuf.Size, 0);
    ASSERT_EQ(box.shown.size(), 2u);
    for (const auto& m : box.shown)
        EXPECT_NE(m.prompt.find("is kept in a TEDS window of its own"), std::string::npos) << m.prompt;

    // Create empty TEDS and Read TEDS go to the shared window; the kept ones stay.
    box.clear();
    createEmptyTeds();
    EXPECT_EQ(dialogs.runs, std::vector<int>{0});
    EXPECT_TRUE(shared().doc.TedsShown);
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    EXPECT_TRUE(readTedsFile());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(valueOf(*byId[k4k]), "321");
    EXPECT_EQ(valueOf(*byId[kSwitch], "Serial number"), "77");

    // The nodes come back; the next node that goes with edits gets a third window.
    scan();
    type(*window(k4k), "654");
    net->removeNode(*platform::sim::RomCode::fromNodeId(k4k));
    for (int i = 0; i < 4 && listed(k4k); ++i)
        scan();
    ASSERT_FALSE(listed(k4k));
    shell::collectDeferred();
    QApplication::processEvents();
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(valueOf(*kept[2]), "654");
    EXPECT_EQ(valueOf(*byId[k4k]), "321");
    EXPECT_EQ(valueOf(*byId[kSwitch], "Serial number"), "77");
}

TEST_F(Unwritten, CreateAndReadAskBeforeReplacingUnsavedWork)
{
    struct Case {
        const char* name;
        bool create;           // Create empty TEDS, else Read TEDS
        int answer;            // to the question
        bool saveChosen;       // Yes: the save dialog chooses a file (else it is cancelled)
        bool replaced;
    };
    const Case cases[] = {
        {"create, cancel", true, platform::MsgCancel, false, false},
        {"create, let go", true, platform::MsgNo, false, true},
        {"create, save", true, platform::MsgYes, true, true},
        {"create, save dialog cancelled", true, platform::MsgYes, false, false},
        {"read, cancel", false, platform::MsgCancel, false, false},
        {"read, let go", false, platform::MsgNo, false, true},
        {"read, save", false, platform::MsgYes, true, true},
        {"read, save dialog cancelled", false, platform::MsgYes, false, false},
    };
    int saved = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The shared window holds a new TEDS with an edit.
        createEmptyTeds();
        type(shared(), "1234");
        ASSERT_TRUE(shared().holdsUnsavedChanges());
        const core::TedsBuf edited = shared().doc.TedsBuf;
        box.clear();
        dialogs.runs.clear();
        files.requests.clear();
        box.queue(c.answer);
        const auto save = dir / ("saved" + std::to_string(saved) + ".tds");
        if (c.answer == platform::MsgYes) {
            if (c.saveChosen)
                files.choose(save);
            else
                files.cancel();
        }
        if (!c.create)
            files.choose(testing_support::dataDir() / "demo-bridge.tds");
        if (c.create)
            createEmptyTeds();
        else
            readTedsFile();

        const auto asked = questions();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_NE(asked[0]->prompt.find("neither written to the node nor saved in a file"), std::string::npos);
        EXPECT_TRUE(shared().isVisible());
        const bool wentOn = c.create ? !dialogs.runs.empty() : files.requests.size() == (c.answer == platform::MsgYes ? 2u : 1u);
        EXPECT_EQ(wentOn, c.replaced);
        EXPECT_EQ(valueOf(shared()) == "1234", !c.replaced);
        if (c.answer == platform::MsgYes && c.saveChosen) {
            core::TedsBuf back;
            ASSERT_TRUE(core::LoadMemoryFile(back, save));
            for (int i = 1; i <= edited.Size; ++i)
                ASSERT_EQ(back.Bytes[static_cast<std::size_t>(i)], edited.Bytes[static_cast<std::size_t>(i)]) << i;
            ++saved;
        }
        files.answers.clear();
        box.clear();
        // Let the window go for the next case.
        box.queue(platform::MsgNo);
    }
}

TEST_F(Unwritten, NothingToLoseIsReplacedWithoutAQuestion)
{
    // A new empty TEDS, a file just read or saved: each exists elsewhere.
    createEmptyTeds();
    createEmptyTeds();
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    ASSERT_TRUE(readTedsFile());
    files.choose(testing_support::dataDir() / "demo-bridge.tds");
    ASSERT_TRUE(readTedsFile());
    type(shared(), "12");
    files.choose(dir / "twelve.tds");
    ASSERT_TRUE(shared().SaveTedsFile());
    createEmptyTeds();
    EXPECT_TRUE(questions().empty());
    EXPECT_EQ(dialogs.runs.size(), 3u);

    // Text still in a value box counts as an edit.
    const int k = rowOf(shared(), kLocation);
    ASSERT_GE(k, 0);
    shared().doc.setRowValue(k, "99");
    box.queue(platform::MsgCancel);
    createEmptyTeds();
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(dialogs.runs.size(), 3u);
    EXPECT_EQ(valueOf(shared()), "99");
}

TEST_F(Unwritten, ANewTemplateInANodeWindowAsksToo)
{
    editor::TedsF* w = window(k4k);
    type(*w, "321");
    box.queue(platform::MsgCancel);
    w->mnuTemplate_Click(editor::TemplateNew);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_TRUE(dialogs.runs.empty());
    EXPECT_EQ(valueOf(*w), "321");
    box.clear();
    box.queue(platform::MsgNo);
    w->mnuTemplate_Click(editor::TemplateNew);
    EXPECT_EQ(dialogs.runs, std::vector<int>{0});
}

TEST_F(Unwritten, AKeptWindowsCloseBoxAsksAndTheWindowKeepsTheNextOrphan)
{
    type(*window(k4k), "321");
    dropAllNodes();
    ASSERT_EQ(factory.keptWindows().size(), 1u);
    editor::TedsF& kept = *factory.keptWindows()[0];
    ASSERT_TRUE(kept.isVisible());
    box.clear();

    box.queue(platform::MsgCancel);
    kept.close();
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_TRUE(kept.isVisible());
    EXPECT_EQ(valueOf(kept), "321");

    box.queue(platform::MsgNo);
    kept.close();
    EXPECT_FALSE(kept.isVisible());
    EXPECT_FALSE(kept.holdsUnsavedChanges());
    // Let go: nothing asks about it at the end, and the next orphan reuses the window.
    box.clear();
    EXPECT_TRUE(factory.mayEndProgram());
    EXPECT_TRUE(questions().empty());
    scan();
    type(*window(k4k), "654");
    dropAllNodes();
    ASSERT_EQ(factory.keptWindows().size(), 1u);
    EXPECT_EQ(valueOf(kept), "654");
    EXPECT_TRUE(kept.isVisible());
}

TEST_F(Unwritten, TheEndAsksAboutEveryTedsWithUnsavedChanges)
{
    // A node window, the shared window and a kept window hold unsaved edits; another node
    // window holds none.
    type(*window(k4k), "321");
    createEmptyTeds();
    type(shared(), "1234");
    type(*window(kSwitch), "77", "Serial number");
    shell::Remove_transducer(kSwitch);
    shell::collectDeferred();
    QApplication::processEvents();
    ASSERT_EQ(factory.keptWindows().size(), 1u);
    box.clear();

    // Cancel at the second question: the program goes on, nothing changed.
    box.queue(platform::MsgNo);
    box.queue(platform::MsgCancel);
    EXPECT_FALSE(factory.mayEndProgram());
    auto asked = questions();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0]->prompt.find(k4k), std::string::npos);
    EXPECT_EQ(valueOf(*window(k4k)), "321");
    EXPECT_EQ(valueOf(shared()), "1234");

    // Unanswered (the request server's quiet mode answers Cancel): the program goes on.
    box.clear();
    box.queue(platform::MsgCancel);
    EXPECT_FALSE(factory.mayEndProgram());
    EXPECT_EQ(questions().size(), 1u);

    // Saved, let go, let go: the program may end.
    box.clear();
    files.choose(dir / "node.tds");
    box.queue(platform::MsgYes);
    box.queue(platform::MsgNo);
    box.queue(platform::MsgNo);
    EXPECT_TRUE(factory.mayEndProgram());
    asked = questions();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_NE(asked[2]->prompt.find(kSwitch), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "node.tds"));
}

} // namespace
