#pragma once
// The trace window "Tedsmith - Debug trace": one text box that other parts append
// lines to. It exists from its first use until the trace is switched off or closed.

#include "core/base/trace.h"

#include <QPlainTextEdit>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace shell {

class DebugF final : public QWidget {
    Q_OBJECT
public:
    explicit DebugF(QWidget* parent = nullptr);

    void append(const std::string& msg);
    void clear();
    // The whole text, each line followed by CR LF (Windows-1252 bytes).
    const std::string& text() const { return text_; }

    QPlainTextEdit* Text1;
    std::function<void()> onClosed;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    std::string text_;
};

// Owns the one trace window; the program makes it the trace sink.
class TraceHost final : public core::TraceSink {
public:
    TraceHost();
    ~TraceHost() override;

    void append(const std::string& line) override;
    void clear();
    // Debug > "Trace ": on shows the window (creating it), off discards it with its text.
    void setTrace(bool on);
    DebugF* window() const { return win_.get(); }
    // Called when the user closes the window with its close box (the menu unticks itself).
    std::function<void()> onUserClosed;

private:
    DebugF& ensure();
    std::unique_ptr<DebugF> win_;
};

} // namespace shell
