#include "editor/report/richtextbox.h"

#include "editor/report/reportlayout.h"
#include "platform/qt/cp1252.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
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
    // A paginated copy as large as the paper within the margins: printed one to one.
    const std::unique_ptr<QTextDocument> copy(doc_.clone());
    copy->setDocumentMargin(0);
    const QRectF body = printer.pageLayout().paintRect(QPageLayout::Point);
    copy->setPageSize(QSizeF(unitsOf(static_cast<int>(body.width() * 20)), unitsOf(static_cast<int>(body.height() * 20))));
    copy->print(&printer);
}

} // namespace editor
