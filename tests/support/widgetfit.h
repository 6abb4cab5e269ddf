#pragma once
// Whether a widget shows its text whole, judged from the font's metrics and the style's
// layout of the widget (not from the sizes the program asked for), and a helper that
// lets pending layouts run.

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListWidget;

namespace testing_support {

// The text is not wider than the box's contents less the line edit's own margins.
bool showsWhole(const QLineEdit& edit);
// The text is not wider than the label's contents.
bool showsWhole(const QLabel& label);
// The caption, with its indicator or bevel, is not wider than the button.
bool showsWhole(const QAbstractButton& button);
// Every entry's text fits the list's viewport (less the entry's margins).
bool showsWhole(const QListWidget& list);

// Runs the posted layout requests and events a few times over.
void settleLayouts();

} // namespace testing_support
