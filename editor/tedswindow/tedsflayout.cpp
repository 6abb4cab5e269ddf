// TedsF: the window sized to its grid of captions and values.

#include "editor/tedswindow/tedsf.h"

#include "platform/qt/textfit.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace editor {

namespace {

// A scroll area that asks for its whole grid (a plain one asks for a few hundred pixels
// at most); the window decides how much of it fits the screen.
class GridScrollArea final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        const QSize grid = widget() ? widget()->sizeHint() : QSize();
        return grid + QSize(frame, frame);
    }
};

} // namespace

QScrollArea* TedsF::makeGridScroll(QWidget* parent)
{
    auto* s = new GridScrollArea(parent);
    s->setWidgetResizable(true);
    return s;
}

void TedsF::fitToContent()
{
    if (!GridScroll || !GridScroll->widget())
        return;
    // Value boxes: the design width, or as wide as the widest text shown.
    int valueWidth = kValueWidth + (doc.descriptionView() ? kDescriptionExtra : 0);
    valueWidth = std::max(valueWidth, platform::lineEditWidthFor(*LbL_RS, LbL_RS->text()));
    for (int k = 0; k < kRowCount; ++k)
        if (doc.rows[static_cast<std::size_t>(k)].visible)
            valueWidth = std::max(valueWidth, platform::lineEditWidthFor(*Col2[k], Col2[k]->text()));
    for (QLineEdit* box : Col2)
        box->setMinimumWidth(valueWidth);
    LbL_RS->setMinimumWidth(valueWidth);
    // Hints are cached until the next layout pass; the size is wanted now.
    GridScroll->widget()->layout()->invalidate();
    GridScroll->updateGeometry();  // its hint follows the grid's
    centralWidget()->layout()->invalidate();
    centralWidget()->updateGeometry();
    layout()->invalidate();

    QSize want = sizeHint();
    const int gridWidth = want.width();  // the window as wide as its rows
    const int title = platform::lineEditWidthFor(*TitleBox, TitleBox->text());
    const QMargins m = centralWidget()->layout()->contentsMargins();
    want.setWidth(std::max(want.width(), title + m.left() + m.right()));

    // Within the screen, less the window's frame (as drawn, or a title bar's height
    // before the window is shown); the grid scrolls beyond it.
    const QScreen* sc = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect avail = sc ? sc->availableGeometry() : QRect();
    if (sc) {
        QSize room = avail.size();
        if (isVisible())
            room -= frameGeometry().size() - geometry().size();
        else
            room.rheight() -= style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        // Rows wider than the screen scroll sideways: the window is higher by that scroll
        // bar, so the rows need not scroll up and down as well.
        if (gridWidth > room.width())
            want.rheight() += GridScroll->horizontalScrollBar()->sizeHint().height();
        if (want.height() > room.height()) {
            want.setHeight(room.height());
            want.rwidth() += GridScroll->verticalScrollBar()->sizeHint().width();
        }
        want.setWidth(std::min(want.width(), room.width()));
    }
    // A shown window whose frame reaches past the screen (its frame was not known when it
    // was sized) is sized again.
    const bool pastScreen = isVisible() && sc &&
                            (frameGeometry().width() > avail.width() || frameGeometry().height() > avail.height());
    if (want != fitted_ || pastScreen) {
        fitted_ = want;
        resize(want);
        // A shown window that grew past the screen's edge moves back onto it.
        if (isVisible() && sc) {
            const QRect f = frameGeometry();
            const int x = std::max(avail.left(), std::min(f.left(), avail.right() + 1 - f.width()));
            const int y = std::max(avail.top(), std::min(f.top(), avail.bottom() + 1 - f.height()));
            if (x != f.left() || y != f.top())
                move(x, y);
        }
    }
}

} // namespace editor
