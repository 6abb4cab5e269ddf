#pragma once

#include <QWidget>

namespace app {

// The splash window shown while the program starts.
class Starting final : public QWidget {
public:
    Starting();
};

} // namespace app
