#include "platform/qt/textfit.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace platform {

int screenWidthFor(const QWidget& widget)
{
    const QScreen* s = widget.screen() ? widget.screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().width() - 40 : 1000;
}

int lineEditWidthFor(const QLineEdit& edit, const QString& text)
{
    // The line edit's own size rule is 17 "x" widths plus frame and margins; the text
    // cursor takes a pixel or two more.
    const QFontMetrics fm(edit.font());
    const int extra = edit.sizeHint().width() - 17 * fm.horizontalAdvance(QLatin1Char('x'));
    return fm.horizontalAdvance(text) + extra + 2;
}

void showFromStart(QLineEdit& edit)
{
    if (!edit.hasFocus())
        edit.setCursorPosition(0);
}

void fitLineEditToText(QLineEdit& edit)
{
    edit.setMinimumWidth(std::min(lineEditWidthFor(edit, edit.text()), screenWidthFor(edit)));
}

int itemViewWidthFor(const QAbstractItemView& view, const QStringList& entries)
{
    // An entry's text stands between margins of the style's focus frame and one pixel.
    const QFontMetrics fm(view.font());
    const int margin = 2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
    int widest = 0;
    for (const QString& e : entries)
        widest = std::max(widest, fm.horizontalAdvance(e) + margin);
    return widest + 2 * view.frameWidth() + view.verticalScrollBar()->sizeHint().width();
}

void fitListToEntries(QListWidget& list)
{
    QStringList entries;
    for (int i = 0; i < list.count(); ++i)
        entries << list.item(i)->text();
    list.setMinimumWidth(std::min(itemViewWidthFor(list, entries), screenWidthFor(list)));
}

} // namespace platform
