#pragma once
// The pieces the About and General information dialogs share: the two rows that name
// the program (type number and version), a read-only text box, and CR LF texts turned
// into the line ends a text box shows.

#include <QString>

#include <string>

class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace shell {

// A Windows-1252 text with its CR LF line ends made plain line breaks.
QString boxLines(const std::string& s);

QPlainTextEdit* readOnlyBox(QWidget* parent, const char* name);

// A form whose first rows are "Program type no.:" and "Program version:"; the two labels
// are handed back for the dialog's members.
QFormLayout* programForm(QWidget* parent, QLabel*& typeNo, QLabel*& version);

} // namespace shell
