#pragma once
// Widths that show a text whole at a widget's font: a line edit's text with its frame,
// margins and cursor, a list's widest entry with its frame and scroll bar. Each is
// capped at what the widget's screen can show (less a margin for the window around it).

#include <QStringList>

class QAbstractItemView;
class QLineEdit;
class QListWidget;
class QString;
class QWidget;

namespace platform {

// The width a line edit needs to show text without scrolling.
int lineEditWidthFor(const QLineEdit& edit, const QString& text);
// The line edit at least as wide as its own text (within its screen).
void fitLineEditToText(QLineEdit& edit);
// The width an item view (a list, a combo box's list) needs to show entries whole, with
// its frame and a vertical scroll bar.
int itemViewWidthFor(const QAbstractItemView& view, const QStringList& entries);
// The list at least as wide as its widest entry (within its screen).
void fitListToEntries(QListWidget& list);
// A text set into a line edit shows from its first character when the box is too narrow
// for it (setText leaves the cursor, and so the view, at the end); a box being typed in
// keeps its cursor.
void showFromStart(QLineEdit& edit);
// The widest a widget of this window may ask to be: its screen's available width less
// a window frame and a little room.
int screenWidthFor(const QWidget& widget);

} // namespace platform
