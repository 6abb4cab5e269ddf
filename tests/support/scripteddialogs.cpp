#include "tests/support/scripteddialogs.h"

#include <QPrinter>

namespace testing_support {

platform::FileDialogResult ScriptedFileDialogs::show(const platform::FileDialogRequest& request)
{
    requests.push_back(request);
    if (onShow)
        onShow(request);
    if (answers.empty())
        return {};
    auto r = answers.front();
    answers.pop_front();
    if (r.outcome == platform::FileDialogResult::Chosen && request.kind != platform::FileDialogKind::Folder)
        r.path = platform::withDefaultExtension(r.path, request.defaultExt);
    return r;
}

void ScriptedFileDialogs::choose(const std::filesystem::path& path)
{
    answers.push_back({platform::FileDialogResult::Chosen, path.string(), {}});
}
void ScriptedFileDialogs::cancel() { answers.push_back({}); }
void ScriptedFileDialogs::fail(const std::string& error)
{
    answers.push_back({platform::FileDialogResult::Failed, {}, error});
}

platform::FileDialogResult ScriptedPrinter::choose(QPrinter& printer, const std::string& title, QWidget*)
{
    titles.push_back(title);
    if (onShow)
        onShow();
    if (answers.empty())
        return {};
    auto a = answers.front();
    answers.pop_front();
    if (a.result.outcome == platform::FileDialogResult::Chosen) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(a.pdf.string()));
        printer.setPageSize(a.paper);
    }
    return a.result;
}

void ScriptedPrinter::printTo(const std::filesystem::path& pdf, const QPageSize& paper)
{
    answers.push_back({{platform::FileDialogResult::Chosen, pdf.string(), {}}, pdf, paper});
}
void ScriptedPrinter::cancel() { answers.push_back({}); }
void ScriptedPrinter::fail(const std::string& error)
{
    answers.push_back({{platform::FileDialogResult::Failed, {}, error}, {}, {}});
}

} // namespace testing_support
