#include "editor/report/richtextbox.h"

#include "editor/report/reportlayout.h"
#include "platform/qt/cp1252.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <memory>

namespace editor {

namespace {

// The document's lengths are pixels of the screen's logical resolution (what fonts are
// set in when the document has no paint device of its own).
double documentDpi()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? std::round(s->logicalDotsPerInchY()) : 100.0;
}

} // namespace

double RichTextBox::unitsOf(int twips) { return twips * documentDpi() / 1440.0; }
int RichTextBox::twipsOf(double units) { return static_cast<int>(std::lround(units * 1440.0 / documentDpi())); }

RichTextBox::RichTextBox() : cursor_(&doc_)
{
    QFont f(kDefaultFont);
    f.setPointSize(kDefaultSize);
    doc_.setDefaultFont(f);
}

void RichTextBox::clear()
{
    doc_.clear();
    cursor_ = QTextCursor(&doc_);
}

void RichTextBox::setSelStart(int position)
{
    cursor_.setPosition(std::clamp(position, 0, doc_.characterCount() - 1));
}

void RichTextBox::addTEDS_to_print(const std::string& text, const std::string& font, bool bold, bool italic,
                                   bool underline, int size, long color, bool crLf, bool atEnd)
{
    addText(platform::fromCp1252(text), font, bold, italic, underline, size, color, crLf, atEnd);
}

void RichTextBox::addText(const QString& text, const std::string& font, bool bold, bool italic, bool underline,
                          double size, long color, bool crLf, bool atEnd)
{
    if (atEnd)
        cursor_.movePosition(QTextCursor::End);
    QTextCharFormat f = cursor_.charFormat();
    if (!font.empty())
        f.setFontFamilies({platform::fromCp1252(font)});
    if (size > 0)
        f.setFontPointSize(size);
    if (color != 0)
        f.setForeground(QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF)));
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    cursor_.insertText(text, f);
    if (crLf)
        cursor_.insertBlock();
    // The next text takes the format of the last run, as a selection after it does.
    cursor_.setCharFormat(f);
    if (atEnd)
        cursor_.movePosition(QTextCursor::End);
}

void RichTextBox::setTab(double distanceCm) { setTabTwips(static_cast<int>(std::floor(distanceCm * 1440 / 2.54))); }

void RichTextBox::setTabTwips(int twips)
{
    QTextBlockFormat b = cursor_.blockFormat();
    auto list = b.tabPositions();
    list.append(QTextOption::Tab(unitsOf(twips), QTextOption::LeftTab));
    b.setTabPositions(list);
    cursor_.setBlockFormat(b);
}

void RichTextBox::setHangingIndent(int twips)
{
    QTextBlockFormat b = cursor_.blockFormat();
    b.setLeftMargin(unitsOf(twips));
    b.setTextIndent(-unitsOf(twips));
    cursor_.setBlockFormat(b);
}

void RichTextBox::ClearTab()
{
    QTextBlockFormat b = cursor_.blockFormat();
    b.setTabPositions({});
    cursor_.setBlockFormat(b);
}

std::vector<int> RichTextBox::tabsOf(const QTextBlockFormat& f)
{
    std::vector<int> out;
    for (const auto& t : f.tabPositions())
        out.push_back(twipsOf(t.position));
    return out;
}

int RichTextBox::hangingIndentOf(const QTextBlockFormat& f) { return twipsOf(f.leftMargin()); }

std::vector<int> RichTextBox::tabs() const { return tabsOf(cursor_.blockFormat()); }

std::string RichTextBox::text() const
{
    std::string out;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        out += platform::toCp1252(b.text());
        if (b.next().isValid())
            out += "\r\n";
    }
    return out;
}

QString RichTextBox::unicodeText() const
{
    QString out;
    for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
        out += b.text();
        if (b.next().isValid())
            out += QStringLiteral("\r\n");
    }
    return out;
}

void RichTextBox::print(QPrinter& printer) const
{
    const double mm = kReportMarginTwips * 25.4 / 1440;
    printer.setPageMargins(QMarginsF(mm, mm, mm, mm), QPageLayout::Millimeter);
    // A paginated copy as large as the paper within the margins: printed one to one, or,
    // on a paper narrower than the report's text width (A5, say), as large as that width
    // and printed smaller, so every line stays as it is laid out.
    const std::unique_ptr<QTextDocument> copy(doc_.clone());
    // Each page's text keeps a point from its page's head and foot: a line moved to the
    // next page then starts below the foot of this one, and is not drawn (cut off) there.
    constexpr int kPageEdgeTwips = 20;
    copy->setDocumentMargin(0);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setTopMargin(unitsOf(kPageEdgeTwips));
    frame.setBottomMargin(unitsOf(kPageEdgeTwips));
    copy->rootFrame()->setFrameFormat(frame);
    const QRectF body = printer.pageLayout().paintRect(QPageLayout::Point);
    const double scale = std::min(1.0, body.width() * 20 / kReportTextWidthTwips);
    copy->setPageSize(QSizeF(unitsOf(static_cast<int>(body.width() * 20 / scale)),
                             unitsOf(static_cast<int>(body.height() * 20 / scale))));
    copy->print(&printer);
}

} // namespace editor
