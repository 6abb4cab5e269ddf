#pragma once
// Where the report's texts stand on paper. Every report is laid out for one text width,
// the narrower of A4 and Letter inside 2 cm margins, so it prints whole on either paper;
// the RTF names its paper and margins and the printer gets the same margins. A block of
// "caption TAB value" lines gets one value column right of its widest caption (at most
// half the width; a longer caption gives its line a tab of its own). When a value would
// overrun the right margin, the block is set smaller, down to a floor; when that is not
// enough, such a value moves left, next to its caption. A line that does not fit even
// then wraps below its value (the value's tab is its hanging indent).

#include <QLocale>
#include <QString>

#include <vector>

namespace editor {

constexpr int kTwipsPerCm = 567;             // 1440 / 2.54, rounded
constexpr int kReportMarginTwips = 1134;     // 2 cm on every side
constexpr int kA4WidthTwips = 11906, kA4HeightTwips = 16838;
constexpr int kLetterWidthTwips = 12240, kLetterHeightTwips = 15840;
// The text width of every report: A4 inside its margins (Letter is wider).
constexpr int kReportTextWidthTwips = kA4WidthTwips - 2 * kReportMarginTwips;

struct ReportPaper {
    int widthTwips = kA4WidthTwips;
    int heightTwips = kA4HeightTwips;
    int marginTwips = kReportMarginTwips;
};
// The paper an RTF document names: Letter where the locale measures in US units, else A4.
ReportPaper reportPaper(const QLocale& locale = QLocale::system());

// Width of a text in twips, set in the given family, size and weight.
double textWidthTwips(const QString& text, const QString& family, double pointSize, bool bold = false);

struct ColumnLine {
    QString caption;  // before the tab
    QString value;    // after it
    bool hasTab = true;
};

struct ColumnFit {
    double size = 12;        // point size of every line of the block
    int columnTwips = 0;     // the block's value column
    std::vector<int> tabs;   // per line: its tab stop, twips from the left margin
    std::vector<bool> fits;  // per line: caption and value on one line
};

// Lays out a block at size (or smaller, down to minSize) within widthTwips.
ColumnFit fitColumns(const std::vector<ColumnLine>& lines, const QString& family, double size, double minSize,
                     int widthTwips = kReportTextWidthTwips);

} // namespace editor
