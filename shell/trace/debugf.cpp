#include "shell/trace/debugf.h"

#include "platform/qt/cp1252.h"

#include <QCloseEvent>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace shell {

DebugF::DebugF(QWidget* parent) : QWidget(parent), Text1(new QPlainTextEdit(this))
{
    setObjectName("DebugF");
    setWindowTitle("Tedsmith - Debug trace");
    setProperty("HelpContextID", 33);
    Text1->setObjectName("Text1");
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 8);
    lay->addWidget(Text1);
    resize(640, 400);
}

void DebugF::append(const std::string& msg)
{
    text_ += msg;
    text_ += "\r\n";
    QTextCursor c = Text1->textCursor();
    c.movePosition(QTextCursor::End);
    c.insertText(platform::fromCp1252Lines(msg) + "\n");
    Text1->setTextCursor(c);
}

void DebugF::clear()
{
    text_.clear();
    Text1->clear();
}

void DebugF::closeEvent(QCloseEvent* e)
{
    e->accept();
    if (onClosed)
        onClosed();
}

TraceHost::TraceHost() = default;

TraceHost::~TraceHost() = default;

DebugF& TraceHost::ensure()
{
    if (!win_) {
        win_ = std::make_unique<DebugF>();
        win_->onClosed = [this] {
            core::setTraceOn(false);
            if (onUserClosed)
                onUserClosed();
            // Discard after the close event has returned.
            QTimer::singleShot(0, [this] { win_.reset(); });
        };
    }
    return *win_;
}

void TraceHost::append(const std::string& line) { ensure().append(line); }

void TraceHost::clear() { ensure().clear(); }

void TraceHost::setTrace(bool on)
{
    core::setTraceOn(on);
    if (on) {
        ensure().show();
    } else {
        win_.reset();
    }
}

} // namespace shell
