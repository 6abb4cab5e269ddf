#pragma once
// Qt's dialogs behind the platform's file dialog service, and the printer chooser
// (Qt's printer dialog in the program, a scripted chooser in tests).

#include "platform/base/filedialog.h"

#include <QString>

#include <string>

class QPrinter;
class QWidget;

namespace platform {

class QtFileDialogs final : public FileDialogService {
public:
    FileDialogResult show(const FileDialogRequest& request) override;
};

// "A|*.a|B|*.b" as Qt's name filters "A (*.a);;B (*.b)".
QString qtNameFilters(const std::string& filter);

class PrinterChooser {
public:
    virtual ~PrinterChooser() = default;
    // Lets the user choose and set up printer. Chosen, Cancelled, or Failed with a reason.
    virtual FileDialogResult choose(QPrinter& printer, const std::string& title, QWidget* parent) = 0;
};

class QtPrinterChooser final : public PrinterChooser {
public:
    FileDialogResult choose(QPrinter& printer, const std::string& title, QWidget* parent) override;
};

// The chooser in force; without one set every print is cancelled.
PrinterChooser& printerChooser();
void setPrinterChooser(PrinterChooser* c);

} // namespace platform
