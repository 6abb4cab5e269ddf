#pragma once
// The TEDS report: what "Print TEDS" prints and "Save TEDS as rtf document" saves. It is
// written into a RichTextBox from the TEDS document as shown (title, node id, row
// captions and values or descriptions, CRC state) and the actual template's record:
// program title and version, template, abstract, description file, ids, allocated bits,
// the date printed, then one line per row. The template's lines and the rows are laid
// out to fit the report's text width (reportlayout.h): each block at 12 points, or as
// much smaller as keeps every value beside its caption.

#include "editor/model/tedsdocument.h"
#include "editor/report/richtextbox.h"

#include <QDateTime>

#include <functional>
#include <string>

namespace editor {

// The captions of the window's labels that the report copies.
struct ReportLabels {
    std::string nodeIdCaption = "Node ID";
    std::string crcCaption = "CRC check";
};

// The template's lines and the rows are never set smaller than this (points).
constexpr double kSmallestRowSize = 9;

// Empties the box and writes the report; printed is the time the report gives.
void BuildTedsReport(RichTextBox& box, const TedsDocument& doc, const QDateTime& printed,
                     const ReportLabels& labels = {});

// "mmm d, yyyy hh:mm:ss" with the month's short name of the system language.
QString reportTimeText(const QDateTime& t);

// The report's clock: the current time unless a test set another one (nullptr restores it).
void setReportClock(std::function<QDateTime()> clock);
QDateTime reportNow();

} // namespace editor
