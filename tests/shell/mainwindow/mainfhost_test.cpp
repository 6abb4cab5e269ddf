// The program's host of the main window: once set, every question of the window, from its
// jobs, its menus and its close box, goes to it; taken away, the hook functions answer again.

#include "tests/shell/mainwindow/mainffixture.h"

#include <QAction>

namespace mainf_test {
namespace {

struct RecordingHost final : shell::MainHost {
    std::vector<std::string> calls;
    bool mayGo = false;
    void clearTrace() override { calls.push_back("clear"); }
    void selectTreeNode(shell::NodeTree::Handle node) override { calls.push_back("select " + std::to_string(node)); }
    void updateNodes() override { calls.push_back("update"); }
    void endProgram(int code) override { calls.push_back("end " + std::to_string(code)); }
    bool mayEnd() override
    {
        calls.push_back("may end");
        return mayGo;
    }
    bool showHelp(int topic) override
    {
        calls.push_back("help " + std::to_string(topic));
        return true;
    }
};

class MainFHostTest : public MainFTest {};

TEST_F(MainFHostTest, EveryQuestionGoesToTheHostSet)
{
    formLoad();
    int functions = 0;
    main->UpdateNodes = [&] { ++functions; };
    main->DoTreeview_Select = [&] { ++functions; };
    main->mayEnd = [&] {
        ++functions;
        return true;
    };
    main->showHelp = [&](int) { return bool(++functions); };
    RecordingHost host;
    main->setHost(&host);

    auto& q = shell::jobQueue();
    q.Insert_In_JobQue(*main, shell::MainJob::RescanAll, 0LL);
    main->SelectedTreeNode = 7;
    q.Insert_In_JobQue(*main, shell::MainJob::SelectTreeNode, 0LL);
    tick();
    tick();
    main->mnuhelp[0]->trigger();
    main->mnufile_Click(1);  // File > "Exit": the host says no
    main->show();
    main->close();  // the close box: no again
    EXPECT_TRUE(main->isVisible());
    host.mayGo = true;
    main->mnufile_Click(1);
    main->EndProgram(3);  // once only
    EXPECT_EQ(host.calls, (std::vector<std::string>{"update", "select 7", "help 10", "may end", "may end", "may end",
                                                     "end 0"}));
    EXPECT_EQ(functions, 0);
    EXPECT_TRUE(ended.empty());
}

TEST_F(MainFHostTest, WithoutAHostTheHookFunctionsAnswerAgain)
{
    RecordingHost host;
    main->setHost(&host);
    main->setHost(nullptr);
    formLoad();
    int updates = 0;
    main->UpdateNodes = [&] { ++updates; };
    shell::jobQueue().Insert_In_JobQue(*main, shell::MainJob::RescanAll, 0LL);
    tick();
    main->mnufile_Click(1);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(ended, (std::vector<int>{0}));
    EXPECT_TRUE(host.calls.empty());
}

} // namespace
} // namespace mainf_test
