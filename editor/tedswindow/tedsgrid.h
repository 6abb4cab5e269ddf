#pragma once
// TedsGrid, the scrolled grid of a TEDS window: the node-id line, the 41 rows of caption and
// value box (a gap before each group) and the CRC labels, showing a TEDS document. What is
// typed goes into the document as it is typed; a value box that loses the focus is told to
// the window, which has the row encoded (commitRow). The grid also sizes its window to the
// rows (fitWindow).

#ifndef Q_MOC_RUN
#include "editor/model/tedsdocument.h"
#endif

#include <QScrollArea>
#include <QSize>

#include <array>

class QLabel;
class QLineEdit;
class QMainWindow;

namespace editor {

// What the grid tells the window it sits in.
class TedsGridHost {
public:
    // The value box of row k lost the focus.
    virtual void valueBoxLeft(int k) = 0;

protected:
    ~TedsGridHost() = default;
};

class TedsGrid final : public QScrollArea {
public:
    TedsGrid(TedsDocument& doc, TedsGridHost& host);

    // Asks for the whole grid (a plain scroll area asks for a few hundred pixels at most);
    // the window decides how much of it fits the screen.
    QSize sizeHint() const override;

    // Shows the document's rows, node id and CRC.
    void showDocument();
    // Row k's typed text encoded into the TEDS; true when the window is to show the document
    // again. While a pass runs (its messages may move the focus) the text is only stored.
    bool commitRow(int k);
    // Encodes text still typed into a value box (the grid on show only); true when it did.
    bool commitTypedRows();

    // The window sized to its rows: as high as the last row, as wide as the widest caption
    // and value or the title, within the screen (the grid scrolls beyond it). The value boxes
    // are the design width (wider for descriptions) or as wide as their widest text. A size
    // the user chose stays until the content changes.
    void fitWindow(QMainWindow& window, int titleWidth);
    static constexpr int kValueWidth = 233;        // 3495 twips
    static constexpr int kDescriptionExtra = 200;  // 3000 twips

    // --- Controls, named as the program names them -------------------------------------
    QLabel* Lbl_ID = nullptr;
    QLineEdit* LbL_RS = nullptr;
    std::array<QLabel*, kRowCount> Col1{};
    std::array<QLineEdit*, kRowCount> Col2{};
    QLabel* LBLcrc = nullptr;
    QLabel* LblCRC256 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void fitValueBoxes();

    TedsDocument& doc_;
    TedsGridHost& host_;
    std::array<QWidget*, kRowCount> gaps_{};
    QSize fitted_;  // the size fitWindow last gave
    bool syncing_ = false;
    bool committing_ = false;  // an encoding pass runs (its messages may move the focus)
};

} // namespace editor
