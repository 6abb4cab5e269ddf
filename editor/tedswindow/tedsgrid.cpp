#include "editor/tedswindow/tedsgrid.h"

#include "platform/qt/cp1252.h"
#include "platform/qt/textfit.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace editor {

namespace {

void showLock(QLineEdit* box, bool locked)
{
    box->setReadOnly(locked);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, locked ? box->palette().color(QPalette::Window) : QColor(0xE0, 0xE0, 0xE0));
    box->setPalette(p);
}

QString text(const std::string& s) { return platform::fromCp1252(s); }

} // namespace

TedsGrid::TedsGrid(TedsDocument& doc, TedsGridHost& host) : doc_(doc), host_(host)
{
    setWidgetResizable(true);
    build();
}

void TedsGrid::build()
{
    auto* gridHost = new QWidget(this);
    auto* grid = new QGridLayout(gridHost);
    grid->setVerticalSpacing(2);
    Lbl_ID = new QLabel("Node ID", gridHost);
    LbL_RS = new QLineEdit(gridHost);
    LbL_RS->setObjectName("LbL_RS");
    grid->addWidget(Lbl_ID, 0, 0);
    grid->addWidget(LbL_RS, 0, 1);
    for (int k = 0; k < kRowCount; ++k) {
        auto* gap = new QWidget(gridHost);
        gap->setObjectName(QString("gap%1").arg(k));
        gap->setFixedHeight(8);
        gap->hide();
        gaps_[static_cast<std::size_t>(k)] = gap;
        grid->addWidget(gap, 1 + 2 * k, 0, 1, 2);
        Col1[k] = new QLabel(gridHost);
        Col1[k]->setObjectName(QString("Col1_%1").arg(k));
        Col2[k] = new QLineEdit(gridHost);
        Col2[k]->setObjectName(QString("Col2_%1").arg(k));
        Col2[k]->installEventFilter(this);
        Col1[k]->hide();
        Col2[k]->hide();
        grid->addWidget(Col1[k], 2 + 2 * k, 0);
        grid->addWidget(Col2[k], 2 + 2 * k, 1);
    }
    LBLcrc = new QLabel("CRC check", gridHost);
    LblCRC256 = new QLabel(gridHost);
    LblCRC256->setObjectName("LblCRC256");
    grid->addWidget(LBLcrc, 2 + 2 * kRowCount, 0);
    grid->addWidget(LblCRC256, 2 + 2 * kRowCount, 1);
    grid->setRowStretch(3 + 2 * kRowCount, 1);
    setWidget(gridHost);

    for (int k = 0; k < kRowCount; ++k)
        connect(Col2[k], &QLineEdit::textEdited, this, [this, k](const QString& t) {
            if (!syncing_)
                doc_.setRowValue(k, platform::toCp1252(t));
        });
    connect(LbL_RS, &QLineEdit::textEdited, this, [this](const QString& t) { doc_.setNodeIdText(platform::toCp1252(t)); });
}

QSize TedsGrid::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const QSize grid = widget() ? widget()->sizeHint() : QSize();
    return grid + QSize(frame, frame);
}

void TedsGrid::showDocument()
{
    syncing_ = true;
    for (int k = 0; k < kRowCount; ++k) {
        const TedsRow& r = doc_.rows[static_cast<std::size_t>(k)];
        Col1[k]->setText(text(r.caption));
        Col1[k]->setVisible(r.visible);
        if (Col2[k]->text() != text(doc_.shownText(k))) {
            Col2[k]->setText(text(doc_.shownText(k)));
            platform::showFromStart(*Col2[k]);
        }
        Col2[k]->setToolTip(text(doc_.shownTooltip(k)));
        Col2[k]->setVisible(r.visible);
        showLock(Col2[k], r.locked);
        gaps_[static_cast<std::size_t>(k)]->setVisible(r.visible && r.groupGap);
    }
    if (LbL_RS->text() != text(doc_.nodeIdShown())) {
        LbL_RS->setText(text(doc_.nodeIdShown()));
        platform::showFromStart(*LbL_RS);
    }
    LbL_RS->setToolTip(text(doc_.nodeIdShownTooltip()));
    showLock(LbL_RS, doc_.NodeIdLocked);
    LblCRC256->setText(text(doc_.crcShown()));
    LblCRC256->setToolTip(text(doc_.crcShownTooltip()));
    syncing_ = false;
}

bool TedsGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (int k = 0; k < kRowCount; ++k)
            if (watched == Col2[k]) {
                host_.valueBoxLeft(k);
                break;
            }
    return QScrollArea::eventFilter(watched, event);
}

bool TedsGrid::commitRow(int k)
{
    if (syncing_ || k < 0 || k >= kRowCount)
        return false;
    const std::string typed = platform::toCp1252(Col2[k]->text());
    // A message box of a running pass takes the focus: that starts no second pass.
    if (committing_) {
        if (!doc_.descriptionView())
            doc_.setRowValue(k, typed);
        return false;
    }
    if (doc_.descriptionView())
        return false;
    committing_ = true;
    doc_.commitRow(k, typed);
    committing_ = false;
    return true;
}

bool TedsGrid::commitTypedRows()
{
    // Text typed into a value box that still has the focus is part of the work.
    if (!doc_.TedsShown || doc_.TedsManufacturerId == 1 || doc_.descriptionView() || committing_ || syncing_)
        return false;
    committing_ = true;
    doc_.updatebuf();
    committing_ = false;
    return true;
}

void TedsGrid::fitValueBoxes()
{
    // Value boxes: the design width, or as wide as the widest text shown.
    int valueWidth = kValueWidth + (doc_.descriptionView() ? kDescriptionExtra : 0);
    valueWidth = std::max(valueWidth, platform::lineEditWidthFor(*LbL_RS, LbL_RS->text()));
    for (int k = 0; k < kRowCount; ++k)
        if (doc_.rows[static_cast<std::size_t>(k)].visible)
            valueWidth = std::max(valueWidth, platform::lineEditWidthFor(*Col2[k], Col2[k]->text()));
    for (QLineEdit* box : Col2)
        box->setMinimumWidth(valueWidth);
    LbL_RS->setMinimumWidth(valueWidth);
}

void TedsGrid::fitWindow(QMainWindow& window, int titleWidth)
{
    if (!widget())
        return;
    fitValueBoxes();
    // Hints are cached until the next layout pass; the size is wanted now.
    widget()->layout()->invalidate();
    updateGeometry();  // its hint follows the grid's
    QWidget* central = window.centralWidget();
    central->layout()->invalidate();
    central->updateGeometry();
    window.layout()->invalidate();

    QSize want = window.sizeHint();
    const int gridWidth = want.width();  // the window as wide as its rows
    const QMargins m = central->layout()->contentsMargins();
    want.setWidth(std::max(want.width(), titleWidth + m.left() + m.right()));

    // Within the screen, less the window's frame (as drawn, or a title bar's height
    // before the window is shown); the grid scrolls beyond it.
    const bool shown = window.isVisible();
    const QScreen* sc = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect avail = sc ? sc->availableGeometry() : QRect();
    if (sc) {
        QSize room = avail.size();
        if (shown)
            room -= window.frameGeometry().size() - window.geometry().size();
        else
            room.rheight() -= window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
        // Rows wider than the screen scroll sideways: the window is higher by that scroll
        // bar, so the rows need not scroll up and down as well.
        if (gridWidth > room.width())
            want.rheight() += horizontalScrollBar()->sizeHint().height();
        if (want.height() > room.height()) {
            want.setHeight(room.height());
            want.rwidth() += verticalScrollBar()->sizeHint().width();
        }
        want.setWidth(std::min(want.width(), room.width()));
    }
    // A shown window whose frame reaches past the screen (its frame was not known when it
    // was sized) is sized again.
    const QRect f0 = window.frameGeometry();
    const bool pastScreen = shown && sc && (f0.width() > avail.width() || f0.height() > avail.height());
    if (want != fitted_ || pastScreen) {
        fitted_ = want;
        window.resize(want);
        // A shown window that grew past the screen's edge moves back onto it.
        if (shown && sc) {
            const QRect f = window.frameGeometry();
            const int x = std::max(avail.left(), std::min(f.left(), avail.right() + 1 - f.width()));
            const int y = std::max(avail.top(), std::min(f.top(), avail.bottom() + 1 - f.height()));
            if (x != f.left() || y != f.top())
                window.move(x, y);
        }
    }
}

} // namespace editor
