#pragma once
// The help window: the shipped HTML pages of the help folder in a text browser of the
// program, so help shows on every machine, with or without a desktop browser. Links
// between the pages are followed inside the window (Back, Forward, "All topics"); a link
// to anything outside the help folder goes to the desktop's browser. One window for the
// program; its close box hides it.

#include <QWidget>

#include <filesystem>

class QPushButton;
class QTextBrowser;

namespace shell {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows page, a file of the help folder, and brings the window up (a missing page
    // shows a text that names it).
    void showPage(const std::filesystem::path& page);
    // Brings the window up with the text that what (a page or the folder) is missing.
    void showMissing(const std::filesystem::path& what);

    QTextBrowser* browser = nullptr;
    QPushButton* backButton = nullptr;
    QPushButton* forwardButton = nullptr;
    QPushButton* topicsButton = nullptr;  // "All topics": index.html of the help folder

private:
    void showTitle();
    void open(const std::filesystem::path& file);
    void bringUp();
    std::filesystem::path folder_;
};

// The program's help window, created when missing; nullptr from current() when none is.
HelpWindow& helpWindow();
HelpWindow* currentHelpWindow();
// Destroys the help window (program end, tests).
void releaseHelpWindow();

} // namespace shell
