#include "tests/support/qtapp.h"

#include <QApplication>

namespace testing_support {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

} // namespace testing_support
