#pragma once
// Scripted file dialogs and printer chooser: answers from a queue (Cancel when it is
// empty), every request recorded. A chosen printer prints into a PDF file.

#include "platform/base/filedialog.h"
#include "platform/base/scopedhook.h"
#include "platform/qt/qtfiledialogs.h"

#include <QPageSize>

#include <deque>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

class ScriptedFileDialogs final : public platform::FileDialogService {
public:
    ScriptedFileDialogs() = default;
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    platform::FileDialogResult show(const platform::FileDialogRequest& request) override;
    // The next dialog chooses path (the default extension added as a dialog adds it).
    void choose(const std::filesystem::path& path);
    void cancel();
    void fail(const std::string& error);
    // Called while a dialog is open (to look at the job queue, say).
    std::function<void(const platform::FileDialogRequest&)> onShow;

    std::deque<platform::FileDialogResult> answers;
    std::vector<platform::FileDialogRequest> requests;

private:
    // The program's file dialogs for the object's life.
    platform::ScopedHook<platform::FileDialogService*> hook_{&platform::setFileDialogs, this};
};

class ScriptedPrinter final : public platform::PrinterChooser {
public:
    ScriptedPrinter() = default;
    ScriptedPrinter(const ScriptedPrinter&) = delete;
    ScriptedPrinter& operator=(const ScriptedPrinter&) = delete;

    platform::FileDialogResult choose(QPrinter& printer, const std::string& title, QWidget* parent) override;
    // The next print goes to that PDF file, on that paper.
    void printTo(const std::filesystem::path& pdf, const QPageSize& paper = QPageSize(QPageSize::A4));
    void cancel();
    void fail(const std::string& error);
    std::function<void()> onShow;

    struct Answer {
        platform::FileDialogResult result;
        std::filesystem::path pdf;
        QPageSize paper;
    };
    std::deque<Answer> answers;
    std::vector<std::string> titles;

private:
    // The program's printer chooser for the object's life.
    platform::ScopedHook<platform::PrinterChooser*> hook_{&platform::setPrinterChooser, this};
};

} // namespace testing_support
