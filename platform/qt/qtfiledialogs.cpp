#include "platform/qt/qtfiledialogs.h"

#include "platform/qt/cp1252.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace platform {

QString qtNameFilters(const std::string& filter)
{
    const QStringList parts = fromCp1252(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        // "TEDS files(*.tds)": Qt reads the patterns from the last parentheses.
        const int open = caption.lastIndexOf('(');
        if (open > 0 && caption.endsWith(')'))
            caption = caption.left(open).trimmed();
        out << caption + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    }
    return out.join(";;");
}

FileDialogResult QtFileDialogs::show(const FileDialogRequest& r)
{
    QFileDialog d(nullptr, fromCp1252(r.title));
    if (!r.initialDir.empty())
        d.setDirectory(fromCp1252(r.initialDir));
    FileDialogResult res;
    switch (r.kind) {
    case FileDialogKind::Folder:
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly, true);
        break;
    case FileDialogKind::Open:
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setFileMode(r.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        break;
    case FileDialogKind::Save:
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
        // The caller asks before replacing a file.
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
        break;
    }
    if (r.kind != FileDialogKind::Folder) {
        const QString filters = qtNameFilters(r.filter);
        if (!filters.isEmpty()) {
            d.setNameFilters(filters.split(";;"));
            const QStringList list = d.nameFilters();
            if (r.filterIndex >= 1 && r.filterIndex <= list.size())
                d.selectNameFilter(list[r.filterIndex - 1]);
        }
        if (r.defaultExt.size() > 1)
            d.setDefaultSuffix(fromCp1252(r.defaultExt.substr(1)));
        if (!r.fileName.empty())
            d.selectFile(fromCp1252(r.fileName));
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return res;
    res.outcome = FileDialogResult::Chosen;
    res.path = toCp1252(d.selectedFiles().first());
    if (r.kind == FileDialogKind::Folder && !res.path.empty() && res.path.back() != '/')
        res.path += '/';
    return res;
}

FileDialogResult QtPrinterChooser::choose(QPrinter& printer, const std::string& title, QWidget* parent)
{
    QPrintDialog d(&printer, parent);
    d.setWindowTitle(fromCp1252(title));
    // No page range and no selection.
    d.setOption(QAbstractPrintDialog::PrintSelection, false);
    d.setOption(QAbstractPrintDialog::PrintPageRange, false);
    FileDialogResult res;
    if (d.exec() == QDialog::Accepted)
        res.outcome = FileDialogResult::Chosen;
    return res;
}

namespace {

class NoPrinter final : public PrinterChooser {
public:
    FileDialogResult choose(QPrinter&, const std::string&, QWidget*) override { return {}; }
};
NoPrinter noPrinter;
PrinterChooser* chooser = nullptr;

} // namespace

PrinterChooser& printerChooser() { return chooser ? *chooser : noPrinter; }
void setPrinterChooser(PrinterChooser* c) { chooser = c; }

} // namespace platform
