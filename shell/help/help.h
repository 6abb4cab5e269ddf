#pragma once
// Help: one HTML page per help topic in the "help" folder of the program folder
// (topic-<n>.html, index.html for a topic without a page of its own), shown in the
// program's help window (helpwindow.h). F1 opens the topic of the active window, which
// names it in its "HelpContextID" property.

#include <filesystem>
#include <functional>
#include <string>

class QObject;

namespace shell {

// The help folder exists.
bool helpAvailable();
// The page of topic; empty when there is no help folder.
std::filesystem::path helpPage(int topic);
// Opens the page of topic; false without the help folder (the help window then says it
// is missing; nothing is handed to an opener).
bool showHelp(int topic);
// Opens a page's file URL in place of the help window (tests); empty: the help window.
void setHelpOpener(std::function<bool(const std::string& url)> opener);
// The event filter by which F1 anywhere in the application opens the active window's
// topic; the program installs it on the application. Owned by parent (or the caller).
QObject* newHelpKeyFilter(QObject* parent);
// The topic of the widget's window, 0 when it names none.
int helpTopicOf(QObject* widget);

} // namespace shell
