#include "platform/qt/qtservices.h"

#include "platform/base/clock.h"
#include "platform/qt/cp1252.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace platform {

void setMessageText(QMessageBox& box, const QString& prompt)
{
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    // The box's own limits: it wraps past the soft one and cuts at the hard one; the
    // icon and the margins take their share of the hard one.
    const int soft = std::min(screenWidth / 2, 500);
    const int hard = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    const int room = hard - 120;
    const QFontMetrics fm(box.font());
    const QStringList lines = QString(prompt).replace("\r\n", "\n").split('\n');
    bool keep = false;
    for (const QString& l : lines) {
        const int w = fm.horizontalAdvance(l);
        keep = keep || (w > soft && w <= room);
    }
    if (!keep) {
        box.setTextFormat(Qt::PlainText);
        box.setText(prompt);
        return;
    }
    QString html;
    for (const QString& l : lines) {
        const bool whole = fm.horizontalAdvance(l) <= room;
        html += QStringLiteral("<p style=\"margin:0; white-space:%1\">%2</p>")
                    .arg(whole ? "pre" : "pre-wrap", l.isEmpty() ? QStringLiteral("&nbsp;") : l.toHtmlEscaped());
    }
    box.setTextFormat(Qt::RichText);
    box.setText(html);
}

int QtMessageBox::show(const std::string& prompt, int buttons, const std::string& title)
{
    QMessageBox box;
    box.setWindowTitle(title.empty() ? QStringLiteral("Tedsmith") : fromCp1252(title));
    setMessageText(box, fromCp1252(prompt));
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

EventPump qtEventPump()
{
    return [](Millis maxWait) {
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
    };
}

} // namespace platform
