#include "editor/report/tedsreport.h"

#include "core/base/corestate.h"
#include "core/tdl/tdlstate.h"
#include "platform/qt/cp1252.h"

#include <QLocale>

#include <algorithm>

namespace editor {

namespace {

std::function<QDateTime()>& clockFn()
{
    static std::function<QDateTime()> fn;
    return fn;
}

bool containsUser(std::string title)
{
    std::transform(title.begin(), title.end(), title.begin(), [](unsigned char c) { return std::tolower(c); });
    return title.find("user") != std::string::npos;
}

} // namespace

void setReportClock(std::function<QDateTime()> clock) { clockFn() = std::move(clock); }
QDateTime reportNow() { return clockFn() ? clockFn()() : QDateTime::currentDateTime(); }

std::string reportTimeText(const QDateTime& t)
{
    const QDate d = t.date();
    const QString month = QLocale().monthName(d.month(), QLocale::ShortFormat);
    return platform::toCp1252(month) + " " + std::to_string(d.day()) + ", " + std::to_string(d.year()) + " " +
           t.time().toString("hh:mm:ss").toStdString();
}

void BuildTedsReport(RichTextBox& box, const TedsDocument& doc, const QDateTime& printed, const ReportLabels& labels)
{
    // Every line a paragraph at the end; a size of 0 leaves the size as it is.
    auto line = [&box](const std::string& text, bool bold, int size) {
        box.addTEDS_to_print(text, "", bold, false, false, size, 0, true, true);
    };
    const auto& lib = core::tdlState();
    const core::TemplateRecord* t = doc.hasLibraryTemplate()
                                        ? &lib.Templates[static_cast<std::size_t>(doc.ActualTemplate())]
                                        : nullptr;
    const std::string tab = "\t";

    box.clear();
    box.ClearTab();
    box.setTab(1);
    line(core::coreState().ProgramTitle, true, 20);
    line("QT 8061 version: " + core::coreState().ProgramVersion, false, 12);
    line("", false, 0);
    line("Used template:", true, 12);
    line(doc.Title, false, 12);
    if (t && t->abstractCount > 0) {
        std::string a = "Abstract:";
        const int count = std::min(t->abstractCount, static_cast<int>(t->abstractLines.size()));
        for (int i = 0; i < count; ++i)
            a += tab + t->abstractLines[static_cast<std::size_t>(i)];
        line(a, false, 12);
    }
    box.ClearTab();
    box.setTab(9);
    if (t) {
        line("Description file: " + tab + t->file, false, 12);
        if (!t->validated)
            line("Template description file is not valid", false, 12);
        if (t->UTIDT == 0)
            line("Standard version: Beta template" + tab + "UTIDT = 0", false, 12);
        else if (t->UTIDT == 1)
            line("Standard version: IEEE P1451.4 v 0.9x" + tab + "(UTIDT = 1)", false, 12);
        else
            line("UTIDT: " + std::to_string(t->UTIDT), false, 12);
        line("UTID: " + t->UTID.text(), false, 12);
        const core::TemplateRecord* group = nullptr;
        for (int i = 0; i <= lib.TemplateLast && i < static_cast<int>(lib.Templates.size()); ++i)
            if (lib.Templates[static_cast<std::size_t>(i)].UTID == t->UGID) {
                group = &lib.Templates[static_cast<std::size_t>(i)];
                break;
            }
        if (group)
            line("UGID: " + t->UGID.text() + tab + group->name, false, 12);
        else
            line("UGID: " + tab + t->UGID.text(), false, 12);
        const int lastField = std::clamp(t->fieldLast, 0, core::kFieldsMax - 1);
        const auto& last = t->fields[static_cast<std::size_t>(lastField)];
        if (t->fieldLast >= 0 && containsUser(last.title))
            line("Allocated bits excl. user: " + tab + std::to_string(t->lengthBits - last.bitCount), false, 12);
        else
            line("Allocated bits" + tab + std::to_string(t->lengthBits), false, 12);
    }
    box.ClearTab();
    box.setTab(12.5);
    line("", false, 0);
    line("TEDS printed: " + reportTimeText(printed), false, 12);
    if (doc.NodeIdText != doc.ActualNodeID)
        line("TEDS is not linked to node", false, 12);
    line("", false, 0);
    line(doc.Title, true, 14);
    line(labels.nodeIdCaption + tab + doc.nodeIdShown(), false, 12);
    const int rows = t ? std::min(t->fieldLast, kRowCount - 1) : -1;
    for (int k = 0; k <= rows; ++k)
        line(doc.rows[static_cast<std::size_t>(k)].caption + tab + doc.shownText(k), false, 12);
    line(labels.crcCaption + tab + doc.crcShown(), false, 12);
}

} // namespace editor
