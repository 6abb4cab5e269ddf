#pragma once
// The pieces the About and General information dialogs share: the two rows that name
// the program (type number and version) and a read-only text box.

class QFormLayout;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace shell {

QPlainTextEdit* readOnlyBox(QWidget* parent, const char* name);

// A form whose first rows are "Program type no.:" and "Program version:"; the two labels
// are handed back for the dialog's members.
QFormLayout* programForm(QWidget* parent, QLabel*& typeNo, QLabel*& version);

} // namespace shell
