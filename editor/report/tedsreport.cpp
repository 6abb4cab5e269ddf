#include "editor/report/tedsreport.h"

#include "core/base/corestate.h"
#include "core/tdl/tdlstate.h"
#include "platform/qt/cp1252.h"

#include "editor/report/reportlayout.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

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

QString reportTimeText(const QDateTime& t)
{
    const QDate d = t.date();
    const QString month = QLocale().monthName(d.month(), QLocale::ShortFormat);
    return month + QString(" %1, %2 ").arg(d.day()).arg(d.year()) + t.time().toString("hh:mm:ss");
}

namespace {

// One "caption TAB value" line of a block, or a line without a tab (value empty).
struct BlockLine {
    std::string caption;
    std::string value;
    bool hasTab = true;
};

// A block's lines at 12 points or smaller (down to minSize) in the box's font.
ColumnFit fitBlock(const RichTextBox& box, const std::vector<BlockLine>& lines, double minSize)
{
    std::vector<ColumnLine> columns;
    for (const auto& l : lines)
        columns.push_back({platform::fromCp1252(l.caption), platform::fromCp1252(l.value), l.hasTab});
    return fitColumns(columns, box.document().defaultFont().family(), 12, minSize);
}

// Writes a block, each line with the tab stop and hanging indent of its fit.
void writeBlock(RichTextBox& box, const std::vector<BlockLine>& lines, const ColumnFit& fit)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        box.ClearTab();
        box.setTabTwips(fit.tabs[i]);
        box.setHangingIndent(lines[i].hasTab ? fit.tabs[i] : 0);
        const std::string text = lines[i].hasTab ? lines[i].caption + "\t" + lines[i].value : lines[i].caption;
        box.addText(platform::fromCp1252(text), "", false, false, false, fit.size, 0, true, true);
    }
}

} // namespace

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
        box.setHangingIndent(static_cast<int>(std::floor(1440 / 2.54)));  // wrapped lines under the first tab
        line(a, false, 12);
    }

    // The template's block: set smaller like the rows when that keeps a name (the UGID's
    // group head) on its line; a name too long for any size leaves the block at its size
    // and wraps below its column.
    std::vector<BlockLine> header;
    if (t) {
        header.push_back({"Description file: ", t->file});
        if (!t->validated)
            header.push_back({"Template description file is not valid", "", false});
        if (t->UTIDT == 0)
            header.push_back({"Standard version: Beta template", "UTIDT = 0"});
        else if (t->UTIDT == 1)
            header.push_back({"Standard version: IEEE P1451.4 v 0.9x", "(UTIDT = 1)"});
        else
            header.push_back({"UTIDT: " + std::to_string(t->UTIDT), "", false});
        header.push_back({"UTID: " + t->UTID.text(), "", false});
        const core::TemplateRecord* group = nullptr;
        for (int i = 0; i <= lib.TemplateLast && i < static_cast<int>(lib.Templates.size()); ++i)
            if (lib.Templates[static_cast<std::size_t>(i)].UTID == t->UGID) {
                group = &lib.Templates[static_cast<std::size_t>(i)];
                break;
            }
        if (group)
            header.push_back({"UGID: " + t->UGID.text(), group->name});
        else
            header.push_back({"UGID: ", t->UGID.text()});
        const int lastField = std::clamp(t->fieldLast, 0, core::kFieldsMax - 1);
        const auto& last = t->fields[static_cast<std::size_t>(lastField)];
        if (t->fieldLast >= 0 && containsUser(last.title))
            header.push_back({"Allocated bits excl. user: ", std::to_string(t->lengthBits - last.bitCount)});
        else
            header.push_back({"Allocated bits", std::to_string(t->lengthBits)});
    }
    ColumnFit headerFit = fitBlock(box, header, kSmallestRowSize);
    if (!std::all_of(headerFit.fits.begin(), headerFit.fits.end(), [](bool b) { return b; }))
        headerFit = fitBlock(box, header, 12);
    writeBlock(box, header, headerFit);

    // The TEDS block: every value beside its caption, the block set smaller when needed.
    std::vector<BlockLine> rows;
    rows.push_back({labels.nodeIdCaption, doc.nodeIdShown()});
    const int last = t ? std::min(t->fieldLast, kRowCount - 1) : -1;
    for (int k = 0; k <= last; ++k)
        rows.push_back({doc.rows[static_cast<std::size_t>(k)].caption, doc.shownText(k)});
    rows.push_back({labels.crcCaption, doc.crcShown()});
    const ColumnFit fit = fitBlock(box, rows, kSmallestRowSize);

    box.ClearTab();
    box.setTabTwips(fit.columnTwips);
    box.setHangingIndent(0);
    line("", false, 0);
    box.addText("TEDS printed: " + reportTimeText(printed), "", false, false, false, 12, 0, true, true);
    if (doc.NodeIdText != doc.ActualNodeID)
        line("TEDS is not linked to node", false, 12);
    line("", false, 0);
    line(doc.Title, true, 14);
    writeBlock(box, rows, fit);
}

} // namespace editor
