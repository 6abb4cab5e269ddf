#include "app/application.h"

#include "app/library.h"
#include "app/splash.h"
#include "core/startup/startup.h"
#include "core/base/message.h"
#include "platform/qt/qtservices.h"
#include "shell/mainwindow/mainf.h"
#include "shell/trace/debugf.h"

#include <QApplication>

#include <memory>

namespace app {

namespace {

class QtStartupUi final : public core::StartupUi {
public:
    void showSplash() override
    {
        splash_ = std::make_unique<Starting>();
        splash_->show();
    }
    void hideSplash() override { splash_.reset(); }
    void showMainWindow() override
    {
        main_ = std::make_unique<shell::MainF>();
        main_->Form_Load();
        main_->show();
        main_->parkFocus();
        platform::processEvents();
    }
    void postInitialize() override { main_->postInitialize(); }
    void setNoHelp() override { main_->mnuhelp[0]->setText("No help available"); }

    std::unique_ptr<shell::MainF> main_;

private:
    std::unique_ptr<Starting> splash_;
};

} // namespace

int run(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    QApplication qapp(argc, argv);
    platform::QtMessageBox box;
    platform::setMessageBox(&box);
    platform::installQtEventPump();
    shell::TraceHost trace;
    QtStartupUi ui;
    int rc = 0;
    try {
        const auto res = core::Main(args, ui, templateLibrary());
        rc = res.showWindow ? qapp.exec() : res.exitCode;
    } catch (const core::ProgramEnd& end) {
        rc = end.exitCode;
    }
    ui.main_.reset();
    platform::setEventPump(nullptr);
    platform::setMessageBox(nullptr);
    return rc;
}

} // namespace app
