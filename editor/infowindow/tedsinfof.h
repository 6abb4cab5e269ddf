#pragma once
// The TEDS information window: the ids, thread, description file and allocated bits of
// the template a TEDS window shows, and its abstract. Filled by the TEDS window, shown
// modal, then closed.

#include "editor/infowindow/tedsinfo.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace editor {

class AbstractControl;

class TedsInfoF final : public QDialog {
    Q_OBJECT
    // F1 reads the topic by this name.
    Q_PROPERTY(int HelpContextID MEMBER HelpContextID)
public:
    explicit TedsInfoF(QWidget* parent = nullptr);

    void fill(const TedsInfo& info);

    int HelpContextID = 38;
    QLabel* ID = nullptr;
    QLabel* LinkedtoNode = nullptr;
    QLabel* UTID = nullptr;
    QLabel* UGID = nullptr;
    QLabel* UTIDT = nullptr;
    QLabel* TDL_file = nullptr;
    QLabel* LblUsedBits = nullptr;
    QLabel* Usedbits = nullptr;
    QLabel* Note = nullptr;
    AbstractControl* Abstract = nullptr;
};

// The transfer-function window: a placeholder with the template's title and the node id.
class TransferFunction final : public QDialog {
    Q_OBJECT
public:
    explicit TransferFunction(QWidget* parent = nullptr);

    QLabel* Title = nullptr;
    QLabel* NodeID = nullptr;
    QLineEdit* ActTemp = nullptr;
};

} // namespace editor
