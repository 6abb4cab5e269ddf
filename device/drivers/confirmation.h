#pragma once
// The OK/Cancel questions before a node is programmed for good.

#include <string>

namespace device {

enum class ConfirmBox {
    Plain,    // a message box of its own, never suppressed
    Wrapper,  // through ShowMessage
};

// True for OK. While messages are suppressed nobody can answer: the question is only
// logged and counts as Cancel, unless the running request allowed ROM programming.
bool confirmProgramming(const std::string& question, ConfirmBox box);

} // namespace device
