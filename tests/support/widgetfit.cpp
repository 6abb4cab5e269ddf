#include "tests/support/widgetfit.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QStyleOptionFrame>

namespace testing_support {

bool showsWhole(const QLineEdit& e)
{
    QStyleOptionFrame opt;
    opt.initFrom(&e);
    opt.rect = e.rect();
    opt.lineWidth = e.hasFrame() ? e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, &e) : 0;
    const QRect r = e.style()->subElementRect(QStyle::SE_LineEditContents, &opt, &e).marginsRemoved(e.textMargins());
    return QFontMetrics(e.font()).horizontalAdvance(e.text()) <= r.width() - 4;
}

bool showsWhole(const QLabel& l) { return QFontMetrics(l.font()).horizontalAdvance(l.text()) <= l.contentsRect().width(); }

bool showsWhole(const QAbstractButton& b) { return b.width() >= b.sizeHint().width(); }

bool showsWhole(const QListWidget& list)
{
    const QFontMetrics fm(list.font());
    const int margin = 2 * (list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1);
    for (int i = 0; i < list.count(); ++i)
        if (fm.horizontalAdvance(list.item(i)->text()) + margin > list.viewport()->width())
            return false;
    return true;
}

void settleLayouts()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

} // namespace testing_support
