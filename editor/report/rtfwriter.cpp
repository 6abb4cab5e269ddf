#include "editor/report/rtfwriter.h"

#include "core/base/textfile.h"
#include "editor/report/reportlayout.h"
#include "editor/report/richtextbox.h"
#include "platform/qt/cp1252.h"

#include <QTextBlock>
#include <QTextFragment>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

namespace editor {

namespace {

std::string escaped(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\'%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A text: Windows-1252 where it holds the character, else a Unicode escape (\uN with N
// the UTF-16 unit as a signed number) followed by "?" for readers without Unicode, the
// "?" written as \'3f: a reader that mistakes a plain "?" for part of the control word
// (unrtf) would drop the text after it.
std::string escaped(const QString& text)
{
    std::string out;
    for (const QChar ch : text) {
        const std::string byte = platform::toCp1252(QString(ch));
        if (byte != "?" || ch == u'?') {
            out += escaped(byte);
        } else {
            out += "\\u" + std::to_string(static_cast<std::int16_t>(ch.unicode())) + "\\'3f";
        }
    }
    return out;
}

// Index of a value in a table, added when new.
template <typename T>
int indexIn(std::vector<T>& table, const T& v)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i] == v)
            return static_cast<int>(i);
    table.push_back(v);
    return static_cast<int>(table.size()) - 1;
}

} // namespace

std::string toRtf(const QTextDocument& doc)
{
    std::vector<std::string> fonts = {platform::toCp1252(doc.defaultFont().family())};
    std::vector<QRgb> colors;  // \cf1 is the first entry; \cf0 the default
    std::string body;
    const int defaultHalfPoints = static_cast<int>(std::lround(doc.defaultFont().pointSizeF() * 2));
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        body += "\\pard";
        if (const int indent = RichTextBox::hangingIndentOf(b.blockFormat()); indent > 0)
            body += "\\li" + std::to_string(indent) + "\\fi-" + std::to_string(indent);
        for (int tw : RichTextBox::tabsOf(b.blockFormat()))
            body += "\\tx" + std::to_string(tw);
        body += ' ';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid())
                continue;
            const QTextCharFormat f = frag.charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const std::string family =
                families.isEmpty() ? fonts[0] : platform::toCp1252(families.first());
            const double pt = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
            std::string run = "{\\f" + std::to_string(indexIn(fonts, family));
            run += "\\fs" + std::to_string(static_cast<int>(std::lround(pt * 2)));
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                run += "\\cf" + std::to_string(indexIn(colors, f.foreground().color().rgb()) + 1);
            if (f.fontWeight() >= QFont::Bold)
                run += "\\b";
            if (f.fontItalic())
                run += "\\i";
            if (f.fontUnderline())
                run += "\\ul";
            run += ' ' + escaped(frag.text()) + '}';
            body += run;
        }
        body += "\\par\r\n";
    }
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i)
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 " + escaped(fonts[i]) + ";}";
    out += "}\r\n";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (QRgb c : colors)
            out += "\\red" + std::to_string(qRed(c)) + "\\green" + std::to_string(qGreen(c)) + "\\blue" +
                   std::to_string(qBlue(c)) + ";";
        out += "}\r\n";
    }
    // The paper and margins the report is laid out for.
    const ReportPaper paper = reportPaper();
    const std::string margin = std::to_string(paper.marginTwips);
    out += "\\paperw" + std::to_string(paper.widthTwips) + "\\paperh" + std::to_string(paper.heightTwips) +
           "\\margl" + margin + "\\margr" + margin + "\\margt" + margin + "\\margb" + margin + "\r\n";
    out += "\\viewkind4\\uc1\\f0\\fs" + std::to_string(defaultHalfPoints) + "\r\n";
    out += body;
    out += "}\r\n";
    return out;
}

bool saveRtf(const QTextDocument& doc, const std::filesystem::path& path, std::string* error)
{
    return core::writeFileAtomic(path, toRtf(doc), error);
}

} // namespace editor
