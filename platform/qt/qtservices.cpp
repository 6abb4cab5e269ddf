#include "platform/qt/qtservices.h"

#include "platform/base/clock.h"
#include "platform/qt/cp1252.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

namespace platform {

int QtMessageBox::show(const std::string& prompt, int buttons, const std::string& title)
{
    QMessageBox box;
    box.setWindowTitle(title.empty() ? QStringLiteral("Tedsmith") : fromCp1252(title));
    box.setText(fromCp1252(prompt));
    switch (buttons & 0x70) {
    case MsgCritical: box.setIcon(QMessageBox::Critical); break;
    case MsgQuestion: box.setIcon(QMessageBox::Question); break;
    case MsgExclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    using B = QMessageBox::StandardButton;
    struct Map { B b; int answer; };
    std::vector<Map> set;
    switch (buttons & 7) {
    case MsgOkCancel: set = {{B::Ok, MsgOK}, {B::Cancel, MsgCancel}}; break;
    case MsgAbortRetryIgnore: set = {{B::Abort, MsgAbort}, {B::Retry, MsgRetry}, {B::Ignore, MsgIgnore}}; break;
    case MsgYesNoCancel: set = {{B::Yes, MsgYes}, {B::No, MsgNo}, {B::Cancel, MsgCancel}}; break;
    case MsgYesNo: set = {{B::Yes, MsgYes}, {B::No, MsgNo}}; break;
    case MsgRetryCancel: set = {{B::Retry, MsgRetry}, {B::Cancel, MsgCancel}}; break;
    default: set = {{B::Ok, MsgOK}}; break;
    }
    for (const auto& m : set)
        box.addButton(m.b);
    box.setDefaultButton(set.front().b);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& m : set)
        if (m.b == clicked)
            return m.answer;
    // Closed with Escape or the title bar: the set's cancel-like answer.
    if ((buttons & 7) == MsgOkOnly)
        return MsgOK;
    return set.back().answer;
}

void installQtEventPump()
{
    setEventPump([](Millis maxWait) {
        if (!QCoreApplication::instance())
            return;
        if (maxWait.count() <= 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            return;
        }
        // Sleep in the event loop until an event or the time is up: no CPU while idle.
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(maxWait.count()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    });
}

} // namespace platform
