// What the TEDS window's menus do, driven without a window: the commands work on a
// document and the menu state and ask a recording view for the rest.

#include "editor/model/tedsdocument.h"
#include "editor/tedswindow/tedscommands.h"
#include "tests/support/virtualservices.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using editor::TedsJob;

struct RecordingView final : editor::TedsView {
    void syncMenus() override { ++menuSyncs; }
    void syncDocument() override { ++documentSyncs; }
    void parkFocus() override { ++parks; }
    void reqShow() override { ++shows; }
    void postJob(TedsJob job) override { jobs.push_back(job); }
    bool mayReplaceTeds() override
    {
        ++replaceAsked;
        return mayReplace;
    }
    void noteKept() override { ++kept; }
    void fileMenu(int item) override { fileItems.push_back(item); }
    bool runTemplateDialog(int mode) override
    {
        dialogs.push_back(mode);
        return dialogGives;
    }
    void showTransferFunction() override {}
    void UpdateInfo() override {}

    bool mayReplace = true;
    bool dialogGives = true;
    int menuSyncs = 0, documentSyncs = 0, parks = 0, shows = 0, replaceAsked = 0, kept = 0;
    std::vector<TedsJob> jobs;
    std::vector<int> fileItems;
    std::vector<int> dialogs;
};

struct TedsCommandsTest : testing::Test, testing_support::VirtualServices {
    editor::TedsDocument doc;
    editor::TedsMenus menus;
    RecordingView view;
    int help = 0;
    editor::TedsCommands commands{doc, menus, view, help};
};

TEST_F(TedsCommandsTest, NodeItemsPostTheirJobsAndParkTheFocus)
{
    struct Row {
        const char* name;
        int item;
        int answer;  // to the fill question, 0: none asked
        std::vector<TedsJob> jobs;
        bool markedUnread;
    };
    const std::vector<Row> rows = {
        {"read", editor::NodeRead, 0, {TedsJob::ReadNode}, true},
        {"read, rom forced", editor::NodeReadForce, 0, {TedsJob::ReadNodeForce}, true},
        {"write", editor::NodeWrite, 0, {TedsJob::WriteNode}, false},
        {"fill, confirmed", editor::NodeFill, platform::MsgOK, {TedsJob::FillMemory}, false},
        {"fill, cancelled", editor::NodeFill, platform::MsgCancel, {}, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        view = RecordingView{};
        box.clear();
        doc.TedsBuf.Status = core::TedsStatusReadOk;
        if (r.answer)
            box.queue(r.answer);
        commands.nodeMenu(r.item);
        EXPECT_EQ(view.jobs, r.jobs);
        EXPECT_EQ(doc.TedsBuf.Status, r.markedUnread ? core::TedsStatusNotRead : core::TedsStatusReadOk);
        EXPECT_EQ(box.shown.size(), r.answer ? 1u : 0u);
        EXPECT_EQ(view.parks, 1);
    }
}

TEST_F(TedsCommandsTest, NewTedsRunsTheDialogOnlyWhenTheTedsMayGo)
{
    // The user keeps the unsaved TEDS: no dialog, nothing marked changed.
    view.mayReplace = false;
    commands.templateMenu(editor::TemplateNew);
    EXPECT_EQ(view.replaceAsked, 1);
    EXPECT_TRUE(view.dialogs.empty());
    EXPECT_FALSE(doc.TedsChanged);
    EXPECT_EQ(view.kept, 0);

    // It may go: reset to read only, the create dialog, the new TEDS noted as kept.
    view.mayReplace = true;
    menus.mnuTemplate[editor::TemplateReadOnly].checked = false;
    commands.templateMenu(editor::TemplateNew);
    EXPECT_EQ(view.dialogs, std::vector<int>{0});
    EXPECT_TRUE(menus.mnuTemplate[editor::TemplateReadOnly].checked);
    EXPECT_TRUE(doc.TedsChanged);
    EXPECT_EQ(view.kept, 1);

    // A dialog that gives no template notes nothing kept.
    view.dialogGives = false;
    commands.templateMenu(editor::TemplateNew);
    EXPECT_EQ(view.kept, 1);
}

} // namespace
