#include "platform/qt/focusparker.h"

#include <QPushButton>

namespace platform {

QPushButton* makeFocusParker(QWidget* parent, const char* caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName("nofocus");
    button->setGeometry(-200, -200, 10, 10);
    return button;
}

} // namespace platform
