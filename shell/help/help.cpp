#include "shell/help/help.h"

#include "core/base/corestate.h"
#include "shell/help/helpwindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QUrl>
#include <QWidget>

namespace shell {

namespace {

std::function<bool(const std::string&)>& opener()
{
    static std::function<bool(const std::string&)> o;
    return o;
}

std::filesystem::path helpFolder() { return core::coreState().ProgramFolder / "help"; }

class HelpKeyFilter final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        if (e->type() == QEvent::ShortcutOverride) {
            e->accept();
            return false;
        }
        const int topic = helpTopicOf(QApplication::activeWindow() ? QApplication::activeWindow() : watched);
        showHelp(topic);
        return true;
    }
};

} // namespace

bool helpAvailable()
{
    std::error_code ec;
    return !core::coreState().ProgramFolder.empty() && std::filesystem::is_directory(helpFolder(), ec);
}

std::filesystem::path helpPage(int topic)
{
    if (!helpAvailable())
        return {};
    const auto page = helpFolder() / ("topic-" + std::to_string(topic) + ".html");
    std::error_code ec;
    if (std::filesystem::is_regular_file(page, ec))
        return page;
    return helpFolder() / "index.html";
}

bool showHelp(int topic)
{
    const auto page = helpPage(topic);
    if (page.empty()) {
        // Without the folder the help window says where the pages were looked for.
        if (!opener())
            helpWindow().showMissing(helpFolder());
        return false;
    }
    if (opener())
        return opener()(QUrl::fromLocalFile(QString::fromStdString(page.string())).toString().toStdString());
    // The program's own window: help shows whether or not a desktop browser opens pages.
    helpWindow().showPage(page);
    return true;
}

void setHelpOpener(std::function<bool(const std::string&)> o) { opener() = std::move(o); }

QObject* newHelpKeyFilter(QObject* parent) { return new HelpKeyFilter(parent); }

int helpTopicOf(QObject* widget)
{
    for (QObject* o = widget; o; o = o->parent()) {
        const QVariant v = o->property("HelpContextID");
        if (v.isValid() && v.toInt() > 0)
            return v.toInt();
        auto* w = qobject_cast<QWidget*>(o);
        if (w && w->isWindow())
            break;
    }
    return 0;
}

} // namespace shell
