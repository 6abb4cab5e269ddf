#include "tests/support/documenttext.h"

#include <QString>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace testing_support {

namespace {

std::string quoted(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Blanks, tabs and line ends around and inside as one blank.
std::string squeezed(const std::string& s)
{
    std::string out;
    for (char c : s) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

std::string squeezedText(const std::string& text) { return squeezed(text); }

std::string runCommand(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool haveCommand(const std::string& program)
{
    return !runCommand("command -v " + quoted(program) + " 2>/dev/null").empty();
}

std::string withoutLigatures(std::string text)
{
    static const std::pair<const char*, const char*> kLigatures[] = {
        {"\xEF\xAC\x80", "ff"}, {"\xEF\xAC\x81", "fi"},  {"\xEF\xAC\x82", "fl"},
        {"\xEF\xAC\x83", "ffi"}, {"\xEF\xAC\x84", "ffl"}, {"\xEF\xAC\x86", "st"},
    };
    for (const auto& [lig, letters] : kLigatures) {
        const std::string from = lig;
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at))
            text.replace(at, from.size(), letters);
    }
    return text;
}

std::string pdfLayoutText(const std::filesystem::path& pdf)
{
    return withoutLigatures(runCommand("pdftotext -layout " + quoted(pdf.string()) + " - 2>/dev/null"));
}

std::string officeProgram()
{
    for (const char* p : {"soffice", "libreoffice"})
        if (haveCommand(p))
            return p;
    return {};
}

std::optional<std::vector<std::filesystem::path>> officeToPdf(const std::vector<std::filesystem::path>& documents,
                                                              const std::filesystem::path& outDir, std::string* why)
{
    const std::string office = officeProgram();
    if (office.empty()) {
        if (why)
            *why = "LibreOffice (soffice) is not installed";
        return std::nullopt;
    }
    const std::filesystem::path profile = outDir / "office-profile";
    std::string command = office + " -env:UserInstallation=file://" + quoted(profile.string()) +
                          " --headless --norestore --convert-to pdf --outdir " + quoted(outDir.string());
    for (const auto& d : documents)
        command += " " + quoted(d.string());
    const std::string log = runCommand(command + " 2>&1");
    std::vector<std::filesystem::path> pdfs;
    for (const auto& d : documents) {
        std::filesystem::path pdf = outDir / d.filename();
        pdf.replace_extension(".pdf");
        if (!std::filesystem::exists(pdf)) {
            if (why)
                *why = "LibreOffice wrote no " + pdf.filename().string() + ": " + log;
            return std::nullopt;
        }
        pdfs.push_back(pdf);
    }
    return pdfs;
}

std::vector<std::string> linesNotKeptTogether(const std::string& text, const std::vector<std::string>& lines)
{
    std::vector<std::string> textLines;
    std::size_t at = 0;
    while (at <= text.size()) {
        const auto end = text.find('\n', at);
        textLines.push_back(squeezed(text.substr(at, end == std::string::npos ? std::string::npos : end - at)));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    std::vector<std::string> missing;
    for (const auto& l : lines) {
        const auto tab = l.find('\t');
        const std::string value = tab == std::string::npos ? std::string() : squeezed(l.substr(tab + 1));
        const std::string caption = squeezed(tab == std::string::npos ? l : l.substr(0, tab));
        const std::string want = value.empty() ? caption : caption + " " + value;
        bool found = false;
        for (const auto& t : textLines)
            if (t.find(want) != std::string::npos) {
                found = true;
                break;
            }
        if (!found)
            missing.push_back(l);
    }
    return missing;
}

std::vector<std::string> valuesNotBegunOnTheirLine(const std::string& text, const std::vector<std::string>& lines)
{
    std::vector<std::string> shortened;
    for (const auto& l : lines) {
        const auto tab = l.find('\t');
        if (tab == std::string::npos) {
            shortened.push_back(l);
            continue;
        }
        const std::string value = squeezed(l.substr(tab + 1));
        shortened.push_back(l.substr(0, tab + 1) + value.substr(0, value.find(' ')));
    }
    std::vector<std::string> missing;
    const auto notKept = linesNotKeptTogether(text, shortened);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (std::find(notKept.begin(), notKept.end(), shortened[i]) != notKept.end())
            missing.push_back(lines[i]);
    return missing;
}

std::string unrtfText(const std::filesystem::path& rtf)
{
    if (!haveCommand("unrtf"))
        return {};
    const std::string html = runCommand("unrtf --html " + quoted(rtf.string()) + " 2>/dev/null");
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size())));
    return doc.toPlainText().replace(QChar::Nbsp, QLatin1Char(' ')).toStdString();
}

} // namespace testing_support
