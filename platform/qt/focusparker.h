#pragma once
// The hidden button a window parks the keyboard focus on: object name "nofocus", placed
// off screen, outside every layout, so that it is never seen or clicked.

class QPushButton;
class QWidget;

namespace platform {

QPushButton* makeFocusParker(QWidget* parent, const char* caption = "nofocus");

} // namespace platform
