#pragma once

namespace app {

// Starts the program: start-up, the main window, the event loop. Returns the exit code.
int run(int argc, char** argv);

} // namespace app
