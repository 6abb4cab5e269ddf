#pragma once
// A small RTF writer for the report box: one paragraph per line with its tab stops,
// runs with font, size, colour, bold, italic and underline, Windows-1252 characters
// outside printable ASCII as \'hh, lines ended by CR LF.

#include <QTextDocument>

#include <filesystem>
#include <string>

namespace editor {

std::string toRtf(const QTextDocument& doc);

// Writes the RTF through a temporary file and a rename. False with a reason on failure.
bool saveRtf(const QTextDocument& doc, const std::filesystem::path& path, std::string* error = nullptr);

} // namespace editor
