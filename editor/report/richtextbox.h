#pragma once
// The report box: a QTextDocument written through one cursor, as a rich-text box is
// written through its selection. Text goes in as runs (font, size, colour, bold, italic,
// underline); tab stops and the hanging indent belong to a paragraph and are set in
// twips. Texts are Windows-1252 bytes, or Unicode where a text may hold more (a month
// name of the system language). It prints on a printer's pages within the report's
// margins.

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

#include <string>
#include <vector>

class QPrinter;

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
    // The same for a Unicode text and a size in points (0: unchanged).
    void addText(const QString& text, const std::string& font, bool bold, bool italic, bool underline, double size,
                 long color, bool crLf, bool atEnd);
    // One more tab stop at Int(distance x 1440 / 2.54) twips for the current paragraph.
    void setTab(double distanceCm);
    // One more tab stop, in twips.
    void setTabTwips(int twips);
    // No tab stops for the current paragraph.
    void ClearTab();
    // A line of the current paragraph after its first starts twips in (0: none).
    void setHangingIndent(int twips);
    // Empties the box; the insertion point goes to its start.
    void clear();

    // Tab stops of the current paragraph, in twips.
    std::vector<int> tabs() const;
    // Tab stops of a paragraph, in twips.
    static std::vector<int> tabsOf(const QTextBlockFormat& f);
    // The hanging indent of a paragraph, in twips.
    static int hangingIndentOf(const QTextBlockFormat& f);
    // The whole text, paragraphs ended by CR LF (Windows-1252).
    std::string text() const;
    // The same in Unicode.
    QString unicodeText() const;
    int selStart() const { return cursor_.position(); }
    void setSelStart(int position);

    QTextDocument& document() { return doc_; }
    const QTextDocument& document() const { return doc_; }
    // Prints the content on the printer's paper within the report's margins.
    void print(QPrinter& printer) const;
    // Twips as the document's length unit, and back.
    static double unitsOf(int twips);
    static int twipsOf(double units);

    static constexpr const char* kDefaultFont = "Arial";
    static constexpr int kDefaultSize = 10;

private:
    QTextDocument doc_;
    QTextCursor cursor_;
};

} // namespace editor
