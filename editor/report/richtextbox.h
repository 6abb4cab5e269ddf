#pragma once
// The report box: a QTextDocument written through one cursor, as a rich-text box is
// written through its selection. Text goes in as runs (font, size, colour, bold, italic,
// underline); tab stops belong to a paragraph and are set in twips. Texts are
// Windows-1252 bytes.

#include <QTextCursor>
#include <QTextDocument>

#include <string>
#include <vector>

namespace editor {

class RichTextBox {
public:
    RichTextBox();
    RichTextBox(const RichTextBox&) = delete;
    RichTextBox& operator=(const RichTextBox&) = delete;

    // Inserts text at the end (atEnd) or at the insertion point, then a paragraph end
    // when crLf; formats the inserted text: font when not empty, size when above 0,
    // colour (0xBBGGRR) when not 0, bold, italic and underline always. The insertion
    // point ends behind what was inserted (at the end with atEnd).
    void addTEDS_to_print(const std::string& text, const std::string& font, bool bold, bool italic, bool underline,
                          int size, long color, bool crLf, bool atEnd);
    // One more tab stop at Int(distance x 1440 / 2.54) twips for the current paragraph.
    void setTab(double distanceCm);
    // No tab stops for the current paragraph.
    void ClearTab();
    // Empties the box; the insertion point goes to its start.
    void clear();

    // Tab stops of the current paragraph, in twips.
    std::vector<int> tabs() const;
    // Tab stops of a paragraph, in twips.
    static std::vector<int> tabsOf(const QTextBlockFormat& f);
    // The whole text, paragraphs ended by CR LF (Windows-1252).
    std::string text() const;
    int selStart() const { return cursor_.position(); }
    void setSelStart(int position);

    QTextDocument& document() { return doc_; }
    const QTextDocument& document() const { return doc_; }

    static constexpr const char* kDefaultFont = "Arial";
    static constexpr int kDefaultSize = 10;

private:
    QTextDocument doc_;
    QTextCursor cursor_;
};

} // namespace editor
