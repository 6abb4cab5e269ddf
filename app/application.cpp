#include "app/application.h"

#include "core/base/message.h"
#include "platform/qt/qtservices.h"

#include <QApplication>

namespace app {

int run(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    platform::QtMessageBox box;
    platform::setMessageBox(&box);
    platform::installQtEventPump();
    int rc = 0;
    try {
        rc = qapp.exec();
    } catch (const core::ProgramEnd& end) {
        rc = end.exitCode;
    }
    platform::setEventPump(nullptr);
    platform::setMessageBox(nullptr);
    return rc;
}

} // namespace app
