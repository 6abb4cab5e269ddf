#pragma once
// The text of printed and converted documents as independent readers give it: a PDF's
// text laid out by pdftotext, an RTF document converted to PDF by LibreOffice, and a
// check that a report line's caption and value stand on one line of such a text.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Runs a shell command and returns its standard output.
std::string runCommand(const std::string& command);
// The program is on the PATH.
bool haveCommand(const std::string& program);

// Ligature characters a font may set ("ﬁ", "ﬂ", ...) as their letters (UTF-8).
std::string withoutLigatures(std::string text);
// pdftotext -layout of a PDF file, ligatures as letters; empty when it gives nothing.
std::string pdfLayoutText(const std::filesystem::path& pdf);

// LibreOffice's program for headless conversion, empty when it is not installed.
std::string officeProgram();
// Converts documents to PDF with LibreOffice in one run (its own profile below outDir, so
// conversions may run side by side). The PDFs' paths in order, or nothing with the reason.
std::optional<std::vector<std::filesystem::path>> officeToPdf(const std::vector<std::filesystem::path>& documents,
                                                              const std::filesystem::path& outDir,
                                                              std::string* why = nullptr);

// Blanks, tabs and line ends around and inside as one blank.
std::string squeezedText(const std::string& text);

// The "caption TAB value" lines of lines (UTF-8) that no line of text holds as caption
// and value on the same line (blanks squeezed, as converters lay tabs out as blanks).
std::vector<std::string> linesNotKeptTogether(const std::string& text, const std::vector<std::string>& lines);

// The "caption TAB value" lines of lines (UTF-8) whose caption is not followed on the same
// line of text by the value's first word: for values long enough to wrap.
std::vector<std::string> valuesNotBegunOnTheirLine(const std::string& text, const std::vector<std::string>& lines);

// The plain text unrtf reads from an RTF document (through its HTML output, entities
// decoded, UTF-8); empty when unrtf is not installed.
std::string unrtfText(const std::filesystem::path& rtf);

} // namespace testing_support
