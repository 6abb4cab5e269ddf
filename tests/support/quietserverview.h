#pragma once
// The server window as a test without one has it: it shows nothing. A test's view
// overrides what it watches. Header only.

#include "server/engine/serverview.h"

#include <string>

namespace testing_support {

class QuietServerView : public server::ServerView {
public:
    void pollTimerChanged(bool, int) override {}
    void logAppended(const std::string&) override {}
    void logCleared() override {}
    void takeFocus() override {}
    void ownMessage(const std::string&) override {}
};

} // namespace testing_support
