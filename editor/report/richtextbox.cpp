#include "editor/report/richtextbox.h"

#include "platform/qt/cp1252.h"

#include <QTextBlock>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

// Tab positions are kept in pixels at 96 per inch: 15 twips each.
constexpr double kTwipsPerUnit = 15.0;

} // namespace

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
    cursor_.insertText(platform::fromCp1252(text), f);
    if (crLf)
        cursor_.insertBlock();
    // The next text takes the format of the last run, as a selection after it does.
    cursor_.setCharFormat(f);
    if (atEnd)
        cursor_.movePosition(QTextCursor::End);
}

void RichTextBox::setTab(double distanceCm)
{
    const int twips = static_cast<int>(std::floor(distanceCm * 1440 / 2.54));
    QTextBlockFormat b = cursor_.blockFormat();
    auto list = b.tabPositions();
    list.append(QTextOption::Tab(twips / kTwipsPerUnit, QTextOption::LeftTab));
    b.setTabPositions(list);
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
        out.push_back(static_cast<int>(std::lround(t.position * kTwipsPerUnit)));
    return out;
}

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

} // namespace editor
