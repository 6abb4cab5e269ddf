#include "shell/help/helpwindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace shell {

namespace {

QPointer<HelpWindow>& theWindow()
{
    static QPointer<HelpWindow> w;
    return w;
}

QUrl pageUrl(const std::filesystem::path& page) { return QUrl::fromLocalFile(QString::fromStdString(page.string())); }

bool isFile(const std::filesystem::path& p)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle("Tedsmith - Help");
    auto* top = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    backButton = new QPushButton("Back", this);
    forwardButton = new QPushButton("Forward", this);
    topicsButton = new QPushButton("All topics", this);
    buttons->addWidget(backButton);
    buttons->addWidget(forwardButton);
    buttons->addWidget(topicsButton);
    buttons->addStretch(1);
    top->addLayout(buttons);
    browser = new QTextBrowser(this);
    browser->setObjectName("HelpBrowser");
    // Pages of the help folder load here; anything else goes to the desktop.
    browser->setOpenLinks(false);
    top->addWidget(browser, 1);
    backButton->setEnabled(false);
    forwardButton->setEnabled(false);

    connect(browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        const QUrl target = browser->source().resolved(link);
        const std::filesystem::path file = target.toLocalFile().toStdString();
        if (target.isLocalFile() && !folder_.empty() && file.parent_path() == folder_)
            open(file);
        else
            QDesktopServices::openUrl(target);
    });
    connect(browser, &QTextBrowser::backwardAvailable, backButton, &QPushButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, forwardButton, &QPushButton::setEnabled);
    connect(browser, &QTextBrowser::sourceChanged, this, [this] { showTitle(); });
    connect(backButton, &QPushButton::clicked, browser, &QTextBrowser::backward);
    connect(forwardButton, &QPushButton::clicked, browser, &QTextBrowser::forward);
    connect(topicsButton, &QPushButton::clicked, this, [this] {
        if (!folder_.empty())
            open(folder_ / "index.html");
    });
    resize(640, 480);
}

void HelpWindow::showPage(const std::filesystem::path& page)
{
    folder_ = page.parent_path();
    open(page);
    bringUp();
}

void HelpWindow::showMissing(const std::filesystem::path& what)
{
    folder_.clear();
    open(what);
    bringUp();
}

void HelpWindow::open(const std::filesystem::path& file)
{
    if (isFile(file)) {
        browser->setSource(pageUrl(file));
    } else {
        // A missing page or folder says so, where the user looks.
        browser->setHtml("<h1>Help not found</h1><p>The help page " +
                         QString::fromStdString(file.string()).toHtmlEscaped() +
                         " is not there. The help pages belong in the folder \"help\" of the program folder.</p>");
    }
    showTitle();
}

void HelpWindow::bringUp()
{
    show();
    raise();
    activateWindow();
}

void HelpWindow::showTitle()
{
    const QString title = browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QString("Tedsmith - Help") : title);
}

HelpWindow& helpWindow()
{
    auto& w = theWindow();
    // Above an open modal dialog the window must be that dialog's, or it takes no input.
    QWidget* modal = QApplication::activeModalWidget();
    if (w && w->parentWidget() != modal && modal != w.data()) {
        const bool shown = w->isVisible();
        w->setParent(modal, Qt::Window);
        if (shown)
            w->show();
    }
    if (!w)
        w = new HelpWindow(modal);
    return *w;
}

HelpWindow* currentHelpWindow() { return theWindow().data(); }

void releaseHelpWindow() { delete theWindow().data(); }

} // namespace shell
