#pragma once

namespace testing_support {

// Creates the one QApplication of a test program when there is none yet.
void ensureApplication();

} // namespace testing_support
